#!/usr/bin/env bash
# The command-line build never harms what it reads: /out may not name the
# project, a file the project reads, a folder or anything in the builder's
# folder; an older package is replaced only by a complete one; a stop
# leaves nothing behind; four builds at once from one builder folder each
# carry their own profile; every stop names its file and reason; old dates
# and empty files are packaged.
set -u
source "$TW_HARNESS"
wine_test_begin builder_safety
here=$(dirname "$0")
inspect="python3 $here/inspect_package.py"
patch="python3 $here/patch_project.py"

cp -r "$TW_DIST" "$WT_DIR/builder"
builder=$WT_DIR/builder
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
sample=$WT_DIR/sample
project=$(wine_winpath "$sample/sample.tbw")
mkdir -p "$WT_DIR/out"
out=$(wine_winpath "$WT_DIR/out")

build() {  # build PROJECT_WINPATH OUT_WINPATH [TAG]: sets WT_RC, TAG-out.txt and TAG-err.txt (UTF-8)
  local tag=${3:-run}
  (cd "$WT_DIR" && timeout 180 wine "$builder/Tamblix.exe" /build "$1" /out "$2" \
    >"$tag-raw-out.txt" 2>"$tag-raw-err.txt")
  WT_RC=$?
  iconv -f cp1252 -t utf-8 "$WT_DIR/$tag-raw-err.txt" | tr -d '\r' >"$WT_DIR/$tag-err.txt"
}
err() { cat "$WT_DIR/${1:-run}-err.txt"; }
has_line() { grep -qxF "$1" "$WT_DIR/${2:-run}-err.txt"; }
mentions() { grep -qF "$1" "$WT_DIR/${2:-run}-err.txt"; }
lacks() { ! grep -qF "$1" "$WT_DIR/${2:-run}-err.txt"; }

# Fingerprints of every input: the project, its files and the builder.
fingerprint() { (cd "$WT_DIR" && find sample builder -type f -print0 | sort -z | xargs -0 sha256sum); }
fingerprint >"$WT_DIR/inputs-before.txt"
inputs_unchanged() { fingerprint | cmp -s - "$WT_DIR/inputs-before.txt"; }
# Nothing of a build may stay: no temporary package, no work folder, no
# profile files in the builder's folder.
nothing_left() {
  [ -z "$(find "$WT_DIR" -name 'TBW*' -print -quit)" ] && [ ! -e "$builder/_SETUP.DLL" ] &&
    [ ! -e "$builder/_SETUP.RES" ] && [ -z "$(find "$WT_DIR" -iname '_ZETUBDY.RES' -print -quit)" ]
}

# --- /out names something the build reads ----------------------------------
refuse() {  # refuse NAME OUT_WINPATH MESSAGE_PART
  build "$project" "$2" "refuse-$1"
  check_eq "/out $1: exit code" 1 "$WT_RC"
  check "/out $1: message" mentions "$3" "refuse-$1"
  check "/out $1: ends the build" grep -q 'Erzeugung abgebrochen\.$' "$WT_DIR/refuse-$1-err.txt"
  check "/out $1: every input byte-identical" inputs_unchanged
  check "/out $1: nothing left" nothing_left
}
refuse project "$project" 'würde die Projektdatei überschreiben'
refuse project-other-case "$(wine_winpath "$sample")\\SAMPLE.TBW" 'würde die Projektdatei überschreiben'
refuse source "$(wine_winpath "$sample")\\files\\notiz.txt" "würde die Datei \"$(wine_winpath "$sample")\\files\\notiz.txt\""
refuse source-by-detour "$(wine_winpath "$sample")\\files\\..\\files\\.\\hilfe.txt" 'hilfe.txt" überschreiben'
refuse licence "$(wine_winpath "$sample")\\files\\lizenz.txt" 'lizenz.txt" überschreiben, die das Projekt verwendet'
refuse builder-library "$(wine_winpath "$builder")\\CABINET.DLL" 'darf nicht im Programmordner'
refuse builder-subfolder "$(wine_winpath "$builder")\\language\\neu.exe" 'darf nicht im Programmordner'
refuse folder "$(wine_winpath "$sample")\\files" 'ist ein Ordner'
check "/out into the builder's folder made no file there" test ! -e "$builder/language/neu.exe"
# Another name for the same file: a link is caught by the file's identity.
ln -s "$sample/files/notiz.txt" "$WT_DIR/out/verweis.exe"
refuse link "$out\\verweis.exe" 'notiz.txt" überschreiben'
rm -f "$WT_DIR/out/verweis.exe"

