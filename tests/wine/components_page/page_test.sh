#!/usr/bin/env bash
# The Komponenten page: both trees with their buttons, the property dialogs,
# the alias menu, in-place renaming, Delete, drags with and without Shift,
# a state picture click, the shortcut list; then the saved project read
# back by "tamblix dump", and a package built from it installing the edited
# components.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin components_page
here=$(dirname "$0")

cp -r "$TW_DIST" "$WT_DIR/builder"
mkdir -p "$WT_DIR/proj/src/sub" "$WT_DIR/other"
printf 'Hauptprogramm\r\n' >"$WT_DIR/proj/src/haupt.exe"
printf 'Lies mich\r\n' >"$WT_DIR/proj/src/sub/lies.txt"
printf 'Anderswo\r\n' >"$WT_DIR/other/extra.dat"
tamblix="$WT_DIR/builder/Tamblix.exe"
project=$WT_DIR/proj/demo.tbw
src=$(wine_winpath "$WT_DIR/proj/src")
cp "$WT_DIR/other/extra.dat" "$WINEPREFIX/drive_c/extra.dat"
extra='C:\extra.dat'

close_window() { wine_run 30 taskkill /im Tamblix.exe >/dev/null 2>&1; wine_wait_pid 30; }
type_text() { timeout 20 xdotool type --delay 40 "$1"; }
status() { ui_text 1341; }

# The screen place of row ROW (from 0, as shown) of a tree at INDENT
# levels: the text, or with "state" the state picture before the icon.
row_at() {  # row_at TREE_ID ROW INDENT [state]
  local l t r b
  read -r l t r b < <(ui_place "$1")
  local y=$((t + 2 + $2 * 18 + 9))
  if [ "${4:-}" = state ]; then echo $((l + 2 + ($3 + 1) * 19 + 8)) "$y"; else echo $((l + 40 + $3 * 19)) "$y"; fi
}
click_row() {  # click_row TREE_ID ROW INDENT
  local x y
  read -r x y < <(row_at "$@")
  wine_click "$x" "$y"
  sleep 0.4
}
# drag_row TREE ROW INDENT TARGET_TREE ROW INDENT [shift]: a mouse drag;
# with "shift" the key goes down once the drag runs, and up after the drop.
drag_row() {
  local x y tx ty
  read -r x y < <(row_at "$1" "$2" "$3")
  read -r tx ty < <(row_at "$4" "$5" "$6")
  timeout 10 xdotool mousemove --sync "$x" "$y" mousedown 1
  sleep 0.3
  timeout 10 xdotool mousemove --sync $((x + 8)) $((y + 8))
  sleep 0.3
  timeout 10 xdotool mousemove --sync $((x + 16)) $((y + 10))
  sleep 0.3
  timeout 10 xdotool mousemove --sync "$tx" "$ty"
  sleep 0.5
  if [ "${7:-}" = shift ]; then
    timeout 10 xdotool keydown shift
    sleep 0.5
    ui_screenshot "${8:-drag}.png"
  fi
  timeout 10 xdotool mouseup 1
  sleep 0.5
  [ "${7:-}" = shift ] && timeout 10 xdotool keyup shift
  sleep 0.5
}
# alias_into EDIT_ID N [SHOT]: Shift + right click on the edit, then the
# menu's item N (from 0) by the keyboard.
alias_into() {
  local l t r b
  read -r l t r b < <(ui_place "$1")
  timeout 10 xdotool mousemove --sync $((l + 4)) $(((t + b) / 2)) click 1
  wine_key Home
  timeout 10 xdotool keydown shift click 3 keyup shift
  sleep 0.8
  [ -n "${3:-}" ] && ui_screenshot "$3"
  local keys=()
  for ((i = 0; i <= $2; ++i)); do keys+=(Down); done
  wine_key "${keys[@]}" Return
  sleep 0.4
}

wine_start "$tamblix" "$(wine_winpath "$project")"
check "the window comes up with the new project" wine_wait_for 30 ui_visible 1201
# The application data a build needs, on the Installation page shown first.
ui_settext 1201 "Demo"
ui_settext 1202 "1"
ui_settext 1203 "0"
ui_settext 1204 "Brakmoor"
ui_settext 1206 '<ProgramFilesDir>\Demo'
read -r tl tt tr tb < <(ui_place 1000)
wine_click $((tl + 20)) $((tt + 10))
wine_key Right Right
check "the Komponenten page is shown" wine_wait_for 10 ui_visible 1301
ui_screenshot page-new.png

