#!/usr/bin/env bash
# An installation that is cancelled or fails after its copy began leaves
# the prefix as it was before, files and registry: the files it created go,
# a file it replaced has its old content back, a shared-file count it raised
# and a registry value it overwrote are as they were, and no uninstall entry
# stays. Four ways: a cancel in the middle of copying 2,000 files, a damaged
# third cabinet (found whole by the check pass, before anything is copied),
# an uninstall record that cannot be written (another
# program holds the new SETUP.EXE), and a shortcut that cannot be made
# after the registry components were written. And a file in use, whose
# replacement at the restart the failed run takes off the schedule again,
# in the NT family (PendingFileRenameOperations) and in the 9x family
# (WININIT.INI).
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
source "$TW_SOURCE_DIR/tests/wine/rollback/snapshot.sh"
wine_test_begin install_rollback

demo_build
check_file "demo package built" "$package"
mkdir -p "$WT_DIR/demo/files/viele"
python3 - "$WT_DIR/demo/files/viele" 2000 <<'PY'
import os, sys
for i in range(1, int(sys.argv[2]) + 1):
    with open(os.path.join(sys.argv[1], 'f%04d.txt' % i), 'wb') as f:
        f.write(os.urandom(6000))
PY
(cd "$WT_DIR/demo" && timeout 120 wine "$TW_TEST_TOOLS/make_projects.exe" demo.tbw many.tbw three.tbw 2000)
many=$WT_DIR/pkg/Viele.exe
three=$WT_DIR/pkg/Drei.exe
build_project many.tbw "$many"
build_project three.tbw "$three"
check_file "package of 2,000 more files built" "$many"
check_file "package of three file components built" "$three"

# What was there before: an earlier notiz.txt and a file of the user's in
# the installation folder, a count for the shared file, a value of the
# settings component's key.
dir=$(demo_dir)
mkdir -p "$dir"
printf 'alte Notiz\r\n' >"$dir/notiz.txt"
printf 'meine Daten\r\n' >"$dir/meine-daten.txt"
shared='C:\Program Files\Common Files\Beispiel Software\gemeinsam.dll'
shared_key='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
settings_key='HKLM\Software\Beispiel Software\Notizblock Pro'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
wine_run 60 reg add "$shared_key" /v "$shared" /t REG_DWORD /d 3 /f
wine_run 60 reg add "$settings_key" /ve /d 'alter Wert' /f
wine_run 60 cmd /c exit
state_snapshot before

shared_count() { wine_reg_query "$shared_key" "$shared" | sed -n 's/.*REG_DWORD[[:space:]]*//p'; }
settings_value() { wine_reg_query "$settings_key" '' | sed -n 's/.*REG_SZ[[:space:]]*//p'; }
many_files() { find "$dir" -maxdepth 1 -name 'f[0-9][0-9][0-9][0-9].txt' | wc -l; }

# 1. Cancel while the 2,000 files are being copied.
wine_start "$many"
check "cancel: the wizard walks to the copy" demo_walk 501
wine_wait_for 120 test -e "$dir/f0100.txt"
ui_click 2
check "cancel: the cancel question" ui_wait 710 10 --title Setup
copied=$(many_files)
echo "files copied when the cancel was asked: $copied of 2000"
check "cancel: the copy had begun and was not through" test "$copied" -gt 0 -a "$copied" -lt 2000
check_eq "cancel: the earlier notiz.txt was replaced by then" "Notizblock Pro" "$(head -c 14 "$dir/notiz.txt")"
ui_click 1 --title Setup
text=$(ui_box 120 | tr -d '\r')
echo "cancel: $text"
check "cancel: the user is told that nothing was changed" \
  grep -q 'Setup wurde abgebrochen. Es wurden keine Änderungen vorgenommen.' <<<"$text"
settled_screenshot cancelled.png
ui_answer 1
check "cancel: Setup ends" wine_wait_idle 60
end_setup
wine_run 60 cmd /c exit
check_eq "cancel: notiz.txt has its old content" "alte Notiz" "$(tr -d '\r' <"$dir/notiz.txt")"
state_snapshot cancelled
state_unchanged "cancel" before cancelled

# 2. The third cabinet is damaged: the check pass has the cabinet library
# check every cabinet whole, so the damage is found before anything is
# copied, and nothing needs taking back.
inspect=$TW_SOURCE_DIR/tests/wine/build/inspect_package.py
offset=$(python3 "$inspect" items "$three" | awk '$1 == 6 {print $2}')
check "damaged: the templates' cabinet is found" test -n "$offset"
printf 'XXXX' | dd of="$three" bs=1 seek="${offset:-0}" conv=notrunc 2>/dev/null
wine_start "$three"
demo_walk 501
text=$(ui_box 120 | tr -d '\r')
echo "damaged: $text"
check "damaged: message 1029" grep -q 'Das Setup - Programm ist besch' <<<"$text"
settled_screenshot damaged.png
check_eq "damaged: the shared count was not raised" "0x3" "$(shared_count)"
check_eq "damaged: notiz.txt was not touched" "alte Notiz" "$(tr -d '\r' <"$dir/notiz.txt")"
ui_answer 1
end_setup
wine_run 60 cmd /c exit
state_snapshot damaged
state_unchanged "damaged" before damaged