# The builder still works after all of that.
build "$project" "$out\\Notizblock.exe" good
check_eq "normal build after the refusals" 0 "$WT_RC"
check "normal build: only the success message" test "$(grep -c . "$WT_DIR/good-err.txt")" -eq 2
check "normal build: nothing left" nothing_left

# --- an older package is replaced only by a complete one --------------------
printf 'an older package' >"$WT_DIR/out/alt.exe"
cp "$WT_DIR/out/alt.exe" "$WT_DIR/alt-copy"
$patch "$sample/sample.tbw" "$sample/nofile.tbw" '[DefSrcPath]\files\hilfe.txt' '[DefSrcPath]\files\fehlt.txt'
build "$(wine_winpath "$sample/nofile.tbw")" "$out\\alt.exe" keep
check_eq "failed build over an older package: exit code" 1 "$WT_RC"
check "failed build keeps the older package as it was" cmp -s "$WT_DIR/alt-copy" "$WT_DIR/out/alt.exe"
check "failed build: nothing left" nothing_left
build "$(wine_winpath "$sample/nofile.tbw")" "$out\\neu\\tief\\paket.exe" newfolder
check_eq "failed build into new folders: exit code" 1 "$WT_RC"
check "failed build takes away the folders it made" test ! -e "$WT_DIR/out/neu"
build "$project" "$out\\alt.exe" replace
check_eq "good build over an older package" 0 "$WT_RC"
check "good build replaced it with a whole package" bash -c \
  "$inspect items '$WT_DIR/out/alt.exe' | grep -q 'count 6\$' && test \$(stat -c %s '$WT_DIR/out/alt.exe') -eq \$(stat -c %s '$WT_DIR/out/Notizblock.exe')"
rm -f "$sample/nofile.tbw"

# --- four builds at once from one builder folder ------------------------------
names=(Alpha Beta Gamma Delta)
for name in "${names[@]}"; do
  cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/p-$name"
  $patch "$WT_DIR/p-$name/sample.tbw" "$WT_DIR/p-$name/p.tbw" Notizblock "$name"
  printf 'Lizenz von %s\r\n' "$name" >"$WT_DIR/p-$name/files/lizenz.txt"
done
pids=()
for name in "${names[@]}"; do
  ( build "$(wine_winpath "$WT_DIR/p-$name/p.tbw")" "$out\\$name.exe" "par-$name"; echo "$WT_RC" >"$WT_DIR/par-$name.rc" ) &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid"; done
for name in "${names[@]}"; do
  check_eq "parallel $name: exit code" 0 "$(cat "$WT_DIR/par-$name.rc")"
  check "parallel $name: success message" has_line 'Installationsanwendung erfolgreich erzeugt:' "par-$name"
  mkdir -p "$WT_DIR/par-$name"
  $inspect extract "$WT_DIR/out/$name.exe" 3 "$WT_DIR/par-$name/runtime.cab"
  cabextract -q -d "$WT_DIR/par-$name" "$WT_DIR/par-$name/runtime.cab"
  wine_run 30 "$TW_PROFILE_PROBE" "$(wine_winpath "$WT_DIR/par-$name/_SETUP.DLL")" \
    "$(wine_winpath "$WT_DIR/par-$name")\\profile.txt"
  check_eq "parallel $name: profile reader runs" 0 "$WT_RC"
  check "parallel $name: its own application name" grep -qxF "string 0 $name" "$WT_DIR/par-$name/profile.txt"
  check "parallel $name: its own licence" bash -c \
    "$inspect resource '$WT_DIR/par-$name/_SETUP.DLL' 110 1 '$WT_DIR/par-$name/licence' && cmp -s '$WT_DIR/par-$name/licence' '$WT_DIR/p-$name/files/lizenz.txt'"
