#!/usr/bin/env bash
# The builder's main window: start-up with and without a last project, open
# by name, the Installation page editing the document (saved and read back),
# the title height rules, confirm-discard, the backup, the preview's pixels
# and a package built by the create button.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin builder_window
here=$(dirname "$0")
pixels="python3 $here/pixels.py"

cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
tamblix="$WT_DIR/builder/Tamblix.exe"
sample=$WT_DIR/sample/sample.tbw
settings='HKCU\Software\Brakmoor\Tamblewright\1.0'
title='Brakmoor Tamblewright'

dump() { wine "$TW_TAMBLIX" dump "$(wine_winpath "$1")" 2>/dev/null | tr -d "\r"; }
field() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' "$1" "$2"; }
close_window() { wine_run 30 taskkill /im Tamblix.exe >/dev/null 2>&1; wine_wait_pid 30; }
place() { wine_reg_query "$settings" WindowPlace | awk -F'REG_SZ' 'NF > 1 {gsub(/ /, "", $2); print $2}'; }

# --- Start-up without a last project: only the Projekt page, no saving.
wine_start "$tamblix"
check "the window comes up" ui_wait 1104 30
check_eq "caption before a project" "$title" "$(ui_windows | grep -m1 'TAppForm' | cut -f3)"
check "save is disabled before a project" ui_disabled 1002
check "create is disabled before a project" ui_disabled 1003
check "output name is disabled before a project" ui_disabled 1107
check "the Installation page is hidden" ui_hidden 1201
check_eq "label text" "Datei&name des Installationsprojektes:" "$(ui_text 1103)"
ui_screenshot startup.png

# --- A name that does not exist yet, typed into the project name field:
# the new-project defaults, nothing written.
ui_settext 1104 "$(wine_winpath "$WT_DIR/sample/neu.tbw")"
wine_key Return
check "caption names the new project" wine_wait_for 20 bash -c \
  "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_windows | grep -q 'Brakmoor Tamblewright - \[neu.tbw\]'"
check_eq "new project: empty name" "" "$(ui_text 1201)"
check_eq "new project: target directory" "<ProgramFilesDir>" "$(ui_text 1206)"
check_eq "new project: title height" "36" "$(ui_text 1226)"
check_eq "new project: colour" "Einfarbig Teal" "$(ui_text 1235)"
check_eq "new project: logo position" "Unten Links" "$(ui_text 1233)"
check "new project: the logo position waits for a logo" ui_disabled 1233
check "new project: nothing on disk" test ! -e "$WT_DIR/sample/neu.tbw"
check "new project: save is enabled" ui_enabled 1002

# --- Open a project by name: Enter in the project name field.
ui_settext 1104 "$(wine_winpath "$sample")"
wine_key Return
check "the Projekt page stays in front" ui_visible 1104
# Tab to the output name, Enter there: the Installation page.
wine_key Tab Tab Return
check "the Installation page is shown" wine_wait_for 20 ui_visible 1201
check_eq "caption names the project" "$title - [sample.tbw]" "$(ui_windows | grep -m1 'TAppForm' | cut -f3)"
check_eq "application name loaded" "Notizblock" "$(ui_text 1201)"
check_eq "version major" "1" "$(ui_text 1202)"
check_eq "version minor" "20" "$(ui_text 1203)"
check "save is enabled" ui_enabled 1002
ui_windows >"$WT_DIR/windows-open.txt"
ui_screenshot installation.png

# Ctrl+S is the save command.
wine_key ctrl+s
check "Ctrl+S opens the save dialog" ui_wait 1148 20
ui_click 2 --title "Projekt speichern unter"

# --- The Installation page edits the document.
ui_settext 1201 "Bürozubehör"
ui_settext 1202 "2"
ui_settext 1203 "5"
ui_settext 1204 "Müller & Söhne"
ui_settext 1206 "<ProgramFilesDir>\\Büro"
ui_settext 1207 "Büro Ordner"
ui_settext 1208 "[Programmdateien]\\notiz.exe"
ui_settext 1210 "[Programmdateien]\\lies.txt"
ui_uncheck 1212
ui_check 1236
ui_check 1237
ui_check 1228
ui_settext 1223 "Größter Titel"
ui_settext 1226 "7"
ui_select 1235 3

