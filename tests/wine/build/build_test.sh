#!/usr/bin/env bash
# The command-line build: the sample project becomes a package whose layout,
# cabinets and profile are checked; the validation messages come on stderr
# with exit code 1; no temporary file stays behind.
set -u
source "$TW_HARNESS"
wine_test_begin builder_command_line_build
here=$(dirname "$0")
inspect="python3 $here/inspect_package.py"

# A builder folder of its own, as an installation would have it.
cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
builder=$WT_DIR/builder
project=$(wine_winpath "$WT_DIR/sample/sample.tbw")
package_dir=$WT_DIR/out
package=$package_dir/Notizblock.exe

build() {  # build PROJECT_WINPATH OUT_WINPATH: sets WT_RC, out.txt, err.txt (UTF-8)
  (cd "$WT_DIR" && timeout 120 wine "$builder/Tamblix.exe" /build "$1" /out "$2" >raw-out.txt 2>raw-err.txt)
  WT_RC=$?
  iconv -f cp1252 -t utf-8 "$WT_DIR/raw-out.txt" >"$WT_DIR/out.txt"
  iconv -f cp1252 -t utf-8 "$WT_DIR/raw-err.txt" | tr -d '\r' >"$WT_DIR/err.txt"
}

# cabinet_files PACKAGE N NAME: extracts item N to $WT_DIR/NAME.cab and
# lists the names in it, one per line, into $WT_DIR/NAME.files.
cabinet_files() {
  $inspect extract "$1" "$2" "$WT_DIR/$3.cab"
  cabextract -l "$WT_DIR/$3.cab" 2>/dev/null | awk -F'|' 'NF == 3 {gsub(/ /, "", $3); print $3}' \
    | grep -v '^Name$' >"$WT_DIR/$3.files"
}

build "$project" "$(wine_winpath "$package_dir")\\Notizblock.exe"
check_eq "sample builds" 0 "$WT_RC"
check "progress starts with the file check" grep -q '^Überprüfe Dateien 0%' "$WT_DIR/out.txt"
check "progress names the profile step" grep -q '^Erzeuge Installationsprofil 3%' "$WT_DIR/out.txt"
check "progress names the runtime files" grep -q '^Komprimiere: Applikationsdateien' "$WT_DIR/out.txt"
check "progress reaches 100 %" grep -q ' 100%' "$WT_DIR/out.txt"
check "success message on stderr" grep -q '^Installationsanwendung erfolgreich erzeugt:' "$WT_DIR/err.txt"
check "no other message" test "$(grep -c . "$WT_DIR/err.txt")" -eq 2
check_file "package written" "$package"

# Layout: dispatcher, CABINET.DLL, CABXPD32.DLL, runtime cabinet, then one
# cabinet per compressed component with files (Programmdateien, Hilfe,
# Beispiele): six items, a 72-byte table and the count 6.
$inspect items "$package" >"$WT_DIR/items.txt"
check "six items" grep -q 'count 6$' "$WT_DIR/items.txt"
size=$(stat -c %s "$package")
table=$(awk '/^table/ {print $2}' "$WT_DIR/items.txt")
check_eq "table of 72 bytes and the count" $((size - 76)) "$table"
$inspect extract "$package" 1 "$WT_DIR/item1"
$inspect extract "$package" 2 "$WT_DIR/item2"
check "item 1 is the cabinet library" cmp -s "$WT_DIR/item1" "$builder/CABINET.DLL"
check "item 2 is cabxpd32" cmp -s "$WT_DIR/item2" "$builder/CABXPD32.DLL"
for n in 3 4 5 6; do cabinet_files "$package" $n item$n; done
check_eq "runtime cabinet" "_SETUP.DLL _SETUP.EXE ZETURFD.EXE" "$(xargs <"$WT_DIR/item3.files")"
check_eq "first component cabinet" "notiz.txt liesmich.txt" "$(xargs <"$WT_DIR/item4.files")"
check_eq "second component cabinet" "hilfe.txt" "$(xargs <"$WT_DIR/item5.files")"
check_eq "third component cabinet" "beispiel.txt" "$(xargs <"$WT_DIR/item6.files")"
mkdir -p "$WT_DIR/runtime"
cabextract -q -d "$WT_DIR/runtime" "$WT_DIR/item3.cab"
check "cabinet holds the file itself" cmp -s "$WT_DIR/runtime/_SETUP.EXE" "$builder/ZETUSUM.EXE"

# The resource DLL carries the profile and the language module's resources.
$inspect resources "$WT_DIR/runtime/_SETUP.DLL" | awk '{print $1 "/" $2}' >"$WT_DIR/resources.txt"
for r in 6/1 100/1 100/2 100/3 100/4 101/1 101/2 101/3 101/4 102/1 110/1 5/100 5/101 5/202 5/210 2/100 2/101 2/102 2/104 14/2 16/1; do
  check "_SETUP.DLL has resource $r" grep -qx "$r" "$WT_DIR/resources.txt"