# --- "Dateikomponenten": the source path dialog.
check "the file buttons are shown" ui_visible 1311
check "the registry buttons are hidden" ui_hidden 1314
check "no files on the root" ui_disabled 1312
check "the root cannot be removed" ui_disabled 1317
ui_click 1320
check "the source path dialog opens" ui_wait 2501 10
check_eq "it shows the project's folder" "$(wine_winpath "$WT_DIR/proj")" "$(ui_text 2501)"
# The folder browser opens from the dialog; Escape leaves the field as it was.
ui_click 2502
sleep 2
ui_screenshot defdir-browser.png
wine_key Escape
sleep 0.5
check_eq "the browser cancelled keeps the field" "$(wine_winpath "$WT_DIR/proj")" "$(ui_text 2501)"
ui_settext 2501 "$src\\"
ui_check 2503
ui_screenshot defdir.png
ui_click 1
check "the dialog closes" ui_absent 2501 5

# --- The first file component: files from the source folder and elsewhere.
click_row 1301 1 1
check_eq "status of the first component" "Zielverzeichnis: <InstallDir>" "$(status)"
check "the first component cannot be removed" ui_disabled 1317
check "nor moved down" ui_disabled 1319
ui_click 1312
check "the file dialog opens" ui_wait 1148 10
type_text "haupt.exe"; wine_key Return
check "the file dialog closes" ui_absent 1148 10
ui_click 1312
ui_wait 1148 10 >/dev/null
type_text "$extra"; wine_key Return
ui_absent 1148 10 >/dev/null
# Rows: 0 root, 1 Programmdateien, 2 haupt.exe, 3 extra.dat, 4 Registrykomponenten.
click_row 1301 2 2
check "a file entry shows its options" ui_visible 1342
check "and no status line" ui_hidden 1341
check "a file without version information cannot be 'Hoehere Version'" ui_disabled 1345
ui_check 1342
ui_check 1346
check "a shared DLL is no INI file" ui_disabled 1347
ui_screenshot file-options.png

# --- A new file component with the alias menu.
click_row 1301 1 1
ui_click 1311
check "the file component dialog opens" ui_wait 2102 10
check_eq "its name" "Neue Komponente" "$(ui_text 2101)"
ui_settext 2101 "Hilfe"
ui_settext 2102 '\Hilfe'
alias_into 2102 2 alias-menu.png
check_eq "the alias menu inserts at the caret" '<InstallDir>\Hilfe' "$(ui_text 2102)"
ui_settext 2103 "Die Hilfe"
ui_screenshot getfdir.png
ui_click 1
check "the dialog closes" ui_absent 2102 5
check_eq "the new component is selected" 'Zielverzeichnis: <InstallDir>\Hilfe' "$(status)"
# Rows: 0 root, 1 Programmdateien, 2 haupt, 3 extra, 4 Hilfe, 5 Registrykomponenten.
check "the new component can be removed" ui_enabled 1317
check "but not moved above the first" ui_disabled 1318
ui_click 1312
ui_wait 1148 10 >/dev/null
type_text 'sub\lies.txt'; wine_key Return
ui_absent 1148 10 >/dev/null
# A dummy renamed with F2, another removed with Delete.
ui_click 1313
# Rows: 4 Hilfe, 5 lies.txt, 6 Dummy.$$$, 7 Registrykomponenten.
click_row 1301 6 2
wine_key F2
sleep 0.5
type_text "Setup.exe"; wine_key Return
sleep 0.5
ui_click 1313
click_row 1301 7 2
wine_key Delete
sleep 0.5
# Rows: 4 Hilfe, 5 lies.txt, 6 Setup.exe, 7 Registrykomponenten.

