#!/usr/bin/env bash
# The registration run on the demo package's resource DLL: every value kind,
# links with a two-level name, App Paths, the per-user record that never
# narrows, user information, the uninstall entry; then the remove direction
# in mode 1 and in full, with foreign keys and values the rules keep or take.
set -u
source "$TW_HARNESS"
wine_test_begin registration_run
# The template's Desktop is a link to the host's home folder, which every
# test shares; this test's desktop links go to a folder of its own prefix.
for desk in "$WINEPREFIX"/drive_c/users/*/Desktop; do
  if [ -L "$desk" ]; then rm -- "$desk" && mkdir -- "$desk"; fi
done

probe=$TW_REGISTRATION_PROBE
here=$TW_SOURCE_DIR/tests/wine/registration
cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
project=$WT_DIR/demo/demo.tbw
# Werkzeug's shortcut gets two subfolder levels; "Starts" becomes 1A.
python3 "$TW_SOURCE_DIR/tests/wine/build/patch_project.py" "$project" "$project" 'Extras\' 'A\B\'
python3 - "$project" <<'EOF'
import sys
p = sys.argv[1]
d = open(p, 'rb').read()
old = b'\x06\x09Starts\x002A'
assert d.count(old) == 1
open(p, 'wb').write(d.replace(old, b'\x06\x09Starts\x001A'))
EOF
package=$WT_DIR/demo.exe
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$project")" \
  /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "demo package built" "$package"
python3 "$TW_SOURCE_DIR/tests/wine/build/inspect_package.py" extract "$package" 3 "$WT_DIR/runtime.cab"
mkdir -p "$WT_DIR/runtime"
cabextract -q -d "$WT_DIR/runtime" "$WT_DIR/runtime.cab"
check_file "resource DLL from the package" "$WT_DIR/runtime/_SETUP.DLL"
dll=$(wine_winpath "$WT_DIR/runtime/_SETUP.DLL")

# The installed files the links point at, as the copy pass leaves them.
install='C:\Program Files\Beispiel Software\Notizblock Pro'
unix_install=$(wine_unixpath "$install")
mkdir -p "$unix_install/Werkzeuge"
touch "$unix_install/notiz.txt" "$unix_install/Werkzeuge/werkzeug.dll" "$unix_install/SETUP.EXE"

out=$WT_DIR/probe.txt
winout=$(wine_winpath "$out")
choices=(dir="$install" type=501 folder='Notizblock Pro' quick=1 desktop=1 user='Eva Muster' company='Muster AG')
field() { sed -n "s/^$1=//p" "$out" | tr -d '\r' | head -1; }
# value ROOT KEY NAME: "type,size,hex" or "-"
value() {
  wine_run 30 "$probe" value "$1" "$winout" "$2" "$3"
  field "$3"
}
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
# REG_SZ as stored. Texts the run hands over without their zero (profile
# values, "Path") are stored with one all the same: the NT family adds it
# when the caller's buffer has it right behind the counted bytes.
sz0() { echo "1,$((${#1} + 1)),$(hex "$1")00"; }
key_state() {
  wine_run 30 "$probe" value "$1" "$winout" "$2"
  field key
}
appkey='Software\Beispiel Software GmbH\Notizblock Pro\2.5'
record="$appkey\\.INSTALL"

# Registration only first: TYPE REGISTRY.
wine_run 60 "$probe" install "$dll" "$winout" mode=1 "${choices[@]}"
check_eq "registration-only run ends" 0 "$WT_RC"
check_eq "progress text 525" "Registrierungsdaten einrichten..." "$(field progressText)"
check_eq "registration-only run ends the bar at 100" 100 "$(field progressBar)"
check_eq "registration only: TYPE REGISTRY" "$(sz0 REGISTRY)" "$(value HKCU "$record" TYPE)"

# The full installation widens it, with the page on screen.
wine_start "$probe" install "$dll" "$winout" mode=3 shot=8 "${choices[@]}"
check "progress page shown" wine_wait_for 30 grep -q '^shown=1' "$out"
wine_screenshot progress.png
wine_wait_pid 30
check_eq "full run ends" 0 "$WT_RC"
check_eq "full run: TYPE ADMIN" "$(sz0 ADMIN)" "$(value HKCU "$record" TYPE)"
wine_run 60 "$probe" install "$dll" "$winout" mode=1 "${choices[@]}"
check_eq "record read back: ADMIN and found" 7 "$(field record)"
check_eq "record read back: program folder" 'Notizblock Pro' "$(field folder)"
check_eq "record read back: Start-menu entry" 1 "$(field quick)"
check_eq "record read back: desktop" 1 "$(field desktop)"
programs=$(field programs)
desktop=$(field desktopFolder)
check_eq "registration only again keeps ADMIN" "$(sz0 ADMIN)" "$(value HKCU "$record" TYPE)"
check_eq "SMFOLDER with its zero" "$(sz0 'Notizblock Pro')" "$(value HKCU "$record" SMFOLDER)"
check_eq "SMFILELINK both bits" "4,4,03000000" "$(value HKCU "$record" SMFILELINK)"

# Registry components: every value kind, aliases expanded, no zero written.
settings='Software\Beispiel Software\Notizblock Pro'
check_eq "kind 0: the unnamed value" "$(sz0 'Notizblock Pro')" "$(value HKLM "$settings" -)"
check_eq "kind 1: the three characters" "$(sz0 2.5)" "$(value HKLM "$settings" Version)"
check_eq "kind 2: expandable, alias expanded" "2,$((${#install} + 7)),$(hex "$install\\Daten")00" \
  "$(value HKLM "$settings" Daten)"
check_eq "kind 3: the stored bytes" "3,4,00FF10A5" "$(value HKLM "$settings" Muster)"
check_eq "kind 4: 1A is 26" "4,4,1A000000" "$(value HKLM "$settings" Starts)"
check_eq "subkey value" "$(sz0 Arial)" "$(value HKLM "$settings\\Optionen" Schrift)"
check_eq "second level: 64 is 100" "4,4,64000000" "$(value HKLM "$settings\\Optionen\\Ansicht" Zoom)"
user=$(value HKCU "$settings" Benutzer)
check "HKEY_CURRENT_USER component: the user name alias" test "$user" != - -a "${user#1,}" != "$user"
check_eq "HKEY_CLASSES_ROOT component" "$(sz0 NotizblockPro.Notiz)" "$(value HKCR .notiz -)"

# App Paths: the unnamed value with its zero, Path without.
apppath='Software\Microsoft\Windows\CurrentVersion\App Paths\notiz.txt'
check_eq "App Paths target with its zero" "$(sz0 "$install\\notiz.txt")" "$(value HKLM "$apppath" -)"
check_eq "App Paths folder" "$(sz0 "$install\\")" "$(value HKLM "$apppath" Path)"

# User information and the uninstall entry.
check_eq "User" "$(sz0 'Eva Muster')" "$(value HKLM "$appkey" User)"
check_eq "Company" "$(sz0 'Muster AG')" "$(value HKLM "$appkey" Company)"
uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
check_eq "DisplayName" "$(sz0 'Notizblock Pro 2.5')" "$(value HKLM "$uninstall" DisplayName)"
check_eq "UninstallString quoted" "$(sz0 "\"$install\\SETUP.EXE\" ZETUREMOVE")" "$(value HKLM "$uninstall" UninstallString)"
check_eq "DisplayVersion" "$(sz0 2.5)" "$(value HKLM "$uninstall" DisplayVersion)"
check_eq "Publisher" "$(sz0 'Beispiel Software GmbH')" "$(value HKLM "$uninstall" Publisher)"
check_eq "InstallLocation" "$(sz0 "$install")" "$(value HKLM "$uninstall" InstallLocation)"
check_eq "DisplayIcon" "$(sz0 "$install\\SETUP.EXE")" "$(value HKLM "$uninstall" DisplayIcon)"
size=$(value HKLM "$uninstall" EstimatedSize)
check "EstimatedSize is a DWORD above 0" test "${size%%,*}" = 4 -a "${size#4,4,}" != 00000000

# Links: the program folder, A\B below it, the direct entry and the desktop
# for the marked shortcut only.
up=$(wine_unixpath "$programs")
ud=$(wine_unixpath "$desktop")
check "Programs folder found" test -n "$programs" -a -d "$up"
check_file "link in the program folder" "$up/Notizblock Pro/Notizblock Pro.lnk"
check_file "two-level name: A\\B\\Werkzeug.lnk" "$up/Notizblock Pro/A/B/Werkzeug.lnk"
check_file "uninstall link" "$up/Notizblock Pro/Notizblock Pro entfernen.lnk"
check_file "direct Start-menu entry for the marked shortcut" "$up/Notizblock Pro.lnk"
check "no direct entry for an unmarked one" test ! -e "$up/Werkzeug.lnk"
check_file "desktop link" "$ud/Notizblock Pro.lnk"
check "no desktop link for an unmarked one" test ! -e "$ud/Werkzeug.lnk"
wine_run 30 "$probe" link "$(wine_winpath "$up/Notizblock Pro/A/B/Werkzeug.lnk")" "$winout"
check_eq "link target" "$install\\Werkzeuge\\werkzeug.dll" "$(field target)"
check_eq "link arguments" "/werkzeug" "$(field arguments)"
check_eq "link icon" "$install\\Werkzeuge\\werkzeug.dll,0" "$(field icon)"
check_eq "link description: the shortcut name" 'A\B\Werkzeug' "$(field description)"
wine_run 30 "$probe" link "$(wine_winpath "$ud/Notizblock Pro.lnk")" "$winout"
check_eq "desktop link target" "$install\\notiz.txt" "$(field target)"
check_eq "desktop link working directory" "$install" "$(field workdir)"
wine_run 30 "$probe" link "$(wine_winpath "$up/Notizblock Pro/Notizblock Pro entfernen.lnk")" "$winout"
check_eq "uninstall link arguments" "ZETUREMOVE" "$(field arguments)"

# Foreign entries: below a rule-1 key (goes with it) and in the rule-3
# user component (keeps its key).
wine reg add "HKLM\\$settings\\Optionen\\Fremd\\Tief" /v X /d fremd /f >/dev/null 2>&1
wine reg add "HKCU\\$settings" /v Fremd /d fremd /f >/dev/null 2>&1

# Mode 1 removes only what lies under HKEY_CURRENT_USER, and the links.
wine_run 60 "$probe" remove "$dll" "$winout" mode=1 "${choices[@]}"
check_eq "mode 1 removal ends" 0 "$WT_RC"
check_eq "mode 1: the record is gone" missing "$(key_state HKCU "$record")"
check_eq "mode 1: the user's value is gone" - "$(value HKCU "$settings" Benutzer)"
check_eq "mode 1: HKEY_LOCAL_MACHINE kept" "$(sz0 2.5)" "$(value HKLM "$settings" Version)"
check_eq "mode 1: App Paths kept" "$(sz0 "$install\\")" "$(value HKLM "$apppath" Path)"
check_eq "mode 1: application key kept" "$(sz0 'Eva Muster')" "$(value HKLM "$appkey" User)"
check "mode 1: links gone" test ! -e "$up/Notizblock Pro" -a ! -e "$up/Notizblock Pro.lnk" -a ! -e "$ud/Notizblock Pro.lnk"

# Installed again in full, then removed in full.
wine_run 60 "$probe" install "$dll" "$winout" mode=3 "${choices[@]}"
check_file "links back" "$up/Notizblock Pro/A/B/Werkzeug.lnk"
wine_start "$probe" remove "$dll" "$winout" mode=3 shot=8 dir="$install" type=501
check "uninstall dialog shown" wine_wait_for 30 grep -q '^shown=1' "$out"
wine_screenshot uninstall.png
wine_wait_pid 30
check_eq "full removal ends" 0 "$WT_RC"
check_eq "success text 701 shown" 1 "$(field text701)"
check_eq "text 702 hidden" 0 "$(field text702)"
check_eq "Ok enabled" 1 "$(field okEnabled)"
check_eq "record gone" missing "$(key_state HKCU "$record")"
check_eq "with the user's emptied company key" missing "$(key_state HKCU 'Software\Beispiel Software GmbH')"
check_eq "rule 1: the key with the foreign subkey is gone" missing "$(key_state HKLM "$settings")"
check_eq "the emptied company key under HKEY_LOCAL_MACHINE is gone" missing \
  "$(key_state HKLM 'Software\Beispiel Software GmbH')"
check_eq "rule 3 with a foreign value: the key stays" "$(sz0 fremd)" "$(value HKCU "$settings" Fremd)"
check_eq "rule 3: its own value went" - "$(value HKCU "$settings" Benutzer)"
check_eq "rule 0: .notiz stays" present "$(key_state HKCR .notiz)"
check_eq "rule 0: its value went" - "$(value HKCR .notiz -)"
check_eq "App Paths gone" missing "$(key_state HKLM "$apppath")"
check "links and their folders gone" test ! -e "$up/Notizblock Pro/A"
check "the emptied program folder gone" test ! -e "$up/Notizblock Pro"
check "the direct entry gone" test ! -e "$up/Notizblock Pro.lnk"
check "the desktop link gone" test ! -e "$ud/Notizblock Pro.lnk"
check_eq "the uninstall entry is left to the removal hand-off" present "$(key_state HKLM "$uninstall")"

# Something left behind: text 702 instead.
wine_run 60 "$probe" remove "$dll" "$winout" mode=3 incomplete=1 dir="$install" type=501
check_eq "incomplete removal: 702" "1 0" "$(field text702) $(field text701)"

wine_test_finish
