#!/usr/bin/env bash
# The builder's Dialoge page: every entry shows its template in the preview
# and its settings panel, Weiter and Zurück walk the ticked entries, the
# progress preview moves on by itself, an empty application name reads
# "AppName", two installation types are spread over the rows of four, two
# modules with one language name are both listed, and a module is loaded
# only when another entry is chosen. The same project is then built and its
# pages are shown by Setup; each previewed page is kept beside Setup's.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin builder_dialogs

cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
# A second module with the same language name.
cp "$WT_DIR/builder/language/german.dll" "$WT_DIR/builder/language/zweites.dll"
convert -size 300x180 gradient:'#204080-#a0c0e0' -gravity center -pointsize 28 -fill white \
  -annotate 0 'Willkommen' -type truecolor BMP3:"$WT_DIR/sample/willkommen.bmp"
# The user information that the preview and Setup both offer.
user_info='HKCU\Software\Microsoft\MS Setup (ACME)\User Info'
wine_run 30 reg add "$user_info" /v DefName /d "Erika Muster" /f >/dev/null 2>&1
wine_run 30 reg add "$user_info" /v DefCompany /d "Muster AG" /f >/dev/null 2>&1
project=$WT_DIR/sample/zwei.tbw
check "the two-type project is made" wine_run 60 "$TW_DIALOGS_PROJECTS" \
  "$(wine_winpath "$WT_DIR/sample/sample.tbw")" "$(wine_winpath "$project")"
tamblix="$WT_DIR/builder/Tamblix.exe"
shots=$WT_DIR/pages
mkdir -p "$shots"

# The window holding control ID (the preview, a Setup page), cut from a screenshot.
shoot_window() {  # shoot_window ID FILE
  local where
  where=$(ui_rect "$1" | tr -d '\r' | sed -n 2p)
  [ -n "$where" ] || return 1
  ui_screenshot "$WT_DIR/screen.png" || return 1
  set -- $where "$2"
  convert "$WT_DIR/screen.png" -crop "${3}x${4}+${1}+${2}" +repage "$5"
}
# The custom-setup dialog: "Hilfe" holds "Beispiele" (not selected), one
# level down with "Details" and up again with "Ok".
details() {
  check_eq "$1: the children of the first entry" "0 von 1 Komponenten ausgewählt." "$(ui_text 720)"
  ui_click 20
  check "$1: Details enters the component" ui_wait 13 10
  check "$1: the caption names it" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_windows | grep -q 'Komponenten auswählen (Hilfe)'"
  check_eq "$1: its children are listed" "Beispiele" "$(ui_items 401 | tr -d '\r' | cut -d% -f1)"
  check "$1: Weiter is hidden inside" ui_hidden 1
  ui_click 13
  check "$1: Ok goes back up" wine_wait_for 10 ui_visible 1
  check "$1: the caption without the component" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ! ui_windows | grep -q '(Hilfe)'"
}
top_of() { ui_rect "$1" | tr -d '\r' | sed -n 1p | cut -d' ' -f2; }

wine_start "$tamblix" "$(wine_winpath "$project")"
check "the window comes up with the project" ui_wait 1104 30
# The tabs follow the arrow keys: Projekt, Installation, Komponenten, Dialoge.
ui_key 1000 39
ui_key 1000 39
ui_key 1000 39
check "the Dialoge page is shown" wine_wait_for 20 ui_visible 1601
expected_entries="Willkommen Bitmap
Willkommen Meldung
Lizenzvereinbarungen
Informationstext
Benutzerinformation
Zielposition wählen
Setup Typ
Benutzerdefiniertes Setup
Programmordner wählen
Installationsstart bestätigen
Fortschrittsanzeiger
Reklameanzeigen
Computer starten
Programm ausführen"
check_eq "the dialog sequence" "$expected_entries" "$(ui_items 1601 | tr -d '\r')"
check_eq "both modules named Deutsch are listed, sorted" "Deutsch
Deutsch
English" "$(ui_items 1603 | tr -d '\r')"
check_eq "the project's language is chosen" "Deutsch" "$(ui_text 1603)"
check_eq "the extension DLL" "ZETUSUM.DLL" "$(ui_text 1605)"

# --- Each entry: its template in the preview and its panel.
# index:dialog:a control of that dialog:the panel's control (- for none)
entries="0:200:1200:1621 1:201:710:- 2:202:25:1623 3:203:301:1625 4:204:302:1627 5:205:196:-
  6:206:501:- 7:207:401:1628 8:208:30:- 9:209:301:- 11:211:1200:1630 12:212:512:1632 13:213:521:- 10:210:1500:-"