# Title mode: "Bitmap" shows the browse button, hides the height, swaps the texts.
ui_check 1222
check_eq "bitmap mode shows the alternate text" "" "$(ui_text 1223)"
check "bitmap mode shows the browse button" ui_visible 1224
check "bitmap mode hides the height" ui_hidden 1226
check "animation is enabled for a bitmap" ui_enabled 1230
ui_settext 1223 "titel.bmp"
ui_check 1221
check_eq "text mode restores the title text" "Größter Titel" "$(ui_text 1223)"
check "text mode disables the animation" ui_disabled 1230

# Save: the proposed name is the project; overwriting asks first.
ui_click 1002
ui_wait 1 20 >/dev/null
ui_windows >"$WT_DIR/windows-save.txt"
ui_click 1 --title "Projekt speichern unter"
ui_box 20 >"$WT_DIR/overwrite.txt"
ui_answer 6
check "the backup holds the previous file" wine_wait_for 20 cmp -s "$WT_DIR/sample/sample.~tb" "$TW_SOURCE_DIR/examples/sample/sample.tbw"
check_eq "height 7 became 36 on saving" "36" "$(ui_text 1226)"
dump "$sample" >"$WT_DIR/saved.json"
check_eq "saved application name" "Bürozubehör" "$(field "$WT_DIR/saved.json" applicationName)"
check_eq "saved version" "2 5" "$(field "$WT_DIR/saved.json" versionMajor) $(field "$WT_DIR/saved.json" versionMinor)"
check_eq "saved company" "Müller & Söhne" "$(field "$WT_DIR/saved.json" company)"
check_eq "saved target" '<ProgramFilesDir>\Büro' "$(field "$WT_DIR/saved.json" targetDirectory)"
check_eq "saved folder" "Büro Ordner" "$(field "$WT_DIR/saved.json" startMenuFolder)"
check_eq "saved program" '[Programmdateien]\notiz.exe' "$(field "$WT_DIR/saved.json" programFile)"
check_eq "saved read-me" '[Programmdateien]\lies.txt' "$(field "$WT_DIR/saved.json" readMeFile)"
check_eq "saved long names" "False" "$(field "$WT_DIR/saved.json" longFileNamesRequired)"
check_eq "saved full screen" "True" "$(field "$WT_DIR/saved.json" fullScreen)"
check_eq "saved sizeable" "True" "$(field "$WT_DIR/saved.json" sizeableWindow)"
check_eq "saved alignment" "centred" "$(field "$WT_DIR/saved.json" titleAlignment)"
check_eq "saved title" "Größter Titel" "$(field "$WT_DIR/saved.json" title)"
check_eq "saved alternate" "titel.bmp" "$(field "$WT_DIR/saved.json" titleAlternate)"
check_eq "saved height" "36" "$(field "$WT_DIR/saved.json" titleHeight)"
check_eq "saved colour" "3" "$(field "$WT_DIR/saved.json" colourScheme)"

# 65 becomes 36 as well; 8 stays.
ui_settext 1226 "65"
ui_click 1002; ui_wait 1 20 >/dev/null; ui_click 1 --title "Projekt speichern unter"; ui_box 20 >/dev/null; ui_answer 6
check_eq "height 65 became 36" "36" "$(ui_text 1226)"
ui_settext 1226 "8"
ui_click 1002; ui_wait 1 20 >/dev/null; ui_click 1 --title "Projekt speichern unter"; ui_box 20 >/dev/null; ui_answer 6
check_eq "height 8 stays" "8" "$(ui_text 1226)"
check_eq "8 is saved" "8" "$(dump "$sample" | python3 -c 'import json,sys; print(json.load(sys.stdin)["titleHeight"])')"

# --- Confirm-discard: Cancel keeps everything, OK goes on to the file dialog.
ui_settext 1201 "Ungespeichert"
ui_click 1001
ui_box 20 >"$WT_DIR/discard.txt"
check_eq "confirm-discard box" $'Datei öffnen\nAlle Änderungen in der aktuellen Sitzung gehen verloren!' "$(cat "$WT_DIR/discard.txt")"
ui_answer 2
check_eq "Cancel keeps the edit" "Ungespeichert" "$(ui_text 1201)"
ui_click 1001
ui_box 20 >/dev/null
ui_answer 1
check "OK opens the file dialog" ui_wait 1 20
ui_click 2 >/dev/null   # the dialog's Cancel: nothing opens
check_eq "cancelled dialog keeps the project" "Ungespeichert" "$(ui_text 1201)"
ui_settext 1201 "Notizblock"