done
check "parallel builds: nothing left" nothing_left

# --- texts and pictures that cannot be read are named and left out -------------
mv "$sample/files/lizenz.txt" "$sample/lizenz-weg.txt"
build "$project" "$out\\ohne-lizenz.exe" nolicence
check_eq "missing licence: the build goes on" 0 "$WT_RC"
check "missing licence: named with its reason" mentions \
  "Die Lizenz-Datei \"$(wine_winpath "$sample")\\files\\lizenz.txt\" kann nicht gelesen werden (" nolicence
check "missing licence: no bare system text" bash -c "! grep -qxE 'File not found\\.?' '$WT_DIR/nolicence-err.txt'"
check "missing licence: no licence resource" bash -c "mkdir -p '$WT_DIR/nl' && $inspect extract '$WT_DIR/out/ohne-lizenz.exe' 3 '$WT_DIR/nl/r.cab' && cabextract -q -d '$WT_DIR/nl' '$WT_DIR/nl/r.cab' && ! $inspect resource '$WT_DIR/nl/_SETUP.DLL' 110 1 '$WT_DIR/nl/licence'"
mv "$sample/lizenz-weg.txt" "$sample/files/lizenz.txt"

# The install tests' holder keeps the licence open without sharing.
release=$WT_DIR/release.txt
wine "$TW_HOLD_FILE" "$(wine_winpath "$sample/files/lizenz.txt")" "$(wine_winpath "$release")" &
holder=$!
sleep 3
build "$project" "$out\\gesperrt.exe" locked
touch "$release"
wait "$holder" 2>/dev/null
check_eq "locked licence: the build goes on" 0 "$WT_RC"
check "locked licence: named with its reason" mentions \
  "Die Lizenz-Datei \"$(wine_winpath "$sample")\\files\\lizenz.txt\" kann nicht gelesen werden (" locked

# A picture that cannot be opened is named with its reason and left out.
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo-nologo"
rm "$WT_DIR/demo-nologo/logo.bmp"
build "$(wine_winpath "$WT_DIR/demo-nologo/demo.tbw")" "$out\\ohne-logo.exe" nologo
check_eq "missing logo: the build goes on" 0 "$WT_RC"
check "missing logo: named with its reason" mentions \
  "Datei $(wine_winpath "$WT_DIR/demo-nologo")\\logo.bmp kann nicht geöffnet werden (" nologo

# A licence too large for memory stops the build with its name.
cp "$sample/files/lizenz.txt" "$WT_DIR/lizenz-copy"
truncate -s 1900000000 "$sample/files/lizenz.txt"
build "$project" "$out\\riesig.exe" huge
check_eq "licence of 1.9 GB: exit code" 1 "$WT_RC"
check "licence of 1.9 GB: named" mentions "Der Arbeitsspeicher reicht nicht für die Datei \"$(wine_winpath "$sample")\\files\\lizenz.txt\"" huge
check "licence of 1.9 GB: no package" test ! -e "$WT_DIR/out/riesig.exe"
check "licence of 1.9 GB: nothing left" nothing_left
cp "$WT_DIR/lizenz-copy" "$sample/files/lizenz.txt"

