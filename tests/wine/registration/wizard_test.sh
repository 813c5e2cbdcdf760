#!/usr/bin/env bash
# The registration run inside the real runtime: the demo package installed
# through its wizard writes the registry components, links, App Paths, the
# user's record and information and the uninstall entry; the installed
# SETUP.EXE's maintenance "update entries" writes them again and keeps the
# record's ADMIN; "SETUP.EXE ZETUREMOVE" takes them away again.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin registration_wizard
# The template's Desktop is a link to the host's home folder, which every
# test shares; this test's desktop links go to a folder of its own prefix.
for desk in "$WINEPREFIX"/drive_c/users/*/Desktop; do
  if [ -L "$desk" ]; then rm -- "$desk" && mkdir -- "$desk"; fi
done

demo_build
check_file "demo package built" "$package"
install='C:\Program Files\Beispiel Software\Notizblock Pro'
dir=$(demo_dir)

wine_start "$package"
check "the wizard walks to the summary with the normal type" demo_walk 501
check "finish page after the copy and the registration" ui_wait 521 120
ui_screenshot finish.png
ui_click 1
check "the runtime ends" wine_wait_idle 60

# reg_data KEY VALUE: the data column of "wine reg query" ("-" if missing;
# VALUE "-" is the unnamed value).
reg_data() {
  local line
  if [ "$2" = - ]; then set -- "$1" /ve; else set -- "$1" /v "$2"; fi
  line=$(timeout 60 wine reg query "$@" 2>/dev/null | tr -d '\r' | grep -m1 ' REG_')
  [ -n "$line" ] && ! grep -q '(value not set)' <<<"$line" || { echo -; return; }
  sed -E 's/^.*REG_[A-Z_]+ {4}//' <<<"$line"
}
settings='HKLM\Software\Beispiel Software\Notizblock Pro'
appkey='Software\Beispiel Software GmbH\Notizblock Pro\2.5'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
check_eq "component value" 2.5 "$(reg_data "$settings" Version)"
check_eq "DWORD from hexadecimal digits" 0x2a "$(reg_data "$settings" Starts)"
check_eq "second-level key" 0x64 "$(reg_data "$settings\\Optionen\\Ansicht" Zoom)"
check_eq "HKEY_CLASSES_ROOT component" NotizblockPro.Notiz "$(reg_data 'HKCR\.notiz' -)"
check_eq "App Paths" "$install\\notiz.txt" "$(reg_data 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\notiz.txt' -)"
check_eq "User from the user-information page" "Erika Mustermann" "$(reg_data "HKLM\\$appkey" User)"
check_eq "Company from it" "Muster AG" "$(reg_data "HKLM\\$appkey" Company)"
check_eq "record: ADMIN" ADMIN "$(reg_data "HKCU\\$appkey\\.INSTALL" TYPE)"
check_eq "record: the program folder" "Notizblock Pro" "$(reg_data "HKCU\\$appkey\\.INSTALL" SMFOLDER)"
check_eq "UninstallString of the installed SETUP.EXE, quoted" "\"$install\\SETUP.EXE\" ZETUREMOVE" \
  "$(reg_data "$uninstall" UninstallString)"
check_eq "DisplayName" "Notizblock Pro 2.5" "$(reg_data "$uninstall" DisplayName)"
check_file "the uninstall command's program exists" "$dir/SETUP.EXE"

programs=$(reg_data 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Programs)
desktop=$(reg_data 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Desktop)
up=$(wine_unixpath "$programs")
ud=$(wine_unixpath "$desktop")
check_file "program folder link" "$up/Notizblock Pro/Notizblock Pro.lnk"
check_file "link in the Extras subfolder" "$up/Notizblock Pro/Extras/Werkzeug.lnk"
check_file "uninstall link" "$up/Notizblock Pro/Notizblock Pro entfernen.lnk"
check_file "desktop link for the marked shortcut" "$ud/Notizblock Pro.lnk"

# Maintenance, "update entries": what went missing is written again.
wine reg delete "$settings" /v Version /f >/dev/null 2>&1
rm -f "$ud/Notizblock Pro.lnk"
check_eq "value deleted before the maintenance run" - "$(reg_data "$settings" Version)"
wine_start "$dir/SETUP.EXE"
check "maintenance page appears" ui_wait 522 30
check "update entries is preselected" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_state 521 | grep -q '^checked'"
ui_click 1
if ui_wait 521 60 >/dev/null 2>&1; then
  ui_screenshot maintenance-finish.png
  ui_click 1
fi
check "the maintenance run ends" wine_wait_idle 60
check_eq "the value is back" 2.5 "$(reg_data "$settings" Version)"
check_file "the desktop link is back" "$ud/Notizblock Pro.lnk"
check_eq "registration only keeps ADMIN" ADMIN "$(reg_data "HKCU\\$appkey\\.INSTALL" TYPE)"
check_eq "the user information is kept" "Erika Mustermann" "$(reg_data "HKLM\\$appkey" User)"
check_eq "the uninstall command still names the installed SETUP.EXE" "\"$install\\SETUP.EXE\" ZETUREMOVE" \
  "$(reg_data "$uninstall" UninstallString)"

# The uninstallation through the entry's command: a foreign subkey in the
# rule-1 settings key goes with it, a foreign value keeps the rule-3 user key.
wine reg add "$settings\\Optionen\\Fremd" /v X /d fremd /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Beispiel Software\Notizblock Pro' /v Fremd /d fremd /f >/dev/null 2>&1
wine_start "$dir/SETUP.EXE" ZETUREMOVE
box=$(ui_box 30 | tr -d '\r')
check "the uninstall question names the application" grep -q 'Notizblock Pro' <<<"$box"
ui_answer 6
check "the uninstall dialog appears" ui_wait 700 30
for i in $(seq 60); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
check "its OK is enabled at the end" ui_enabled 1
check "it says all went" ui_visible 701
ui_screenshot uninstalled.png
ui_click 1
check "the uninstaller ends" wine_wait_idle 60
check_eq "settings key gone with the foreign subkey" - "$(reg_data "$settings" Version)"
check "the settings key itself is gone" bash -c "! timeout 60 wine reg query '$settings' >/dev/null 2>&1"
check_eq "the user key stays for its foreign value" fremd "$(reg_data 'HKCU\Software\Beispiel Software\Notizblock Pro' Fremd)"
check_eq "its own value went" - "$(reg_data 'HKCU\Software\Beispiel Software\Notizblock Pro' Benutzer)"
check_eq ".notiz stays (rule 0) without its value" - "$(reg_data 'HKCR\.notiz' -)"
check "the record is gone" bash -c "! timeout 60 wine reg query 'HKCU\\$appkey\\.INSTALL' >/dev/null 2>&1"
check "the application key is gone" bash -c "! timeout 60 wine reg query 'HKLM\\$appkey' >/dev/null 2>&1"
check "App Paths gone" bash -c "! timeout 60 wine reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\notiz.txt' >/dev/null 2>&1"
check "the uninstall entry is gone" bash -c "! timeout 60 wine reg query '$uninstall' >/dev/null 2>&1"
check "the program folder with its links is gone" test ! -e "$up/Notizblock Pro"
check "the desktop link is gone" test ! -e "$ud/Notizblock Pro.lnk"

wine_test_finish