# --- Preview pixels. Gradient Blau in the 293 x 129 box: the filled
# rectangle is 287 x 123; each row shows the band that covers it.
ui_select 1235 0
sleep 1
ui_screenshot gradient.png
read -r gx gy gw gh < <($pixels "$WT_SHOT" box 0 0 254 || echo "0 0 0 0")
check_eq "gradient rectangle is 287 wide" 287 "$gw"
$pixels "$WT_SHOT" column $((gx + 20)) "$gy" $((gy + 123)) >"$WT_DIR/column.txt"
python3 - "$WT_DIR/column.txt" >"$WT_DIR/expected-column.txt" <<'PY'
def muldiv(a, b, c):
    p = a * b
    q = (abs(p) + abs(c) // 2) // abs(c)
    return -q if (p < 0) != (c < 0) else q
rows = {}
for i in range(256):
    for y in range(muldiv(i, 123, 256), muldiv(i + 1, 123, 256)):
        rows[y] = (0, 0, 255 + muldiv(i, 64 - 255, 255))
for y in range(123):
    print(*rows[y])
PY
check "every row of the gradient has its band's colour" cmp -s "$WT_DIR/column.txt" "$WT_DIR/expected-column.txt"
check_eq "the bottom row is the darkest band" "0 0 65" "$(tail -1 "$WT_DIR/column.txt")"
check_eq "below the rectangle is the edge" "no" "$($pixels "$WT_SHOT" at $((gx + 20)) $((gy + 123)) | grep -q '^0 0 ' && echo yes || echo no)"

# Teal, and a 96 x 96 logo drawn at 43 x 43 in the bottom right corner,
# its top-left colour transparent; a relative name is found beside the project.
python3 "$here/make_bitmap.py" "$WT_DIR/sample/logo.bmp" 96 96 255 0 0 255 0 255
ui_select 1235 10
ui_settext 1231 "logo.bmp"
check "the logo position is enabled with a logo" ui_enabled 1233
ui_select 1233 3
sleep 1
ui_screenshot teal.png
read -r tx ty tw th < <($pixels "$WT_SHOT" box 0 128 128 || echo "0 0 0 0")
check_eq "teal fills the rectangle" "$gx $gy 287 123" "$tx $ty $tw $th"
read -r lx ly lw lh < <($pixels "$WT_SHOT" box 255 0 0 || echo "0 0 0 0")
check_eq "logo scaled to 43 x 43" "43 43" "$lw $lh"
check_eq "logo at 293 - 4 - 43 from the box's left" $((gx - 3 + 293 - 4 - 43)) "$lx"
check_eq "logo at 129 - 4 - 43 from the box's top" $((gy - 3 + 129 - 4 - 43)) "$ly"
check "the logo's top-left colour is transparent" bash -c "! $pixels '$WT_SHOT' box 255 0 255 >/dev/null 2>&1"

# The title as a bitmap, right-aligned: placement code 2, top right.
ui_check 1222
ui_settext 1223 "logo.bmp"
ui_settext 1231 ""
ui_check 1229
sleep 1
ui_screenshot title-bitmap.png
read -r bx by bw bh < <($pixels "$WT_SHOT" box 255 0 0 || echo "0 0 0 0")
check_eq "title bitmap at the top right" "$((gx - 3 + 293 - 4 - 43)) $((gy - 3 + 4)) 43 43" "$bx $by $bw $bh"
ui_check 1221
ui_settext 1231 "logo.bmp"

# --- The create button: validation boxes, then a build on the worker.
ui_settext 1201 ""
ui_click 1003
ui_box 20 >"$WT_DIR/box-name.txt"
ui_answer 1
check_eq "name and version message" 'Die Felder "Name der Anwendung" und "Version" müssen ausgefüllt sein!' "$(tail -n +2 "$WT_DIR/box-name.txt")"
ui_settext 1201 "Notizblock"
ui_settext 1204 ""
ui_click 1003
ui_box 20 >"$WT_DIR/box-company.txt"
ui_answer 1
check "company message" grep -q 'Das Feld "Firmenname" muß ausgefüllt sein' "$WT_DIR/box-company.txt"
ui_settext 1204 "Beispiel Software GmbH"
ui_click 1003
ui_wait 1 20 >/dev/null
check_eq "the create dialog's button" "&Erzeugen" "$(ui_text 1 --title 'Installationsprogram erzeugen')"
ui_screenshot create-dialog.png
ui_click 1 --title "Installationsprogram erzeugen"
ui_box 180 >"$WT_DIR/box-built.txt"
check "the build reports success" grep -q 'Installationsanwendung erfolgreich erzeugt' "$WT_DIR/box-built.txt"
check "open is disabled while the worker runs" ui_disabled 1001
check "create is disabled while the worker runs" ui_disabled 1003
check "the pages are disabled while the worker runs" ui_disabled 1000
check_eq "progress reached 100 %" "100%" "$(ui_text 1007)"
ui_answer 1
check "controls come back after the build" wine_wait_for 30 ui_enabled 1003
check_eq "progress is reset" "0%" "$(ui_text 1007)"
check_file "the package is written" "$WT_DIR/sample/Notizblock25.exe"

# --- Closing remembers the project; a new start opens it on the Installation page.
ui_click 1002; ui_wait 1 20 >/dev/null; ui_click 1 --title "Projekt speichern unter"; ui_box 20 >/dev/null; ui_answer 6
close_window
check_eq "LastProject written on close" "$(wine_winpath "$sample")" \
  "$(wine_reg_query "$settings" LastProject | awk -F'REG_SZ' 'NF > 1 {sub(/^ +/, "", $2); print $2}')"
wine_start "$tamblix"
check "last project opens on the Installation page" wine_wait_for 30 ui_visible 1201
check_eq "last project in the caption" "$title - [sample.tbw]" "$(ui_windows | grep -m1 'TAppForm' | cut -f3)"
check_eq "the window's place is kept" "40,20" "$(place)"
ui_screenshot last-project.png
# The company from the registry; the height field takes digits only.
wine reg add 'HKCU\Software\Microsoft\MS Setup (ACME)\User Info' /v DefCompany /d 'Firma Äpfel' /f >/dev/null 2>&1
ui_click 1205
check_eq "company from the registry" "Firma Äpfel" "$(ui_text 1204)"
ui_settext 1226 "4a2" >/dev/null 2>&1
check_eq "the height keeps its digits" "42" "$(ui_text 1226)"
# Closing with changes asks first; Cancel keeps the window open.
wine_run 30 taskkill /im Tamblix.exe >/dev/null 2>&1
ui_box 20 >"$WT_DIR/close-box.txt"
check "closing with changes asks" grep -q 'Alle Änderungen in der aktuellen Sitzung gehen verloren!' "$WT_DIR/close-box.txt"
ui_answer 2
check "Cancel keeps the window" ui_wait 1201 5
wine_run 30 taskkill /im Tamblix.exe >/dev/null 2>&1
ui_box 20 >/dev/null
ui_answer 1
wine_wait_pid 30

# A colour index outside the list paints teal and shows no entry.
python3 - "$sample" "$WT_DIR/sample/colour11.tbw" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
at = data.find(b'\t\t\x02\x0a')  # full screen, sizeable, colour scheme 10
assert at > 0
open(sys.argv[2], 'wb').write(data[:at + 3] + b'\x0b' + data[at + 4:])
PY
wine reg add "$settings" /v WindowPlace /d '200,100' /f >/dev/null 2>&1
wine_start "$tamblix" "$(wine_winpath "$WT_DIR/sample/colour11.tbw")"
check "a project on the command line opens" wine_wait_for 30 ui_visible 1201
check_eq "no colour entry for index 11" "" "$(ui_text 1235)"
sleep 1
ui_screenshot colour11.png
read -r cx cy cw ch < <($pixels "$WT_SHOT" box 0 128 128 || echo "0 0 0 0")
check_eq "index 11 paints teal over the rectangle" "287 123" "$cw $ch"
close_window
check_eq "a kept place is used and kept" "200,100" "$(place)"

# --- A last project that no longer exists is dropped.
wine reg add "$settings" /v LastProject /d 'C:\gibtesnicht\weg.tbw' /f >/dev/null 2>&1
wine_start "$tamblix"
check "the window comes up without it" ui_wait 1104 30
check_eq "no project in the caption" "$title" "$(ui_windows | grep -m1 'TAppForm' | cut -f3)"
check "save stays disabled" ui_disabled 1002
close_window

# At 120 DPI the layout follows the larger dialog font; the screenshot is looked at.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wine_start "$tamblix" "$(wine_winpath "$sample")"
check "the window comes up at 120 DPI" wine_wait_for 30 ui_visible 1201
sleep 1
ui_screenshot dpi120-installation.png
close_window
read -r px py < <(place | tr ',' ' ')
check "the larger window is moved to fit the screen" test "$py" -lt 100

wine_test_finish
