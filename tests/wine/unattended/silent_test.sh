#!/usr/bin/env bash
# The demo package installed through the wizard with a log, removed by its
# quiet uninstall command, and installed again with /S and the same
# choices: no window appears, the same files, registry values and links,
# the same log line for line (times aside), and the quiet removal leaves
# nothing behind.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
source "$TW_SOURCE_DIR/tests/wine/unattended/unattended.sh"
wine_test_begin unattended_silent

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
wine_run 60 cmd /c exit
snapshot before

# The wizard with a log: the switch only adds the log and the exit code.
wizard_log=$WT_DIR/wizard.log
wine_start "$package" "/LOG=$(wine_winpath "$wizard_log")"
check "the wizard walks to the summary" demo_walk 503
check "the finish page after the copy" ui_wait 521 120
ui_click 1
wine_wait_pid 120
check_eq "the wizard's run ends with 0" 0 "$WT_RC"
wine_wait_idle 60
snapshot wizard
check_eq "its log ends with exit code 0" 0 "$(exit_of "$wizard_log")"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
quiet=$(wine_reg_query "$key" QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
echo "quiet uninstall: $quiet"
check "the quiet uninstall command is registered, its path quoted" \
  grep -q '^"C:\\.*\\SETUP.EXE" ZETUREMOVE /S$' <<<"$quiet"
program=$(sed 's/^"\([^"]*\)".*/\1/' <<<"$quiet")

# The quiet removal.
: >"$WT_DIR/windows.txt"
removal_log=$WT_DIR/removal.log
run_silent 120 "$program" ZETUREMOVE /S "/LOG=$(wine_winpath "$removal_log")"
check_eq "the quiet removal ends with 0" 0 "$WT_RC"
check "no window appears during the quiet removal" no_window
cat "$WT_DIR/windows.txt"
wine_run 60 cmd /c exit  # a new session: what waited for the restart is done
snapshot removed
diff "$WT_DIR/before.files" "$WT_DIR/removed.files" >"$WT_DIR/files.diff"
diff "$WT_DIR/before.reg" "$WT_DIR/removed.reg" >"$WT_DIR/reg.diff"
# What stays by the rules, as after the wizard's removal.
check_eq "the quiet removal leaves no file or folder" "" "$(grep '^[<>]' "$WT_DIR/files.diff")"
unexpected_reg=$(grep '^[<>]' "$WT_DIR/reg.diff" | grep -v -x -e '> \[HKEY_CLASSES_ROOT\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Classes\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Beispiel Software\]' -e '> \[HKEY_CURRENT_USER\\Software\\Beispiel Software\]')
check_eq "the quiet removal leaves no registry key or value" "" "$unexpected_reg"
check "the removal log names removed items" grep -q ' REMOVE .*notiz.txt' "$removal_log"
check "and the registry keys and values it deleted" grep -q ' REMOVE HKEY_' "$removal_log"
check_eq "and ends with exit code 0" 0 "$(exit_of "$removal_log")"

# The same choices without a window.
: >"$WT_DIR/windows.txt"
silent_log=$WT_DIR/silent.log
run_silent 300 "$package" /S "/DIR=C:\\Program Files\\Beispiel Software\\Notizblock Pro" /TYPE=Benutzer \
  "/COMPONENTS=$demo_components" "/USER=Erika Mustermann" "/COMPANY=Muster AG" "/LOG=$(wine_winpath "$silent_log")"
check_eq "the silent install ends with 0" 0 "$WT_RC"
check "no window appears during the silent install" no_window
cat "$WT_DIR/windows.txt"
snapshot silent
diff "$WT_DIR/wizard.files" "$WT_DIR/silent.files" >"$WT_DIR/silent-files.diff"
diff "$WT_DIR/wizard.reg" "$WT_DIR/silent.reg" >"$WT_DIR/silent-reg.diff"
echo "--- files"; cat "$WT_DIR/silent-files.diff"; echo "--- registry"; cat "$WT_DIR/silent-reg.diff"
check_eq "the files and links are the wizard's" "" "$(grep '^[<>]' "$WT_DIR/silent-files.diff")"
check_eq "the registry is the wizard's" "" "$(grep '^[<>]' "$WT_DIR/silent-reg.diff")"
check_eq "the silent log ends with exit code 0" 0 "$(exit_of "$silent_log")"
for f in notiz.txt liesmich.txt notizblock.ini schreibschutz.txt Werkzeuge/werkzeug.dll Roh/roh.dat; do
  check "the log lists $f" grep -qF " FILE C:\\Program Files\\Beispiel Software\\Notizblock Pro\\${f//\//\\}" "$silent_log"
done
log_kinds "$wizard_log" >"$WT_DIR/wizard.kinds"
log_kinds "$silent_log" >"$WT_DIR/silent.kinds"
check "the wizard's and the silent log have the same lines, kind for kind" \
  diff "$WT_DIR/wizard.kinds" "$WT_DIR/silent.kinds"
# Apart from the command line, the lines say the same.
strip() { tr -d '\r' <"$1" | cut -d' ' -f3- | grep -v '^COMMAND '; }
check "and say the same but for the command line" diff <(strip "$wizard_log") <(strip "$silent_log")

# /PROGRESS: the background and the copy's progress, nothing to answer.
run_silent 120 "$program" ZETUREMOVE /S
check_eq "a second quiet removal ends with 0" 0 "$WT_RC"
: >"$WT_DIR/windows.txt"
watch_start
wine_start "$package" /PROGRESS "/LOG=$(wine_winpath "$WT_DIR/progress.log")"
wine_wait_pid 120
rc=$WT_RC
watch_stop
WT_RC=$rc
cat "$WT_DIR/windows.txt"
check_eq "the run with progress ends with 0" 0 "$WT_RC"
check "its log ends with 0" test "$(exit_of "$WT_DIR/progress.log")" = 0
check "the program is installed" test -f "$dir/notiz.txt"
check "the background was shown" grep -q $'^Setup\t' "$WT_DIR/windows.txt"
check "and the copy's progress page" grep -q -e $'^  1500\t' -e $'^  710\t' "$WT_DIR/windows.txt"
# A question would come as a box captioned "Setup".
check "but no message box" bash -c "! grep -q \$'^#32770\tSetup\$' '$WT_DIR/windows.txt'"

wine_test_finish
