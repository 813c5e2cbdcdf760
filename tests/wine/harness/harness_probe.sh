#!/usr/bin/env bash
# A Wine test run by harness_test.sh to watch how the harness ends a test: MODE is pass, fail, abort or overrun.
#
#   harness_probe.sh MODE INFOFILE
#
# It writes its work folder, prefix, display and Xvfb pid to INFOFILE so the
# caller can look for anything left behind once it has ended.
# shellcheck source-path=SCRIPTDIR source=../lib/harness.sh
source "$TW_HARNESS"
mode=${1:?mode}
info=${2:?info file}
wine_test_begin "harness_probe_$mode"
{
  echo "dir=$WT_DIR"
  echo "prefix=$WINEPREFIX"
  echo "display=${DISPLAY#:}"
  echo "xvfb=$WT_XVFB_PID"
} >"$info"

# A running window, so that the end has a program, a wineserver and the
# desktop process to stop.
start_hello() {
  local out=$WT_DIR/hello.txt
  wine_start "$TW_HELLO" --seconds 600 --out "$(wine_winpath "$out")"
  wine_wait_for 60 grep -qx ready "$out" || echo "probe: hello did not come up"
}

case $mode in
  pass)
    check "a passing check" true
    ;;
  fail)
    start_hello
    check "a failing check" false
    ;;
  abort)
    start_hello
    exit 0
    ;;
  overrun)
    # Longer than TW_TIMEOUT allows: the watchdog has to stop it.
    wine_run 600 "$TW_HELLO" --seconds 600
    check "not reached" false
    ;;
esac
wine_test_finish