done
check "ticked progress page keeps id 210" bash -c "! grep -qx 5/220 \"$WT_DIR/resources.txt\""
check "the licence text is the project's" bash -c \
  "python3 $here/inspect_package.py resource '$WT_DIR/runtime/_SETUP.DLL' 110 1 '$WT_DIR/licence' && cmp -s '$WT_DIR/licence' '$WT_DIR/sample/files/lizenz.txt'"
$inspect resources "$package" | awk '{print $1 "/" $2}' >"$WT_DIR/dispatcher-resources.txt"
for r in 5/100 6/1 6/66 14/1 14/2 16/1; do
  check "package has dispatcher resource $r" grep -qx "$r" "$WT_DIR/dispatcher-resources.txt"
done
# The file checks (RCDATA 900) in the package and in the runtime's DLL: the
# size and SHA-256 of the builder's CABINET.DLL, CABXPD32.DLL, ZETURFD.EXE.
python3 "$TW_SOURCE_DIR/tests/wine/dispatcher/make_checks_res.py" "$WT_DIR/checks.res" \
  "$builder/CABINET.DLL" "$builder/CABXPD32.DLL" "$builder/ZETURFD.EXE"
python3 - "$WT_DIR/checks.res" "$WT_DIR/checks.expected" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(data[32 + 32:32 + 32 + 3 * 52])
PY
for f in "$package" "$WT_DIR/runtime/_SETUP.DLL"; do
  check "$(basename "$f") carries the file checks" bash -c \
    "python3 $here/inspect_package.py resource '$f' 10 900 '$WT_DIR/checks.got' && cmp -s '$WT_DIR/checks.got' '$WT_DIR/checks.expected'"
done

check "no _SETUP.DLL left in the builder folder" test ! -e "$builder/_SETUP.DLL"
check "no _SETUP.RES left in the builder folder" test ! -e "$builder/_SETUP.RES"
check "no _ZETUBDY.RES left beside the package" test ! -e "$package_dir/_ZETUBDY.RES"

# Building again replaces the package completely.
cp "$package" "$WT_DIR/first.exe"
build "$project" "$(wine_winpath "$package_dir")\\Notizblock.exe"
check_eq "second build" 0 "$WT_RC"
check_eq "same size again" "$(stat -c %s "$WT_DIR/first.exe")" "$(stat -c %s "$package")"

# The demo project: four compressed components with files give seven items
# and an 84-byte table; the uncompressed one has no cabinet; the file in mode
# "Hoehere Version" is named after its version 2.0.0.1.
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" "$(wine_winpath "$WT_DIR")\\demo.exe"
check_eq "demo builds" 0 "$WT_RC"
check "demo: only the success message" test "$(grep -c . "$WT_DIR/err.txt")" -eq 2
$inspect items "$WT_DIR/demo.exe" >"$WT_DIR/demo-items.txt"
check "demo: seven items" grep -q 'count 7$' "$WT_DIR/demo-items.txt"
demo_table=$(awk '/^table/ {print $2}' "$WT_DIR/demo-items.txt")
check_eq "demo: 84-byte table and the count" $(( $(stat -c %s "$WT_DIR/demo.exe") - 88 )) "$demo_table"
for n in 4 5 6 7; do cabinet_files "$WT_DIR/demo.exe" $n demo$n; done
check_eq "demo: program files" "notiz.txt liesmich.txt notizblock.ini schreibschutz.txt" "$(xargs <"$WT_DIR/demo4.files")"
check_eq "demo: version digits before the name" "0000000100020000werkzeug.dll" "$(xargs <"$WT_DIR/demo5.files")"
check_eq "demo: templates" "brief.vorlage liste.vorlage" "$(xargs <"$WT_DIR/demo6.files")"
check_eq "demo: shared files, after the uncompressed component" "gemeinsam.dll" "$(xargs <"$WT_DIR/demo7.files")"
$inspect extract "$WT_DIR/demo.exe" 3 "$WT_DIR/demo3.cab"
mkdir -p "$WT_DIR/demo-runtime"
cabextract -q -d "$WT_DIR/demo-runtime" "$WT_DIR/demo3.cab"
$inspect resources "$WT_DIR/demo-runtime/_SETUP.DLL" | awk '{print $1 "/" $2}' >"$WT_DIR/demo-resources.txt"
for r in 2/1 2/2 2/3 2/10 2/201 2/202 2/203 110/1 110/2 101/9 5/200 5/210 5/213 5/214 5/215; do
  check "demo _SETUP.DLL has resource $r" grep -qx "$r" "$WT_DIR/demo-resources.txt"
