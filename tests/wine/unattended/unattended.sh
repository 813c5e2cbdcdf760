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

# run_silent SECONDS PROGRAM [ARGS...]: runs the program and lists every
# visible top-level window seen while it runs in $WT_DIR/windows.txt
# (appended); WT_RC is its exit code (the low 8 bits).
run_silent() {
  local secs=$1; shift
  wine_start "$@"
  local i=0
  while kill -0 "$WT_PID" 2>/dev/null && [ $i -lt $((secs * 2)) ]; do
    ui_windows >>"$WT_DIR/windows.txt" 2>/dev/null
    i=$((i + 1))
  done
  wine_wait_pid "$secs"
  local rc=$WT_RC
  # What a removal's copy does after the program ended, too.
  for i in 1 2 3 4 5; do ui_windows >>"$WT_DIR/windows.txt" 2>/dev/null; done
  wine_wait_idle 60
  WT_RC=$rc
}

# no_window: nothing was listed by run_silent.
no_window() { ! grep -q . "$WT_DIR/windows.txt"; }

# log_grep PATTERN FILE: the logs are CP1252, matched byte by byte.
log_grep() { LC_ALL=C grep -q "$1" "$2"; }

# log_kinds FILE: the kind of each line of a run log, one a line.
log_kinds() { tr -d '\r' <"$1" | awk '{print $3}'; }

# exit_of FILE: the exit code the log's last line names.
exit_of() { tr -d '\r' <"$1" | awk '$3 == "EXIT" {code = $4} END {print code}'; }

# The silent choices that equal the wizard's custom type with its
# preselection (the templates not chosen).
demo_components='Werkzeuge,Rohdaten,Benutzerdaten,Dateityp'