# --- stops before anything is written -----------------------------------------
expect_stop() {  # expect_stop NAME PROJECT_UNIXPATH MESSAGE_PART
  build "$(wine_winpath "$2")" "$out\\stop-$1.exe" "stop-$1"
  check_eq "$1: exit code" 1 "$WT_RC"
  check "$1: message" mentions "$3" "stop-$1"
  check "$1: ends the build" grep -q 'Erzeugung abgebrochen\.$' "$WT_DIR/stop-$1-err.txt"
  check "$1: no package" test ! -e "$WT_DIR/out/stop-$1.exe"
  check "$1: nothing left" nothing_left
}
mkdir -p "$sample/andere"
echo 'andere Notiz' >"$sample/andere/notiz.txt"
$patch "$sample/sample.tbw" "$sample/twice.tbw" '[DefSrcPath]\files\liesmich.txt' '[DefSrcPath]\andere\notiz.txt'
expect_stop duplicate "$sample/twice.tbw" \
  'Die Dateikomponente "Programmdateien" enthält die Zieldatei "notiz.txt" zweimal: "[DefSrcPath]\files\notiz.txt" und "[DefSrcPath]\andere\notiz.txt".'

truncate -s $((4 * 1024 * 1024 * 1024 + 100)) "$sample/files/gross.bin"
$patch "$sample/sample.tbw" "$sample/big.tbw" '[DefSrcPath]\files\hilfe.txt' '[DefSrcPath]\files\gross.bin'
expect_stop big-file "$sample/big.tbw" \
  "Die Datei \"$(wine_winpath "$sample")\\files\\gross.bin\" ist 4294967396 Bytes groß; ein Kabinett nimmt nur Dateien unter 2 GiB"
rm -f "$sample/files/gross.bin"

# REG_BINARY data in lower case is packaged; any other character is named.
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
python3 - "$WT_DIR/demo/demo.tbw" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read()
assert data.count(b'00FF10A5') == 1
open(sys.argv[1][:-4] + '-lower.tbw', 'wb').write(data.replace(b'00FF10A5', b'00ff10a5'))
open(sys.argv[1][:-4] + '-bad.tbw', 'wb').write(data.replace(b'00FF10A5', b'00FG10A5'))
EOF
build "$(wine_winpath "$WT_DIR/demo/demo-lower.tbw")" "$out\\demo-lower.exe" lower
check_eq "lower-case hex: builds" 0 "$WT_RC"
mkdir -p "$WT_DIR/lower"
$inspect extract "$WT_DIR/out/demo-lower.exe" 3 "$WT_DIR/lower/r.cab"
cabextract -q -d "$WT_DIR/lower" "$WT_DIR/lower/r.cab"
wine_run 30 "$TW_PROFILE_PROBE" "$(wine_winpath "$WT_DIR/lower/_SETUP.DLL")" "$(wine_winpath "$WT_DIR/lower")\\profile.txt"
check "lower-case hex: the same bytes" grep -qxF '  entry 1 flags=000000C3 Muster\x00\x00\xFF\x10\xA5' "$WT_DIR/lower/profile.txt"
expect_stop bad-hex "$WT_DIR/demo/demo-bad.tbw" \
  'Der Binärwert "Muster" enthält an Stelle 4 das Zeichen "G", das keine Hexadezimalziffer (0-9, A-F) ist. Erzeugung abgebrochen.'

# --- old dates and empty files --------------------------------------------------
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/odd"
touch -d '1970-01-02 12:00:00' "$WT_DIR/odd/files/notiz.txt"
: >"$WT_DIR/odd/files/hilfe.txt"
build "$(wine_winpath "$WT_DIR/odd/sample.tbw")" "$out\\odd.exe" odd
check_eq "1970 date and an empty file: builds" 0 "$WT_RC"
check "1970 date and an empty file: only the success message" test "$(grep -c . "$WT_DIR/odd-err.txt")" -eq 2
$inspect extract "$WT_DIR/out/odd.exe" 4 "$WT_DIR/odd4.cab"
$inspect extract "$WT_DIR/out/odd.exe" 5 "$WT_DIR/odd5.cab"
check "1970 date stored as 1980-01-01 00:00" bash -c \
  "cabextract -l '$WT_DIR/odd4.cab' | grep -E 'notiz\\.txt\$' | grep -q '01\\.01\\.1980 00:00:00'"
