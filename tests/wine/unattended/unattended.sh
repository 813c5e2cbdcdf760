# Shared steps of the unattended tests; source after the harness, the
# driver and the install tests' walk.
# shellcheck shell=bash

# snapshot NAME: the files under C:\ outside Wine's scratch places and the
# registry trees an installation writes to, in $WT_DIR/NAME.files and .reg.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o \
    -path ./windows/logs -prune -o -path ./logs -prune -o -print | sort) >"$WT_DIR/$1.files"
  : >"$WT_DIR/$1.reg"
  local key
  for key in 'HKLM\Software' 'HKCU\Software' 'HKCR\.notiz' 'HKCR\NotizblockPro.Notiz'; do
    timeout 120 wine reg export "$key" "$(wine_winpath "$WT_DIR/part.reg")" /y >/dev/null 2>&1 || continue
    iconv -f utf-16 -t utf-8 "$WT_DIR/part.reg" | tr -d '\r' |
      grep -v -e '^Windows Registry Editor' -e '^$' |
      awk '/^\[/ { wine = index($0, "[HKEY_CURRENT_USER\\Software\\Wine") == 1 } !wine' >>"$WT_DIR/$1.reg"
  done
  rm -f "$WT_DIR/part.reg"
}

# watch_start / watch_stop: every visible top-level window that appears in
# between (polled every 10 ms by window_watch.exe) is noted in
# $WT_DIR/windows.txt after a line "--- watching".
watch_start() {
  rm -f "$WT_DIR/watch.stop"
  wine "$TW_TEST_TOOLS/window_watch.exe" "$(wine_winpath "$WT_DIR/windows.txt")" \
    "$(wine_winpath "$WT_DIR/watch.stop")" &
  WATCH_PID=$!
  wine_wait_for 30 grep -q -- '--- watching' "$WT_DIR/windows.txt"
}
watch_stop() {
  touch "$WT_DIR/watch.stop"
  wait "$WATCH_PID" 2>/dev/null
}

# run_silent SECONDS PROGRAM [ARGS...]: runs the program with the window
# watch on until it and what it started (a removal's copy) have ended;
# WT_RC is the program's exit code (the low 8 bits).
run_silent() {
  local secs=$1; shift
  watch_start
  wine_start "$@"
  wine_wait_pid "$secs"
  local rc=$WT_RC
  # The copy that goes on with a removal ends within moments.
  local i
  for i in $(seq 50); do pgrep -f 'ZETURFD.EXE' >/dev/null || break; sleep 0.2; done
  watch_stop
  wine_wait_idle 60
  WT_RC=$rc
}

# no_window: no window was noted by the watch.
no_window() { ! grep -v -e '^--- watching$' "$WT_DIR/windows.txt" | grep -q .; }

# log_grep PATTERN FILE: the logs are CP1252, matched byte by byte.
log_grep() { LC_ALL=C grep -q "$1" "$2"; }

# log_kinds FILE: the kind of each line of a run log, one a line.
log_kinds() { tr -d '\r' <"$1" | awk '{print $3}'; }

# exit_of FILE: the exit code the log's last line names.
exit_of() { tr -d '\r' <"$1" | awk '$3 == "EXIT" {code = $4} END {print code}'; }

# The silent choices that equal the wizard's custom type with its
# preselection (the templates not chosen).
demo_components='Werkzeuge,Rohdaten,Benutzerdaten,Dateityp'