# --- A registry component, values and a subkey.
click_row 1301 7 0
check "the registry buttons are shown" ui_visible 1314
check "the file buttons are hidden" ui_hidden 1311
ui_click 1314
check "the registry key dialog opens" ui_wait 2201 10
ui_settext 2201 "Einstellungen"
ui_select 2202 1
ui_settext 2203 'Software\Brakmoor\Demo\'
ui_uncheck 2205
check "without uninstalling the key there is no 'if empty'" ui_disabled 2206
ui_check 2205
check "with it there is" ui_enabled 2206
ui_settext 2204 "Die Einstellungen"
ui_screenshot regkey.png
ui_click 1
check "the dialog closes" ui_absent 2201 5
check_eq "status of the registry component" 'HKEY_CURRENT_USER\Software\Brakmoor\Demo (Wird entfernt)' "$(status)"
# Rows: 7 Registrykomponenten, 8 Einstellungen.
ui_click 1315
check "the value dialog opens" ui_wait 2301 10
check "a key without default value offers 'Standard'" ui_enabled 2302
ui_settext 2301 "Pfad"
ui_settext 2303 ""
alias_into 2303 2
check_eq "the alias in the value data" "<InstallDir>" "$(ui_text 2303)"
ui_check 2305
ui_screenshot regval.png
ui_click 1
ui_absent 2301 5 >/dev/null
ui_click 1315
ui_wait 2301 10 >/dev/null
check_eq "the dialog keeps its last fields" "Pfad" "$(ui_text 2301)"
ui_settext 2301 "Zahl"
ui_settext 2303 "1f"
ui_check 2308
check "DWord data are hexadecimal" ui_visible 2309
ui_screenshot regval-dword.png
ui_click 1
ui_absent 2301 5 >/dev/null
ui_click 1315
ui_wait 2301 10 >/dev/null
ui_check 2302
check_eq "the default value's name" "(Standard)" "$(ui_text 2301)"
ui_settext 2301 "anders" >/dev/null 2>&1
check_eq "and it cannot be edited" "(Standard)" "$(ui_text 2301)"
check "the type is fixed" ui_disabled 2306
ui_settext 2303 "Standardwert"
ui_click 1
ui_absent 2301 5 >/dev/null
ui_click 1315
ui_wait 2301 10 >/dev/null
check "no second default value" ui_disabled 2302
ui_click 2
ui_absent 2301 5 >/dev/null
ui_click 1316
check "the subkey dialog opens" ui_wait 2203 10
check "the root list shows the parent" test "$(ui_text 2202)" = "Demo"
check "and is locked" ui_disabled 2202
check "the name is locked" ui_disabled 2201
check_eq "a subkey below a component is no option" "checked disabled visible" "$(ui_state 2207)"
ui_settext 2203 "Fenster"
ui_screenshot regkey-subkey.png
ui_click 1
ui_absent 2203 5 >/dev/null
check_eq "status of the subkey" 'HKEY_CURRENT_USER\Software\Brakmoor\Demo\Fenster (Wird entfernt)' "$(status)"
# Rows: 8 Einstellungen, 9 Fenster, 10 Pfad, 11 Zahl, 12 (Standard).
click_row 1301 10 2
check_eq "status of a value" "Pfad = <InstallDir> (REG_SZ)" "$(status)"
check "a value does not pass a subkey" ui_disabled 1318
click_row 1301 11 2
check_eq "status of a DWORD value" "Zahl = 1F (REG_DWORD)" "$(status)"

# --- Installation types: Benutzer, references, a state picture, drags.
ui_check 1334
click_row 1301 4 1
click_row 1302 1 0
check "a component goes in as a child" ui_enabled 1325
check "not below a root" ui_disabled 1324
ui_click 1325
# Type rows: 0 Normal, 1 Benutzer, 2 Hilfe.
check_eq "the reference shows the component's description" "Die Hilfe" "$(ui_text 1339)"
read -r sx sy < <(row_at 1302 2 1 state)
wine_click "$sx" "$sy"
sleep 0.4
ui_screenshot types.png
# Programmdateien linked to Normal by a drag.
drag_row 1301 1 1 1302 0 0
# Type rows: 0 Normal, 1 Programmdateien, 2 Benutzer, 3 Hilfe.
# Hilfe copied with Shift onto "Dateikomponenten": a new component, second.
drag_row 1301 4 1 1301 0 0 shift drag-shift
# Rows: 1 Programmdateien, 2 haupt, 3 extra, 4 Hilfe (copy), 5 lies, 6 Setup.exe, 7 Hilfe ...
check_eq "the copy is selected" 'Zielverzeichnis: <InstallDir>\Hilfe' "$(status)"
click_row 1301 1 1
click_row 1301 4 1
wine_key F2
sleep 0.5
type_text "Hilfe Kopie"; wine_key Return
sleep 0.5
# extra.dat moved (no Shift) into the copy.
drag_row 1301 3 2 1301 4 1
# Rows: 1 Programmdateien, 2 haupt, 3 Hilfe Kopie, 4 extra, 5 lies, 6 Setup.exe, 7 Hilfe, 8 lies, 9 Setup.exe,
# 10 Registrykomponenten, 11 Einstellungen.
for r in 3 7 11; do
  click_row 1301 "$r" 1
  click_row 1302 0 0
  ui_click 1325
