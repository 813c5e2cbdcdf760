#!/usr/bin/env bash
# The runtime's dialog sequence on the sample package: welcome, licence,
# destination with the create question, setup type, components, program
# folder, summary, the copy and the finish page.
# Also: Cancel asks first; started without arguments Setup offers
# maintenance.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin runtime_sequence

cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
package=$WT_DIR/Notizblock.exe
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/sample/sample.tbw")" \
  /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "sample package built" "$package"

text_is() {  # text_is NAME ID EXPECTED
  local got
  got=$(ui_text "$2" | tr -d '\r')
  check_eq "$1" "$3" "$got"
}

wine_start "$package"
check "welcome page appears" ui_wait 710 30
# Keep the runtime as an installation would have it, for the maintenance
# run below (the work folder goes when the run ends).
work=$(find "$WINEPREFIX/drive_c" -name _SETUP.EXE -path '*ZET*' -printf '%h\n' | head -1)
mkdir -p "$WT_DIR/installed"
cp "$work/_SETUP.EXE" "$WT_DIR/installed/SETUP.EXE" && cp "$work/_SETUP.DLL" "$WT_DIR/installed/SETUP.DLL"
check "welcome text names the application" bash -c \
  "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 710 | head -1 | grep -qx 'Willkommen zum Setup von Notizblock.'"
ui_screenshot welcome.png
check "Back is disabled on the first page" ui_disabled 12
ui_click 1

check "licence page appears" ui_wait 25
check "licence text from the project" bash -c \
  "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 301 | grep -q 'Dieses Beispiel darf frei verwendet werden.'"
check "Next waits for the licence to be accepted" ui_disabled 1
ui_check 25
check "accepting enables Next" ui_enabled 1
ui_screenshot licence.png
ui_click 1

check "destination page appears" ui_wait 715
text_is "default directory from the profile, aliases expanded" 715 'C:\Program Files\Notizblock'
ui_settext 715 'C:\Neu\'
ui_click 1
box=$(ui_box 10 | tr -d '\r')
check "a new folder is asked for" grep -q . <<<"$box"
ui_screenshot create-question.png
ui_answer 6

check "setup type page appears" ui_wait 503
text_is "the destination was taken without its backslash" 715 'C:\Neu'
text_is "type names from the profile, with a shortcut letter" 503 '&Benutzer'
check "Normal is preselected" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_state 501 | grep -q '^checked'"
ui_screenshot types.png
ui_check 503
ui_click 1

check "component page appears for the custom type" ui_wait 401
items=$(ui_items 401 | tr -d '\r' | xargs)
check_eq "offered components with their kilobytes" "Hilfe%1 Beispiele%0" "$items"
text_is "needed space in megabytes, from the check pass" 716 '0,1 MB'
ui_screenshot components.png
ui_click 1

check "program folder page appears" ui_wait 303
text_is "program folder from the profile" 301 'Notizblock'
ui_click 1

check "summary page appears" ui_wait 301
summary=$(ui_text 301 | tr -d '\r')
check "summary names the type" grep -qx 'Setuptyp' <<<"$summary"
check "summary names the directory" grep -qxF $'\tC:\\Neu' <<<"$summary"
ui_screenshot summary.png
ui_click 1

check "the finish page follows the copy" ui_wait 521 60
ui_screenshot finish.png
neu=$WINEPREFIX/drive_c/Neu
check_file "the program is installed" "$neu/notiz.txt"
check "the installed file is the project's" cmp -s "$neu/notiz.txt" "$WT_DIR/sample/files/notiz.txt"
check_file "the uninstaller is installed" "$neu/SETUP.EXE"
check_file "its resource DLL too" "$neu/SETUP.DLL"
ui_click 1
# The runtime, then its folder remover, end by themselves.
check "the runtime ends after the finish page" wine_wait_idle 60

# Cancel asks before it ends Setup. The installation just made is
# mentioned first (1033): No goes on.
wine_start "$package"
box=$(ui_box 30 | tr -d '\r')
check "an earlier installation is mentioned" grep -q 'bestehende Installation von Notizblock' <<<"$box"
ui_answer 7
check "welcome page again" ui_wait 710 30
ui_click 2
check "the cancel question appears" ui_wait 710 10 --title Setup
ui_screenshot cancel.png
ui_click 1 --title Setup
check "Setup ab&brechen ends the runtime" wine_wait_idle 60

# Without arguments the installed runtime offers maintenance (page 214).
runtime=$WT_DIR/installed/SETUP.EXE
if [ -f "$runtime" ]; then
  wine_start "$runtime"
  check "maintenance page appears" ui_wait 522 30
  check "update entries is preselected" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_state 521 | grep -q '^checked'"
  ui_screenshot maintenance.png
  ui_click 2
  check "maintenance ends on Cancel" wine_wait_idle 60
fi
check_file "the runtime was kept for maintenance" "$runtime"

wine_test_finish