done
# The profile read back by the runtime's own reader.
wine_run 30 "$TW_PROFILE_PROBE" "$(wine_winpath "$WT_DIR/demo-runtime/_SETUP.DLL")" "$(wine_winpath "$WT_DIR")\\demo-profile.txt"
check_eq "profile reader runs" 0 "$WT_RC"
profile=$WT_DIR/demo-profile.txt
has() { grep -qxF "$1" "$profile"; }
starts() { P="$1" awk 'index($0, ENVIRON["P"]) == 1 { found = 1 } END { exit !found }' "$profile"; }
check "profile: application name" has 'string 0 Notizblock Pro'
check "profile: version" has 'string 1 2.5'
check "profile: layout word (logo 2 faded, title centred faded)" has 'string 7 \x82\x86'
check "profile: title bitmap" has 'string 9 #'
check "profile: maintenance entries" has 'string 13 #'
check "profile: custom type preselected with nested references" \
  has 'type 2 Benutzer preselected=1 nodes=10: 7/-1 2/0 0/1 0/2 0/3 0/4 0/5 0/6 0/7 0/8'
check "profile: network type" has 'type 3 Netzwerk preselected=0 nodes=3: 2/-1 0/5 0/6'
check "profile: read-only entry carries bit 5" has '  entry 1 flags=00000060 schreibschutz.txt'
check "profile: versioned entry keeps its plain name" has '  entry 1 flags=00000042 werkzeug.dll'
check "profile: shared DLL entry" has '  entry 1 flags=00000049 gemeinsam.dll'
check "profile: INI entry" has '  entry 1 flags=00000050 notizblock.ini'
check "profile: placeholder entry" has '  entry 1 flags=00000140 Setup.exe'
check "profile: uncompressed component" starts 'component 3 Rohdaten flags=00000010 '
check "profile: registry component of HKLM, not offered" starts 'component 5  flags=00030085 size=0 files=6 path=Software'
check "profile: binary value from hex pairs" has '  entry 1 flags=000000C3 Muster\x00\x00\xFF\x10\xA5'
check "profile: removal list component" starts 'component 8  flags=00070084 '
check "profile: shortcut mask" has 'shortcuts mask=1'
check "profile: shortcut with subfolder and icon" \
  has '  shortcut Extras\Werkzeug -> [Werkzeuge]\werkzeug.dll args=/werkzeug dir= icon=<InstallDir>\Werkzeuge\werkzeug.dll,0 paths=0'
check "profile: uninstall shortcut" starts '  shortcut Notizblock Pro entfernen -> [Programmdateien]\Setup.exe args=ZETUREMOVE'
check "demo: the series ends at the first missing picture" bash -c "! grep -qx 2/204 '$WT_DIR/demo-resources.txt'"

# Validation messages: exact texts on stderr, exit code 1, nothing written.
expect_stop() {  # expect_stop NAME PROJECT_FILE MESSAGE_LINE
  local out="$WT_DIR/stop-$1.exe"
  build "$(wine_winpath "$2")" "$(wine_winpath "$WT_DIR")\\stop-$1.exe"
  check_eq "$1: exit code" 1 "$WT_RC"
  check "$1: message" grep -qxF "$3" "$WT_DIR/err.txt"
  check "$1: no package" test ! -e "$out"
}
patch="python3 $here/patch_project.py"
$patch "$WT_DIR/sample/sample.tbw" "$WT_DIR/sample/noname.tbw" Notizblock ""
expect_stop noname "$WT_DIR/sample/noname.tbw" 'Die Felder "Name der Anwendung" und "Version" müssen ausgefüllt sein!'
$patch "$WT_DIR/sample/sample.tbw" "$WT_DIR/sample/nocompany.tbw" "Beispiel Software GmbH" ""
expect_stop nocompany "$WT_DIR/sample/nocompany.tbw" 'Das Feld "Firmenname" muß ausgefüllt sein, wenn entweder die dialogbox'
$patch "$WT_DIR/sample/sample.tbw" "$WT_DIR/sample/nofile.tbw" '[DefSrcPath]\files\hilfe.txt' '[DefSrcPath]\files\fehlt.txt'
expect_stop nofile "$WT_DIR/sample/nofile.tbw" \
  "Die Datei \"$(wine_winpath "$WT_DIR/sample")\\files\\fehlt.txt\" ist nicht vorhanden! Erzeugung abgebrochen."
$patch "$WT_DIR/sample/sample.tbw" "$WT_DIR/sample/nopath.tbw" '<InstallDir>\Hilfe' ''
expect_stop nopath "$WT_DIR/sample/nopath.tbw" 'Sie haben für die Dateikomponente "Hilfe"'
head -c 700 "$WT_DIR/sample/sample.tbw" >"$WT_DIR/sample/damaged.tbw"
expect_stop damaged "$WT_DIR/sample/damaged.tbw" 'Stream-Read-Fehler'
mv "$builder/language" "$builder/language-away"
expect_stop nolanguage "$WT_DIR/sample/sample.tbw" 'Kein Sprachmodul ausgewählt (Dialogseite)!'
mv "$builder/language-away" "$builder/language"
mv "$builder/rsrc.exe" "$builder/rsrc-away.exe"
build "$project" "$(wine_winpath "$WT_DIR")\\norsrc.exe"
check_eq "missing binder: exit code" 1 "$WT_RC"
check "missing binder: message" grep -q 'Der Ressourcenbinder rsrc konnte nicht gestartet werden' "$WT_DIR/err.txt"
mv "$builder/rsrc-away.exe" "$builder/rsrc.exe"

wine_test_finish