mkdir -p "$WT_DIR/odd5"
cabextract -q -d "$WT_DIR/odd5" "$WT_DIR/odd5.cab"
check "the empty file is in its cabinet" test -f "$WT_DIR/odd5/hilfe.txt"
check_eq "the empty file stays empty" 0 "$(stat -c %s "$WT_DIR/odd5/hilfe.txt" 2>/dev/null)"
# Setup's own extractor takes the cabinet with the empty file as well.
mkdir -p "$WT_DIR/odd5-setup"
wine_run 120 "$TW_CABXPD_PROBE" "$(wine_winpath "$builder/CABXPD32.DLL")" memory "$(wine_winpath "$WT_DIR/odd5.cab")" \
  "$(wine_winpath "$WT_DIR/odd5-setup")" >"$WT_DIR/odd5-setup.log" 2>&1
check_eq "the extractor takes the cabinet with the empty file" 0 "$WT_RC"
check "the extractor writes the empty file" test -f "$WT_DIR/odd5-setup/hilfe.txt"
check_eq "the extractor keeps it empty" 0 "$(stat -c %s "$WT_DIR/odd5-setup/hilfe.txt" 2>/dev/null)"
check "1970 date: the notes unchanged" bash -c \
  "mkdir -p '$WT_DIR/odd4' && cabextract -q -d '$WT_DIR/odd4' '$WT_DIR/odd4.cab' && cmp -s '$WT_DIR/odd4/notiz.txt' '$WT_DIR/odd/files/notiz.txt'"

# --- a full and a read-only output disk ------------------------------------------
# Small file systems of their own (this needs the right to mount).
disk=$WT_DIR/disk
mkdir -p "$disk"
package_size=$(stat -c %s "$WT_DIR/out/Notizblock.exe")
if mount -t tmpfs -o size=$((package_size / 2)) none "$disk" 2>/dev/null; then
  printf 'an older package' >"$disk/voll.exe"
  build "$project" "$(wine_winpath "$disk")\\voll.exe" full
  check_eq "full disk: exit code" 1 "$WT_RC"
  check "full disk: names the package" mentions "Das Paket \"$(wine_winpath "$disk")\\voll.exe\" kann nicht" full
  check "full disk: ends the build" grep -q 'Erzeugung abgebrochen\.$' "$WT_DIR/full-err.txt"
  check "full disk: no success text" lacks 'Success' full
  check "full disk: no made-up error number" lacks 'Systemfehler' full
  check_eq "full disk: the older package as it was" 'an older package' "$(cat "$disk/voll.exe")"
  check "full disk: nothing left" nothing_left
  umount "$disk"
  mount -t tmpfs -o size=1m,ro none "$disk"
  build "$project" "$(wine_winpath "$disk")\\nurlesen.exe" readonly
  check_eq "read-only disk: exit code" 1 "$WT_RC"
  check "read-only disk: names the package" mentions "Das Paket \"$(wine_winpath "$disk")\\nurlesen.exe\" kann nicht" readonly
  check "read-only disk: no success text" lacks 'Success' readonly
  check "read-only disk: nothing left" nothing_left
  umount "$disk"
elif [ "${CI:-}" = true ]; then
  # CI runs as root: a mount that fails there is a fault of the job.
  check "a small disk for the full and read-only checks can be mounted (tmpfs)" false
else
  echo "builder_safety: no right to mount a small disk; the full and read-only disk checks are left out"
fi
# The messages, for the log.
for f in "$WT_DIR"/refuse-*-err.txt "$WT_DIR"/stop-*-err.txt "$WT_DIR"/{nolicence,locked,nologo,huge,full,readonly}-err.txt; do
  case $f in *-raw-err.txt) continue ;; esac
  [ -e "$f" ] && { echo "--- $(basename "$f" -err.txt)"; cat "$f"; }
done

wine_test_finish