done
ui_screenshot page-edited.png

# --- The shortcut list.
click_row 1301 2 2
check "a file entry can be linked" ui_enabled 1327
ui_click 1327
check "the shortcut dialog opens" ui_wait 2402 10
check_eq "it names the file" '[Programmdateien]\haupt.exe' "$(ui_text 2401)"
ui_settext 2402 "Demo"
ui_settext 2404 "Werkzeuge"
ui_settext 2406 "300"
read -r l t r b < <(ui_place 2406)
wine_click $((l + 5)) $(((t + b) / 2))
read -r l t r b < <(ui_place 2404)
wine_click $((l + 5)) $(((t + b) / 2))
read -r l t r b < <(ui_place 2402)
wine_click $((l + 5)) $(((t + b) / 2))
sleep 0.3
check_eq "an icon index past 255 becomes 255" "255" "$(ui_text 2406)"
check_eq "the subfolder ends with a backslash" 'Werkzeuge\' "$(ui_text 2404)"
ui_settext 2405 ""
alias_into 2405 2
check_eq "the alias in the working folder" "<InstallDir>" "$(ui_text 2405)"
ui_check 2408
ui_screenshot shellname.png
ui_click 1
ui_absent 2402 5 >/dev/null
check_eq "the list shows caption and file" 'Demo = [Programmdateien]\haupt.exe' "$(ui_items 1340)"
ui_select 1340 0
check_eq "the status shows parameters and App Paths" 'Parameter:""; AppPath : Datei' "$(status)"
read -r l t r b < <(ui_place 1340)
wine_click $((l + 10)) $((t + 11))
sleep 0.3
# A file entry dragged onto the list below its entries: a second shortcut.
read -r x y < <(row_at 1301 2 2)
timeout 10 xdotool mousemove --sync "$x" "$y" mousedown 1
sleep 0.3
timeout 10 xdotool mousemove --sync $((x + 8)) $((y + 8))
sleep 0.3
timeout 10 xdotool mousemove --sync $((l + 100)) $((t + 60))
sleep 0.5
timeout 10 xdotool mouseup 1
check "a file dropped on the list opens the shortcut dialog" ui_wait 2402 10
check_eq "with empty fields" "" "$(ui_text 2402)"
check_eq "and icon index 0" "0" "$(ui_text 2406)"
ui_settext 2402 "Zweiter"
ui_click 1
ui_absent 2402 5 >/dev/null
check_eq "the dropped shortcut goes last" 'Demo = [Programmdateien]\haupt.exe
Zweiter = [Programmdateien]\haupt.exe' "$(ui_items 1340)"
ui_screenshot shortcuts.png

# --- Save.
wine_key ctrl+s
check "the save dialog" ui_wait 1148 20
ui_click 1 --title "Projekt speichern unter"
check "the project is written" wine_wait_for 20 test -s "$project"
close_window

wine "$TW_TAMBLIX" dump "$(wine_winpath "$project")" 2>/dev/null | tr -d '\r' >"$WT_DIR/dump.json"
python3 "$here/outline.py" "$WT_DIR/dump.json" | tail -n +2 >"$WT_DIR/outline.txt"
check_eq "the source folder is saved without its backslash" "$src" \
  "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["sourcePath"])' "$WT_DIR/dump.json")"
check_eq "the next component id" 4 \
  "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["nextComponentId"])' "$WT_DIR/dump.json")"
# What the steps above made: the entry options (3 "Nie" + 8 shared DLL),
# the copy second with a new id and no description, the moved file first
# in it, the renamed dummy, the key with subkey and values (the DWORD kept
# as the hexadecimal digits Setup reads), the references, the shortcut.
cat >"$WT_DIR/outline-expected.txt" <<'OUTLINE'
root 'Dateikomponenten' value=0
  fileComponent 'Programmdateien' id=0 flags=0 path='<InstallDir>' desc=''
    fileEntry '[DefSrcPath]\\haupt.exe' value=11
  fileComponent 'Hilfe Kopie' id=3 flags=32 path='<InstallDir>\\Hilfe' desc=''
    fileEntry 'C:\\extra.dat' value=0
    fileEntry '[DefSrcPath]\\sub\\lies.txt' value=0
    dummyFileEntry 'Setup.exe' value=320
  fileComponent 'Hilfe' id=1 flags=32 path='<InstallDir>\\Hilfe' desc='Die Hilfe'
    fileEntry '[DefSrcPath]\\sub\\lies.txt' value=0
    dummyFileEntry 'Setup.exe' value=320