panels="1621 1623 1625 1627 1628 1630 1632"
for e in $entries; do
  IFS=: read -r index dialog marker panel <<<"$e"
  ui_select 1601 "$index"
  check "entry $index shows dialog $dialog" ui_wait "$marker" 10
  for p in $panels; do
    if [ "$p" = "$panel" ]; then check "entry $index shows its panel" ui_visible "$p"
    else check "entry $index hides panel $p" ui_hidden "$p"; fi
  done
  [ "$dialog" = 210 ] || shoot_window 1 "$shots/preview-$dialog.png"
  case $dialog in
    201) check_eq "the welcome text names the application" "Willkommen zum Setup von Notizblock." \
           "$(ui_text 710 | head -n1 | tr -d '\r')" ;;
    203) check "the info text file is shown" bash -c "[ -n \"\$(source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 301)\" ]" ;;
    205) check_eq "the target folder" '<ProgramFilesDir>\Beispiel Software' "$(ui_text 715)" ;;
    206)
      check_eq "the first type keeps its shortcut" "&Normal" "$(ui_text 501)"
      check_eq "the custom type is named with a shortcut" "&Benutzer" "$(ui_text 503)"
      check "no minimal type" ui_hidden 502
      check "no network type" ui_hidden 504
      check_eq "the default type is chosen" "checked" "$(ui_state 503 | cut -d' ' -f1)"
      # Two rows at the fifths 1 and 4 of the span of four rows: the
      # second row a fifth above the fourth (hidden, in its place), three
      # fifths below the first.
      first=$(top_of 501); second=$(top_of 503); fourth=$(top_of 504)
      preview_rows="$first $second $fourth"
      off=$(((second - first) - 3 * (fourth - second)))
      check "two types are spread over the area of four ($first $second $fourth)" test $off -ge -3 -a $off -le 3
      ;;
    207)
      check "the needed space is in MB" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 716 | grep -q ' MB'"
      details 'the preview'
      ;;
    209) check "the summary names the setup type" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 301 | grep -q 'Name des Setup-Typs'" ;;
    210)
      # Entry 11 is the last ticked before 14: the progress moves on there.
      check "the progress preview moves on after two seconds, to the next ticked entry" ui_wait 521 10
      ;;
    204) check_eq "the user's name from the registry" "Erika Muster" "$(ui_text 301)" ;;
    212) check_eq "the reboot panel: when necessary" "checked" "$(ui_state 1633 | cut -d' ' -f1)" ;;
  esac
done

# --- Weiter and Zurück walk the ticked entries. Untick 11 and 14 (space
# bar on the selected entry): 10 is then the last ticked one.
ui_select 1601 13
ui_key 1601 32
ui_select 1601 10
ui_key 1601 32
ui_select 1601 9
check "the summary preview" ui_wait 301 10
ui_click 12
check "Zurück goes to the ticked entry before" ui_wait 30 10
ui_click 1
check "Weiter goes to the ticked entry after" ui_wait 301 10
ui_click 1
check "Weiter on the last ticked entry selects the next, unticked" ui_wait 1500 10
# From there nothing ticked follows: the progress preview takes the entry after it.
check "the progress preview then takes the entry after it" ui_absent 1500 10
check "that is the advertisement dialog" ui_visible 1630
ui_select 1601 13
check "the last entry" ui_wait 521 10
ui_click 1
check "Weiter on the last entry leaves it shown" ui_visible 521

# --- The cancel buttons ask with the language module's dialog.
ui_select 1601 1
check "the welcome preview" ui_wait 710 10
ui_click 2
check "the cancel question of the preview" ui_wait 710 10 --title Setup
check "it names the application" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 710 --title Setup | grep -q 'wird Notizblock nicht installiert'"
shoot_window 710 "$shots/preview-100.png"
ui_click 2 --title Setup
check "the question closes" ui_absent 710 10 --title Setup

# --- An empty application name reads "AppName".
ui_key 1000 37
ui_key 1000 37
check "the Installation page" wine_wait_for 20 ui_visible 1201
ui_settext 1201 ""
ui_key 1000 39
ui_key 1000 39
check "back on the Dialoge page" wine_wait_for 20 ui_visible 1601
ui_select 1601 1
check "the welcome preview" ui_wait 710 10
check_eq "an empty name shows AppName" "Willkommen zum Setup von AppName." "$(ui_text 710 | head -n1 | tr -d '\r')"