# 3. The uninstall record cannot be written: as soon as the new SETUP.EXE
# is in place, another program opens it without sharing.
release=$WT_DIR/release
rm -f "$release"
wine "$TW_TEST_TOOLS/hold_when_there.exe" "$(wine_winpath "$dir/SETUP.EXE")" "$(wine_winpath "$release")" &
holder=$!
wine_start "$many"
check "record: the wizard walks to the copy" demo_walk 501
text=$(ui_box 180 | tr -d '\r')
echo "record: $text"
check "record: the failed write is shown" grep -q 'Win32-Fehler' <<<"$text"
check "record: the copy was through by then" test -e "$dir/f2000.txt"
touch "$release"
wait "$holder"
check_eq "record: the other program held SETUP.EXE" 0 "$?"
ui_answer 1
text=$(ui_box 60 | tr -d '\r')
echo "record, after: $text"
check "record: the user is told that nothing was changed" grep -q 'Es wurden keine Änderungen vorgenommen' <<<"$text"
ui_answer 1
check "record: Setup ends" wine_wait_idle 60
end_setup
check "record: no uninstall entry is registered" bash -c "! timeout 60 wine reg query '$uninstall_key' >/dev/null 2>&1"
wine_run 60 cmd /c exit
state_snapshot record
state_unchanged "record" before record

# 4. The program folder in the Start menu cannot be made (a file of its
# name is in the way): the registry components are written by then.
programs=$(find "$WINEPREFIX/drive_c/users" -maxdepth 7 -type d -path '*Start Menu/Programs' | head -1)
check "the Start menu's program folder is found" test -n "$programs"
printf 'im Weg' >"$programs/Notizblock Pro"
wine_run 60 cmd /c exit
state_snapshot blocked_before
wine_start "$package"
check "link: the wizard walks to the copy" demo_walk 501
text=$(ui_box 180 | tr -d '\r')
echo "link: $text"
check_eq "link: the settings value was overwritten by then" "Notizblock Pro" "$(settings_value)"
ui_answer 1
text=$(ui_box 60 | tr -d '\r')
check "link: the user is told that nothing was changed" grep -q 'Es wurden keine Änderungen vorgenommen' <<<"$text"
ui_answer 1
check "link: Setup ends" wine_wait_idle 60
end_setup
check_eq "link: the settings value is the old one" "alter Wert" "$(settings_value)"
wine_run 60 cmd /c exit
state_snapshot blocked_after
state_unchanged "link" blocked_before blocked_after

# 5 and 6. notiz.txt is in use, so its new data waits beside it for the
# restart; then the blocked program folder in the Start menu (still in the
# way from case 4) fails the run.
session_key='HKLM\System\CurrentControlSet\Control\Session Manager'
held_run() {  # held_run LABEL: the package with notiz.txt held and its link folder blocked
  local label=$1 release=$WT_DIR/release-$1 holder
  rm -f "$release"
  wine "$TW_TEST_TOOLS/hold_file.exe" "$(wine_winpath "$dir/notiz.txt")" "$(wine_winpath "$release")" &
  holder=$!
  sleep 2
  wine_start "$package"
  check "$label: the wizard walks to the copy" demo_walk 501
  text=$(ui_box 180 | tr -d '\r')
  echo "$label: $text"
  check "$label: the failure is shown" test -n "$text"
  check "$label: the new data waits beside notiz.txt" test -e "$dir/notiz.tx_"
  $2 during
  ui_answer 1
  text=$(ui_box 60 | tr -d '\r')
  check "$label: the user is told that nothing was changed" grep -q 'Es wurden keine Änderungen vorgenommen' <<<"$text"
  $2 after
  check_eq "$label: the waiting data is gone" "" "$(find "$dir" -iname 'notiz.tx_')"
  ui_answer 1
  touch "$release"
  wait "$holder"
  check "$label: Setup ends" wine_wait_idle 60
  end_setup
}
nt_schedule() {
  local value
  value=$(wine_reg_query "$session_key" PendingFileRenameOperations)
  if [ "$1" = during ]; then
    check "nt: the replacement is scheduled" grep -qi 'notiz.tx_' <<<"$value"
  else
    check_eq "nt: the replacement is off the schedule" "" "$(grep -i 'notiz.tx_' <<<"$value")"
  fi
}
wine_run 60 cmd /c exit
state_snapshot nt_before
held_run nt nt_schedule
wine_run 60 cmd /c exit
state_snapshot nt_after
state_unchanged "nt" nt_before nt_after
check_eq "nt: notiz.txt has its old content" "alte Notiz" "$(tr -d '\r' <"$dir/notiz.txt")"

wininit_schedule() {
  local ini
  ini=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname wininit.ini | head -1)
  if [ "$1" = during ]; then
    check "9x: the replacement is in WININIT.INI" grep -qi 'notiz.txt=.*notiz.tx_' "${ini:-/dev/null}"
  else
    check_eq "9x: WININIT.INI, which the run made, is gone" "" "$ini"
  fi
}
wine_set_version win98
wine_run 60 cmd /c exit
state_snapshot w98_before
held_run 9x wininit_schedule
wine_run 60 cmd /c exit
# The restart carried out what WININIT.INI then held and kept it as
# WININIT.BAK: only the folder remover's own deletion, which every run of
# the dispatcher schedules, not part of the installation.
bak=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname wininit.bak | head -1)
check_eq "9x: the restart removed only the folder remover" "" \
  "$(tr -d '\r' <"${bak:-/dev/null}" | grep -v -x -e '\[Rename\]' -e 'NUL=.*\\ZETURFD\.EXE')"
[ -n "$bak" ] && rm -f "$bak"
state_snapshot w98_after
state_unchanged "9x" w98_before w98_after
check_eq "9x: notiz.txt has its old content" "alte Notiz" "$(tr -d '\r' <"$dir/notiz.txt")"

wine_test_finish
