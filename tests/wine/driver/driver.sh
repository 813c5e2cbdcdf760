# Bash functions that walk a program's dialogs through uidriver.exe, one user action a call; source after "$TW_HARNESS".
# shellcheck shell=bash
#
# TW_UIDRIVER is the driver's Unix path (from the test's CMake ENV). Each
# function runs it under wine with a time limit a little over the driver's
# own wait, prints what it prints (UTF-8, LF line ends) and returns its
# exit code: 0 done, 1 "no" (ui_enabled, ui_visible), 2 usage, 3 no such
# control in time, 4 refused (disabled, hidden, wrong kind), 5 no effect,
# 124 the driver itself was stopped. Failures explain themselves on stderr.
# UI_WAIT (seconds, default 10) is the wait of the commands without a
# SECONDS argument.

: "${UI_WAIT:=10}"

# ui_driver SECONDS COMMAND ARGS...: the driver with a limit of SECONDS + 15
# (Wine's start-up included).
ui_driver() {
  local -; set +e
  local secs=${1:?ui_driver needs seconds}; shift
  : "${TW_UIDRIVER:?TW_UIDRIVER is not set: the CMake ENV of the test passes it}"
  timeout -k 5 $((secs + 15)) wine "$TW_UIDRIVER" "$@"
}

ui_wait()     { ui_driver "${2:-$UI_WAIT}" wait "${1:?ui_wait needs an id}" "${2:-$UI_WAIT}" "${@:3}"; }
ui_text()     { ui_driver "$UI_WAIT" text "${1:?ui_text needs an id}" "$UI_WAIT" "${@:2}"; }
ui_settext()  { ui_driver "$UI_WAIT" settext "${1:?ui_settext needs an id}" "${2?ui_settext needs a text}" --wait "$UI_WAIT" "${@:3}"; }
ui_click()    { ui_driver "$UI_WAIT" click "${1:?ui_click needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_check()    { ui_driver "$UI_WAIT" check "${1:?ui_check needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_uncheck()  { ui_driver "$UI_WAIT" uncheck "${1:?ui_uncheck needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_state()    { ui_driver "$UI_WAIT" state "${1:?ui_state needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_enabled()  { ui_driver "$UI_WAIT" enabled "${1:?ui_enabled needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_visible()  { ui_driver "$UI_WAIT" visible "${1:?ui_visible needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_select()   { ui_driver "$UI_WAIT" select "${1:?ui_select needs an id}" "${2:?ui_select needs an index}" --wait "$UI_WAIT" "${@:3}"; }
ui_items()    { ui_driver "$UI_WAIT" items "${1:?ui_items needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_box()      { ui_driver "${1:-$UI_WAIT}" box "${1:-$UI_WAIT}"; }
ui_answer()   { ui_driver "$UI_WAIT" answer "${1:?ui_answer needs a button id}" --wait "$UI_WAIT"; }
ui_windows()  { ui_driver 10 windows; }

# ui_screenshot FILE.png: the screen as a user sees it. In this Wine and
# Xvfb a message box over another window of its program stays black in a
# capture of the root window although its own X window holds the painted
# box, so each viewable window of the Wine desktop is captured by itself
# and laid over the root picture, bottom one first. A relative FILE lands
# in $WT_DIR; sets WT_SHOT. Returns 1 when no picture was made.
ui_screenshot() {
  local -; set +e
  wine_screenshot "${1:?ui_screenshot needs a file name}" || return 1
  local file=$WT_SHOT part=$WT_DIR/.ui_window.png ids i info x y w h
  # xwininfo lists a window's children from the top of the stack down.
  mapfile -t ids < <(timeout 10 xwininfo -root -tree -display "$DISPLAY" 2>/dev/null |
    awk '/Wine desktop"/ { inside = 1; depth = index($0, "0x"); next }
         !inside || index($0, "0x") == 0 { next }
         index($0, "0x") <= depth { inside = 0; next }
         index($0, "0x") == depth + 3 { print $1 }')
  for ((i = ${#ids[@]} - 1; i >= 0; i--)); do
    info=$(timeout 10 xwininfo -id "${ids[$i]}" -display "$DISPLAY" 2>/dev/null) || continue
    grep -q 'Map State: IsViewable' <<<"$info" || continue
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/^ *Width: *//p' <<<"$info")
    h=$(sed -n 's/^ *Height: *//p' <<<"$info")
    if [ "${w:-0}" -le 1 ] || [ "${h:-0}" -le 1 ]; then continue; fi
    timeout 30 xwd -id "${ids[$i]}" -silent -display "$DISPLAY" 2>/dev/null |
      timeout 30 convert xwd:- "$part" 2>/dev/null || continue
    timeout 30 composite -geometry "$(printf "%+d%+d" "$x" "$y")" "$part" "$file" "$file"
  done
  rm -f "$part"
  [ -s "$file" ]
}