# --- Language modules: English, then back to a German one; with both German
# files gone, the entry chosen already is not loaded again, another one is.
ui_select 1603 2
check_eq "the English preview" "&Next >" "$(ui_text 1)"
ui_select 1603 0
check_eq "the German preview again" "&Weiter >" "$(ui_text 1)"
rm -f "$WT_DIR/builder/language/german.dll" "$WT_DIR/builder/language/zweites.dll"
ui_select 1603 0
check "the same entry again is not loaded again" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ! ui_box 3"
check_eq "the preview stays" "&Weiter >" "$(ui_text 1)"
ui_select 1603 1
check_eq "a module that cannot be loaded" "Ungültiger Sprachmoduleintrag!" "$(ui_box 10 | tr -d '\r' | tail -n1)"
ui_answer 1
check_eq "the list is left without a choice" "" "$(ui_text 1603)"
check "the preview is gone" ui_absent 1 5

wine_run 30 taskkill /im Tamblix.exe >/dev/null 2>&1
ui_box 10 >/dev/null && ui_answer 1
wine_wait_pid 30

# --- The same project in Setup.
package=$WT_DIR/zwei.exe
cp "$TW_DIST/language/german.dll" "$WT_DIR/builder/language/german.dll"
check "the package is built" wine_run 300 "$tamblix" /build "$(wine_winpath "$project")" /out "$(wine_winpath "$package")"
wine_start "$package"
check "Setup: welcome picture" ui_wait 1200 120
shoot_window 1 "$shots/setup-200.png"
ui_click 1
check "Setup: welcome" ui_wait 710 20
shoot_window 1 "$shots/setup-201.png"
ui_click 1
check "Setup: licence" ui_wait 25 20
shoot_window 1 "$shots/setup-202.png"
ui_check 25
ui_click 1
check "Setup: info text" ui_wait 301 20
shoot_window 1 "$shots/setup-203.png"
ui_click 1
check "Setup: user information" ui_wait 302 20
ui_settext 301 "Erika Muster"
ui_settext 302 "Muster AG"
shoot_window 1 "$shots/setup-204.png"
ui_click 1
check "Setup: destination" ui_wait 715 20
check_eq "Setup: the default folder" 'C:\Program Files\Beispiel Software' "$(ui_text 715)"
shoot_window 1 "$shots/setup-205.png"
ui_click 1
check "Setup: setup type" ui_wait 501 20
shoot_window 1 "$shots/setup-206.png"
check_eq "Setup: the first type keeps its shortcut" "&Normal" "$(ui_text 501)"
check_eq "Setup: the custom type keeps a shortcut" "&Benutzer" "$(ui_text 503)"
setup_rows="$(top_of 501) $(top_of 503) $(top_of 504)"
check_eq "the preview places the type rows as Setup does" "$(set -- $setup_rows; echo $(($2 - $1)) $(($3 - $1)))" \
  "$(set -- $preview_rows; echo $(($2 - $1)) $(($3 - $1)))"
ui_click 1
check "Setup: custom setup" ui_wait 401 20
shoot_window 1 "$shots/setup-207.png"
details 'Setup'
ui_click 1
check "Setup: program folder" ui_wait 30 20
shoot_window 1 "$shots/setup-208.png"
ui_click 1
check "Setup: summary" ui_wait 301 20
shoot_window 1 "$shots/setup-209.png"
# The cancel question: Return goes on, as the focus is on the default button.
ui_click 2
check "Setup: the cancel question" ui_wait 710 10 --title Setup
shoot_window 710 "$shots/setup-100.png"
wine_key Return
check "Return in the cancel question goes on" ui_absent 710 10 --title Setup
check "Setup stays on the summary" ui_visible 301
ui_click 1
check "Setup: finish" ui_wait 521 120
shoot_window 1 "$shots/setup-213.png"
ui_click 1
wine_wait_pid 60

# The pairs side by side: preview left, Setup right.
for s in "$shots"/setup-*.png; do
  id=${s##*/setup-}; id=${id%.png}
  [ -f "$shots/preview-$id.png" ] || continue
  convert "$shots/preview-$id.png" "$s" -background white -splice 10x0 +append "$shots/pair-$id.png"
done
check "pictures of the pages side by side" ls "$shots"/pair-206.png
wine_test_finish
