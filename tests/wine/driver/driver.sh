# Bash functions that walk a program's dialogs through uidriver.exe, one user action a call; source after "$TW_HARNESS".
# shellcheck shell=bash
#
# TW_UIDRIVER is the driver's Unix path (from the test's CMake ENV). Each
# function runs it under wine with a time limit a little over the driver's
# own wait, prints what it prints (UTF-8, LF line ends) and returns its
# exit code: 0 done, 1 "no" (ui_enabled, ui_visible, ui_absent), 2 usage, 3 no such
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
ui_key()      { ui_driver "$UI_WAIT" key "${1:?ui_key needs an id}" "${2:?ui_key needs a virtual key}" --wait "$UI_WAIT" "${@:3}"; }
ui_place()    { ui_driver "$UI_WAIT" place "${1:?ui_place needs an id}" --wait "$UI_WAIT" "${@:2}"; }
ui_box()      { ui_driver "${1:-$UI_WAIT}" box "${1:-$UI_WAIT}"; }
ui_answer()   { ui_driver "$UI_WAIT" answer "${1:?ui_answer needs a button id}" --wait "$UI_WAIT"; }
ui_windows()  { ui_driver 10 windows; }
ui_rect()     { ui_driver "$UI_WAIT" rect "${1:?ui_rect needs an id}" --wait "$UI_WAIT" "${@:2}"; }

# The answers "no" as functions that succeed only on that answer: a
# control that is not there (3) or a driver that was stopped (124) is
# never taken for "disabled", "hidden" or "gone", as `! ui_enabled` would.
# Each prints what it found when it fails.
_ui_no() {  # _ui_no WHAT COMMAND...: 0 when the driver answered "no" (1)
  local -; set +e
  local what=$1; shift
  "$@" >/dev/null; local rc=$?
  case $rc in
    1) return 0 ;;
    0) echo "driver: $what: the answer is yes" >&2; return 1 ;;
    3) echo "driver: $what: no such control" >&2; return 3 ;;
    124) echo "driver: $what: the driver timed out" >&2; return 124 ;;
    *) echo "driver: $what: driver exit $rc" >&2; return "$rc" ;;
  esac
}
# ui_disabled ID: 0 when the control is there and disabled.
ui_disabled() { _ui_no "disabled ${1:?ui_disabled needs an id}" ui_enabled "$@"; }
# ui_hidden ID: 0 when the control is there and hidden.
ui_hidden()   { _ui_no "hidden ${1:?ui_hidden needs an id}" ui_visible "$@"; }
# ui_absent ID [S]: 0 when within S seconds (default 2) no visible window
# holds the control; 1 when it stays.
ui_absent()   { ui_driver "${2:-2}" absent "${1:?ui_absent needs an id}" "${2:-2}" "${@:3}"; }

# ui_screenshot FILE.png: the screen as a user sees it, message boxes over
# their pages included (wine_screenshot reads the screen's own pixels and
# waits until two captures agree). A relative FILE lands in $WT_DIR; sets
# WT_SHOT. Returns 1 when no picture was made.
ui_screenshot() { wine_screenshot "${1:?ui_screenshot needs a file name}"; }
