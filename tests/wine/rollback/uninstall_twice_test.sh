#!/usr/bin/env bash
# The demo installed twice into one folder, then removed: nothing either
# installation made stays. While one uninstaller runs, a second one for the
# same folder says so and ends without touching anything.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
source "$TW_SOURCE_DIR/tests/wine/rollback/snapshot.sh"
wine_test_begin uninstall_twice

demo_build
check_file "demo package built" "$package"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
wine_run 60 cmd /c exit
state_snapshot before

wine_start "$package"
check "first installation" demo_walk 501
check "first installation: finish page" ui_wait 521 120
ui_click 1
check "first installation ends" wine_wait_idle 60

# The second one is told of the first (1033: No goes on) and asked about
# the network type (1031: No).
WALK_AFTER_TYPE=network_question_no
wine_start "$package"
text=$(box_answer 7 60)
check "second installation: the earlier one is mentioned" grep -q 'bestehende Installation' <<<"$text"
check "second installation" demo_walk 501
check "second installation: finish page" ui_wait 521 120
ui_click 1
check "second installation ends" wine_wait_idle 60
WALK_AFTER_TYPE=

dir=$(demo_dir)
program=$(wine_reg_query "$uninstall_key" UninstallString | sed -n 's/.*REG_SZ[[:space:]]*"\([^"]*\)".*/\1/p')
check "the uninstall command is registered" test -n "$program"
wine_start "$program" ZETUREMOVE
first=$WT_PID
check "first uninstaller: its question" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_box 30 | grep -q 'Notizblock Pro'"
wine_start "$program" ZETUREMOVE
second=$WT_PID
# Its box comes in front of the first one's question once it has started.
for i in $(seq 30); do
  text=$(ui_box 5 2>/dev/null | tr -d '\r')
  [ "$(head -1 <<<"$text")" = Setup ] && break
  sleep 1
done
echo "second uninstaller: $text"
check "second uninstaller: says that a removal is under way" grep -q 'wird bereits deinstalliert' <<<"$text"
settled_screenshot second-uninstaller.png
ui_driver 10 answer 1 --title Setup --wait 10 >/dev/null
WT_PID=$second
wine_wait_pid 30
check_eq "second uninstaller ends with 1603 (the low 8 bits)" 67 "$WT_RC"
check "and touched nothing: the uninstaller is still there" test -f "$dir/SETUP.EXE"
check "and the uninstall entry too" wine_reg_query "$uninstall_key"

ui_answer 6
check "first uninstaller: the uninstall dialog" ui_wait 700 60
for i in $(seq 120); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
check "everything went" ui_visible 701
ui_click 1
check "the uninstaller ends" wine_wait_idle 60
wine_run 60 cmd /c exit  # what waited for the restart is done
state_snapshot after

diff "$WT_DIR/before.files" "$WT_DIR/after.files" >"$WT_DIR/files.diff"
diff "$WT_DIR/before.reg" "$WT_DIR/after.reg" >"$WT_DIR/reg.diff"
echo "--- files"; cat "$WT_DIR/files.diff"; echo "--- registry"; cat "$WT_DIR/reg.diff"
check_eq "no file or folder is left or lost" "" "$(grep '^[<>]' "$WT_DIR/files.diff")"
# What stays by the rules, as after one installation: the file type's key
# (rule 0) without its value, the empty key of the shared-file counts, the
# empty vendor keys above the components' own keys.
unexpected_reg=$(grep '^[<>]' "$WT_DIR/reg.diff" | grep -v -x -e '> \[HKEY_CLASSES_ROOT\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Classes\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Beispiel Software\]' -e '> \[HKEY_CURRENT_USER\\Software\\Beispiel Software\]')
check_eq "no registry key or value is left or lost" "" "$unexpected_reg"

wine_test_finish
