#!/usr/bin/env bash
# Proves the Wine harness itself: a visible window, exit codes, time-outs, arguments, versions, and clean ends.
# shellcheck disable=SC2317  # the helpers below run through check and wine_wait_for
# shellcheck source-path=SCRIPTDIR source=../lib/harness.sh
source "$TW_HARNESS"
wine_test_begin harness_test
hello=${TW_HELLO:?TW_HELLO is not set}
here=$(dirname "$(realpath "$0")")

fails() { ! "$@"; }
field() { sed -n "s/^$1=//p" "$2" | tr -d '\r'; }

# Pixels of one exact colour, and pixels darker than a quarter of full scale.
colour_pixels() {
  convert "$1" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}
dark_pixels() {
  convert "$1" -alpha off -colorspace gray -threshold 25% -negate \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
band_shown() {  # the window's blue band (16 rows across its client area) is on screen
  wine_screenshot "$1" && [ "$(colour_pixels "$WT_SHOT" 'rgb(0,70,160)')" -ge 10000 ]
}

out=$WT_DIR/hello.txt
wout=$(wine_winpath "$out")
check "winpath gives a drive path" test "${wout:1:2}" = ":\\"
check_eq "unixpath turns it back" "$out" "$(wine_unixpath "$wout")"

# A window that stays up until it gets WM_CLOSE, with arguments to pass on.
text='Grüße aus Wine: ÄÖÜ äöü ß'
spaced='C:\Programme\Mein Ordner'
wine_start "$hello" --exit 42 --seconds 240 --out "$wout" --text "$text" "$spaced"
check "hello reports its window drawn" wine_wait_for 60 grep -qx ready "$out"
check "the window shows on the screenshot" wine_wait_for 20 band_shown window.png
check_file "the screenshot is saved" "$WT_DIR/window.png"
colours=$(convert "$WT_DIR/window.png" -format %k info:)
echo "screenshot: $colours colours, $(dark_pixels "$WT_DIR/window.png") dark pixels"
check "the screenshot is not blank" test "$colours" -ge 32
check "the window's text is drawn" test "$(dark_pixels "$WT_DIR/window.png")" -ge 3000

mapfile -t args < <(field arg "$out")
check_eq "hello got all arguments" 9 "${#args[@]}"
check_eq "a German argument arrives intact" "$text" "${args[7]:-}"
check_eq "an argument with spaces arrives as one" "$spaced" "${args[8]:-}"
check "the raw command line carries the umlauts" grep -qF "\"$text\"" "$out"

wine_run 30 taskkill /im hello.exe
check_eq "taskkill sends WM_CLOSE" 0 "$WT_RC"
wine_wait_pid 30
check_eq "the exit code after WM_CLOSE comes through" 42 "$WT_RC"

# A click on the button, at the place the program reports.
wine_start "$hello" --exit 7 --seconds 240 --out "$wout"
check "hello comes up again" wine_wait_for 60 grep -qx ready "$out"
read -r bx by <<<"$(field button "$out")"
check "hello reports its button" test -n "${by:-}"
wine_wait_for 20 band_shown button.png
check "a click at the button" wine_click "${bx:-0}" "${by:-0}"
wine_wait_pid 30
check_eq "the click closes it with its exit code" 7 "$WT_RC"

# Ending on its own, and being stopped when time runs out.
wine_run 60 "$hello" --exit 5 --seconds 1
check_eq "an exit code through wine_run" 5 "$WT_RC"
wine_run 60 "$hello" --exit 0 --seconds 1
check_eq "exit code 0 through wine_run" 0 "$WT_RC"
wine_run 3 "$hello" --exit 9 --seconds 240
check_eq "wine_run gives 124 when time runs out" 124 "$WT_RC"
wine_start "$hello" --exit 9 --seconds 240
wine_wait_pid 3
check_eq "wine_wait_pid gives 124 when time runs out" 124 "$WT_RC"
check "nothing runs on after a time-out" wine_wait_idle 60

# The Windows version for the next program.
version_seen() {
  wine_run 60 "$hello" --seconds 1 --out "$wout" && field version "$out"
}
check_eq "the default prefix reports Windows 7" "6.1 nt" "$(version_seen)"
check "wine_set_version win98" wine_set_version win98
check_eq "win98 reaches the next program" "4.10 9x" "$(version_seen)"
check "wine_set_version winxp" wine_set_version winxp
check_eq "winxp reaches the next program" "5.1 nt" "$(version_seen)"
check "wine_set_version refuses an unknown name" fails wine_set_version win31

query=$(wine_reg_query 'HKCU\Software\Wine' Version)
check "wine_reg_query prints the value" grep -q 'Version[[:space:]]*REG_SZ[[:space:]]*winxp$' <<<"$query"
check "wine_reg_query strips CRs" fails grep -q $'\r' <<<"$query"
check "wine_reg_query fails for a missing key" fails wine_reg_query 'HKCU\Software\TwNoSuchKey'
check "all programs end" wine_wait_idle 60

# How the harness ends other tests: run probe tests and look for leftovers.
leftovers() {  # pids of processes that still use the prefix $1
  local f
  for f in /proc/[0-9]*/environ; do
    { tr '\0' '\n' <"$f"; } 2>/dev/null | grep -qxF "WINEPREFIX=$1" && { f=${f#/proc/}; echo "${f%/environ}"; }
  done
  return 0
}
probe() {  # probe MODE EXPECTED-STATUS FOLDER-KEPT(yes/no) [TW_TIMEOUT]
  local mode=$1 rc=0
  local info=$WT_DIR/probe-$mode.info log=$WT_DIR/probe-$mode.log
  env -u WINEPREFIX -u DISPLAY -u TW_KEEP TW_TIMEOUT="${4:-300}" \
    timeout 120 bash "$here/harness_probe.sh" "$mode" "$info" >"$log" 2>&1 || rc=$?
  local dir prefix display xvfb
  dir=$(field dir "$info"); prefix=$(field prefix "$info")
  display=$(field display "$info"); xvfb=$(field xvfb "$info")
  check_eq "probe $mode: exit status" "$2" "$rc" || cat "$log"
  check "probe $mode: wrote where it ran" test -n "$prefix" -a -n "$display" -a -n "$xvfb"
  check_eq "probe $mode: no processes left" "" "$(leftovers "$prefix")"
  check "probe $mode: its Xvfb has ended" fails kill -0 "${xvfb:-0}" 2>/dev/null
  check "probe $mode: its display is free" fails test -e "/tmp/.X$display-lock"
  if [ "$3" = yes ]; then
    check "probe $mode: its folder is kept" test -d "$dir/prefix"
    check "probe $mode: it says where" grep -qF "folder is kept: $dir" "$log"
  else
    check "probe $mode: its folder is removed" fails test -e "$dir"
  fi
  [ -n "$dir" ] && rm -rf "$dir"
  return 0
}
probe pass 0 no
probe fail 1 yes
check "a failed probe prints its tally" grep -qx 'harness_probe_fail: 0 passed, 1 failed' "$WT_DIR/probe-fail.log"
probe abort 1 yes
check "an aborted probe says so" grep -q 'without wine_test_finish' "$WT_DIR/probe-abort.log"
probe overrun 143 yes 15
check "an overrun probe says so" grep -q 'ran out of time' "$WT_DIR/probe-overrun.log"

wine_test_finish