root 'Registrykomponenten' value=0
  registryComponent 'Einstellungen' id=2 flags=131073 path='Software\\Brakmoor\\Demo' desc='Die Einstellungen'
    registrySubkey 'Fenster' value=5
    registryValue 'Pfad\x00<InstallDir>' value=1
    registryValue 'Zahl\x001F' value=4
    registryValue '(Standard)\x00Standardwert' value=0
type 'Normal'
  reference 'Programmdateien' ref=0
  reference 'Hilfe Kopie' ref=3
  reference 'Hilfe' ref=1
  reference 'Einstellungen' ref=2
type 'Benutzer'
  reference 'Hilfe' ref=1
shortcut {"appPathDir": false, "appPathFile": true, "caption": "Demo", "checked": true, "componentIndex": 0, "fileIndex": 0, "iconFile": "", "iconIndex": 255, "parameters": "", "subFolder": "Werkzeuge\\", "targetComponent": "Programmdateien", "targetFile": "[DefSrcPath]\\haupt.exe", "workDir": "<InstallDir>"}
shortcut {"appPathDir": false, "appPathFile": false, "caption": "Zweiter", "checked": false, "componentIndex": 0, "fileIndex": 0, "iconFile": "", "iconIndex": 0, "parameters": "", "subFolder": "", "targetComponent": "Programmdateien", "targetFile": "[DefSrcPath]\\haupt.exe", "workDir": ""}
OUTLINE
check "the saved project holds the edits" diff -u "$WT_DIR/outline-expected.txt" "$WT_DIR/outline.txt"

# --- A package built from the saved project installs what the page made.
mkdir -p "$WT_DIR/pkg"
package=$WT_DIR/pkg/Demo.exe
(cd "$WT_DIR" && timeout 180 wine "$tamblix" /build "$(wine_winpath "$project")" /out "$(wine_winpath "$package")" \
  >"$WT_DIR/build.txt" 2>&1)
check_file "the package is built" "$package"
wine_start "$package"
check "the package installs without pages and ends" wine_wait_idle 120
dir="$WINEPREFIX/drive_c/Program Files/Demo"
check "the first component's file" cmp -s "$WT_DIR/proj/src/haupt.exe" "$dir/haupt.exe"
check "the new component's file below the source folder" cmp -s "$WT_DIR/proj/src/sub/lies.txt" "$dir/Hilfe/lies.txt"
check "the file moved into the copied component" cmp -s "$WT_DIR/other/extra.dat" "$dir/Hilfe/extra.dat"
check "the dummy entry installs nothing" test ! -e "$dir/Hilfe/Setup.exe"
key='HKCU\Software\Brakmoor\Demo'
wine reg query "$key" /s 2>/dev/null | tr -d '\r' >"$WT_DIR/installed-key.txt"
check "the string value with its alias expanded" grep -q 'Pfad.*REG_SZ.*C:.Program Files.Demo$' "$WT_DIR/installed-key.txt"
check "the DWORD value as entered (hexadecimal 1f)" grep -qi 'Zahl.*REG_DWORD.*0x1f$' "$WT_DIR/installed-key.txt"
check "the default value" grep -q 'REG_SZ.*Standardwert$' "$WT_DIR/installed-key.txt"
check "the subkey" grep -q 'Demo.Fenster$' "$WT_DIR/installed-key.txt"
check "the shortcut" bash -c "find '$WINEPREFIX/drive_c/users' -name Demo.lnk | grep -q ."

# --- A project from disk: its trees and shortcuts on the page.
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
wine_start "$tamblix" "$(wine_winpath "$WT_DIR/sample/sample.tbw")"
check "the sample opens" wine_wait_for 30 ui_visible 1201
read -r tl tt tr tb < <(ui_place 1000)
wine_click $((tl + 20)) $((tt + 10))
wine_key Right Right
check "its Komponenten page" wine_wait_for 10 ui_visible 1301
check_eq "its shortcuts" 'Notizblock = [Programmdateien]\notiz.txt
Notizblock entfernen = [Programmdateien]\Setup.exe' "$(ui_items 1340)"
ui_screenshot sample.png
close_window

wine_test_finish
