#!/usr/bin/env bash
# Unattended runs that cannot do what they are asked: bad switches, an
# invalid destination, an unknown component, a damaged package, a full
# drive, a file in use, and Cancel in the wizard. Each ends with its exit
# code (the script sees the low 8 bits: 87, 1603 = 67, 1602 = 66,
# 3010 = 194) and a log line with the reason; silent runs show no window.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
source "$TW_SOURCE_DIR/tests/wine/unattended/unattended.sh"
wine_test_begin unattended_faults

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
inspect=$TW_SOURCE_DIR/tests/wine/build/inspect_package.py
wlog() { wine_winpath "$WT_DIR/$1"; }
: >"$WT_DIR/windows.txt"

# Bad switches: 87, silently with /S, with a box listing the switches without.
run_silent 120 "$package" /S /BOGUS "/LOG=$(wlog bad.log)"
check_eq "an unknown switch ends with 87" 87 "$WT_RC"
check "the log names it" grep -q ' ERROR .*/BOGUS' "$WT_DIR/bad.log"
check_eq "and the exit code" 87 "$(exit_of "$WT_DIR/bad.log")"
wine_start "$package" /Q
text=$(ui_box 60 | tr -d '\r')
echo "usage box: $text"
check "without /S a box lists the switches" grep -q '/COMPONENTS' <<<"$text"
ui_answer 1
wine_wait_pid 60
check_eq "and the run ends with 87" 87 "$WT_RC"
wine_wait_idle 60

# An invalid destination: no drive letter.
run_silent 120 "$package" /S '/DIR=\\server\share\Notiz' "/LOG=$(wlog dir.log)"
check_eq "an invalid /DIR ends with 1603" 67 "$WT_RC"
check "its message is in the log" grep -q ' ERROR .*\\\\server\\share\\Notiz' "$WT_DIR/dir.log"
check_eq "the log's exit code" 1603 "$(exit_of "$WT_DIR/dir.log")"
check "nothing is installed" test ! -e "$dir"

# An unknown component.
run_silent 120 "$package" /S /COMPONENTS=Werkzeuge,Zauberei "/LOG=$(wlog comp.log)"
check_eq "an unknown component ends with 1603" 67 "$WT_RC"
check "the log names it" grep -q ' ERROR .*Zauberei' "$WT_DIR/comp.log"
check "nothing is installed" test ! -e "$dir"

# A damaged cabinet: the tool library's cabinet loses its signature.
damaged=$WT_DIR/pkg/Beschaedigt.exe
cp "$package" "$damaged"
offset=$(python3 "$inspect" items "$damaged" | awk '$1 == 5 {print $2}')
printf 'XXXX' | dd of="$damaged" bs=1 seek="$offset" conv=notrunc 2>/dev/null
run_silent 180 "$damaged" /S "/LOG=$(wlog damaged.log)"
check_eq "a damaged package ends with 1603" 67 "$WT_RC"
check "the log has the message" grep -q ' ERROR .*besch' "$WT_DIR/damaged.log"
check "nothing is installed" test ! -e "$dir/notiz.txt"
check "no uninstall entry is left" \
  bash -c "! wine reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notizblock Pro 2.5' >/dev/null 2>&1"

# A damaged runtime cabinet: the package itself fails and says so in the
# log, which a relative name puts into the folder the package started in.
broken=$WT_DIR/pkg/Laufzeit.exe
cp "$package" "$broken"
offset=$(python3 "$inspect" items "$broken" | awk '$1 == 3 {print $2}')
printf 'XXXX' | dd of="$broken" bs=1 seek="$offset" conv=notrunc 2>/dev/null
pushd "$WT_DIR" >/dev/null
run_silent 180 "$broken" /S /LOG=relative.log
popd >/dev/null
check_eq "a damaged runtime cabinet ends with 1603" 67 "$WT_RC"
check "the package's log line names the failure" grep -q ' ERROR Fehler [0-9]' "$WT_DIR/relative.log"
check_eq "and its exit code" 1603 "$(exit_of "$WT_DIR/relative.log")"
check "nothing is installed" test ! -e "$dir"

# A full drive: a small memory file system as drive T:.
small=$WT_DIR/small
mkdir -p "$small"
if mount -t tmpfs -o size=1m tmpfs "$small" 2>/dev/null; then
  ln -sfn "$small" "$WINEPREFIX/dosdevices/t:"
  dd if=/dev/zero of="$small/filler" bs=64k 2>/dev/null
  run_silent 180 "$package" /S '/DIR=T:\Demo' "/LOG=$(wlog full.log)"
  check_eq "a full drive ends with 1603" 67 "$WT_RC"
  check "the log has the message and the answer" log_grep ' QUESTION .*Speicherplatz.* -> Abbrechen' "$WT_DIR/full.log"
  check "nothing is copied" test ! -e "$small/Demo/notiz.txt"
  rm -f "$WINEPREFIX/dosdevices/t:"
  umount "$small"
elif [ -n "${CI:-}" ]; then
  check "a memory file system can be mounted for the full drive" false
else
  echo "no tmpfs mount here: the full drive is left out"
fi
check "no window appeared in any silent run" no_window
cat "$WT_DIR/windows.txt"

# A file held open: replaced at the restart, 3010, no restart; the same with /NORESTART.
run_silent 300 "$package" /S "/LOG=$(wlog first.log)"
check_eq "a first silent install ends with 0" 0 "$WT_RC"
for switches in "" /NORESTART; do
  release=$WT_DIR/release
  rm -f "$release"
  wine "$TW_TEST_TOOLS/hold_file.exe" "$(wine_winpath "$dir/notiz.txt")" "$(wine_winpath "$release")" &
  holder=$!
  sleep 2
  log=held${switches#/}.log
  run_silent 300 "$package" /S $switches "/LOG=$(wlog "$log")"
  check_eq "a file in use ends with 3010 ${switches}" 194 "$WT_RC"
  check_eq "the log's exit code ${switches}" 3010 "$(exit_of "$WT_DIR/$log")"
  check "the log names the file ${switches}" grep -q ' RESTART .*notiz.txt' "$WT_DIR/$log"
  check "the runtime ended by itself, no restart ${switches}" grep -q ' EXIT 3010' "$WT_DIR/$log"
  touch "$release"
  wait "$holder" 2>/dev/null
done
check "no window appeared in the runs with a file in use" no_window

# Maintenance asks what to do: with /S it does nothing and ends with 87.
run_silent 60 "$dir/SETUP.EXE" /S "/LOG=$(wlog maintenance.log)"
check_eq "maintenance with /S ends with 87" 87 "$WT_RC"
check "and changes nothing" test -f "$dir/SETUP.EXE"
check "no window appeared in maintenance with /S" no_window

# Cancel in the wizard: 1602 (the log switch makes the package wait).
wine_run 60 cmd /c exit
rm -f "$WT_DIR/cancel.log"
wine_start "$package" "/LOG=$(wlog cancel.log)"
box_answer 7 30 >/dev/null  # the earlier installation: go on
check "the welcome page" ui_wait 1200 60
ui_click 2
check "the cancel question" ui_wait 710 10 --title Setup
ui_click 1 --title Setup
wine_wait_pid 60
check_eq "Cancel confirmed ends with 1602" 66 "$WT_RC"
check_eq "the log's exit code" 1602 "$(exit_of "$WT_DIR/cancel.log")"

wine_test_finish
