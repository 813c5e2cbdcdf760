#!/usr/bin/env bash
# Checks german.dll and english.dll under Wine: every template, control id, string and picture, and screenshots of every page.
source "$TW_HARNESS"
wine_test_begin language_modules
viewer=${TW_PAGE_VIEWER:?TW_PAGE_VIEWER is not set}
shots=$TW_BINARY_DIR/language-screenshots
dialogs=(100 101 102 150 200 201 202 203 204 205 206 207 208 209 210 211 212 213 214 215)
# Pages with the side picture on the left.
side_pages=" 201 202 203 204 205 206 207 208 209 210 212 213 214 "

# The exact texts the system quotes, as the viewer dumps them ("|" for a line break).
german_texts=(
  "text 100 1=Setup ab&brechen"
  "text 100 2=&Fortsetzen"
  "text 101 100=Diese Meldung künftig nicht mehr anzeigen."
  "text 201 12=< &Zurück"
  "text 201 1=&Weiter >"
  "text 201 2=Abbrechen"
  "text 207 20=&Details"
  "text 207 13=Ok"
  "text 207 65535=Benötigt"
  "text 207 65535=Verfügbar"
  "text 208 30=&Programmordner:"
  "text 208 31=&Name der Verknüpfung:"
  "title 209=Kopiervorgang starten"
  "title 150= Setup"
  "text 150 701=Tamblewright© bereitet die Installation von|%1 vor. Einen Moment bitte..."
  "title 215=%1 deinstallieren"
  "text 215 700=Tamblewright deinstalliert jetzt die Software „%1“. Dazu werden die folgenden Komponenten von Ihrem System entfernt..."
  "text 215 711=Programmdateien..."
  "text 215 712=Systemdateien..."
  "text 215 713=Programmregistrierungseinträge..."
  "text 215 714=Systemregistrierungseinträge..."
  "text 215 701=Das Programm wurde erfolgreich deinstalliert."
  "text 215 702=Nicht alle Komponenten konnten vollständig entfernt werden. Überprüfen Sie bitte das Installationsverzeichnis!"
  "text 215 1=&Ok"
  "string 512=Benutzerdaten"
  "string 514=Setuptyp"
  "string 515=Zielordner"
  "string 516=Ordnername im Startmenü"
  "string 517=Verknüpfung im Startmenü"
  "string 518=%u von %u Komponenten ausgewählt."
  "string 520=Wählen Sie einen Ordner aus der Liste aus"
  "string 521=Die Read-Me-Datei kann jetzt angesehen werden. Wählen Sie dazu unten die gewünschte Option."
  "string 524=Datei entpacken und kopieren : "
  "string 525=Registrierungsdaten einrichten..."
  "string 526=Desktop-Verknüpfung"
  "string 1024=Setup kann das Verzeichnis \"%s\" nicht anlegen, da eine Datei mit demselben Namen existiert!\\nNennen Sie die Datei um, löschen Sie sie oder verschieben Sie die date in einen anderen Ordner."
  "string 1026=Das angegebene Verzeichnis kann nicht erstellt werden\\n\"%s\"\\nEntweder besteht Schreibschutz oder der eingegebene Name\\nist nicht vollständig bzw. enthält ungültige Zeichen!"
  "string 1028=Zum Kopieren der Dateien auf das angegebene Laufwerk ist nicht genügend Speicherplatz vorhanden!\\nSorgen Sie für mehr Platz auf dem Installationslaufwerk!"
  "string 1029=Das Setup - Programm ist beschädigt. Starten Sie die Installation von Ihrer Sicherheitskopie!  "
  "string 1033=Es wurde eine bestehende Installation von %s auf Ihrem Computer gefunden!\\nEs ist empfehlenswert diese bestehende Installation vor einer Neuinstallation zu deinstallieren!\\n\\nWollen Sie das Setup jetzt beenden?"
  "string 1040=Tamblewright kann die Installationsumgebung nicht initialisieren! Der Systemordner\\n\"%s\"\\nmuß vor Installationsbeginn Rechte zum Erstellen von Unterverzeichnissen besitzen!\\nBitte melden Sie sich als Administrator an oder ändern Sie die Ordnereinstellungen!"
  "string 1041=Tamblewright kann die Installationsumgebung nicht initialisieren! Der Systemordner\\n\"%s\"\\nmuß vor Installationsbeginn Rechte zum Schreiben von Dateien besitzen!\\nBitte melden Sie sich als Administrator an oder ändern Sie die Ordnereinstellungen!"
  "string 10000=Deutsch"
)
english_texts=(
  "text 201 12=< &Back"
  "text 201 1=&Next >"
  "text 201 2=Cancel"
  "title 150= Setup"
  "text 150 701=Tamblewright© is preparing the installation of|%1. Please wait..."
  "title 215=Uninstall %1"
  "string 518=%u of %u components selected."
  "string 524=Extracting and copying file : "
  "string 10000=English"
)

# Pixels of the side picture's blue in a picture (fuzzy: it is dithered to 256 colours).
side_blue_pixels() {
  convert "$1" -alpha off -fuzz 12% -fill white -opaque 'rgb(20,48,104)' -fill black +opaque white \
    -negate -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null || echo 0
}

for entry in german:Deutsch english:English; do
  lang=${entry%%:*}
  dll=$TW_DIST/language/$lang.dll
  check_file "$lang.dll is in the language folder" "$dll" || continue
  wdll=$(wine_winpath "$dll")
  out=$WT_DIR/$lang-check.txt
  wine_run 180 "$viewer" check "$wdll" "${entry#*:}" "$(wine_winpath "$out")"
  check_eq "$lang: the viewer finds every id and no layout fault" 0 "$WT_RC"
  grep '^FAIL' "$out" | head -40
  check "$lang: the viewer checked all 20 templates" test "$(grep -c '^PASS dialog [0-9]* created' "$out")" = 20
  if [ "$lang" = german ]; then
    texts=("${german_texts[@]}")
  else
    texts=("${english_texts[@]}")
  fi
  for t in "${texts[@]}"; do
    check "$lang: ${t%%=*} reads exactly as required" grep -qxF -- "$t" "$out"
  done

  mkdir -p "$shots/$lang"
  for id in "${dialogs[@]}"; do
    ready=$WT_DIR/$lang-$id.txt
    rm -f "$ready"
    wine_start "$viewer" show "$wdll" "$id" "$(wine_winpath "$ready")" 120
    if ! check "$lang: page $id comes up" wine_wait_for 60 grep -q '^ready' "$ready"; then
      kill "$WT_PID" 2>/dev/null
      wine_wait_pid 10
      continue
    fi
    sleep 1
    read -r _ left top right bottom < <(grep '^ready' "$ready" | tr -d '\r')
    if wine_screenshot "$lang-$id-screen.png"; then
      shot=$shots/$lang/dialog-$id.png
      convert "$WT_SHOT" -crop "$((right - left + 16))x$((bottom - top + 16))+$((left - 8))+$((top - 8))" +repage "$shot"
      check_file "$lang: screenshot of page $id" "$shot"
      if [[ $side_pages == *" $id "* ]]; then
        check "$lang: page $id shows the side picture" test "$(side_blue_pixels "$shot")" -ge 2000
      fi
    else
      check "$lang: screenshot of page $id" false
    fi
    wine_run 30 taskkill /im page_viewer.exe
    wine_wait_pid 30
    check_eq "$lang: page $id closes cleanly" 0 "$WT_RC"
  done
done

echo "screenshots: $shots"
wine_test_finish
