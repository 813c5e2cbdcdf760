#!/usr/bin/env bash
# The tamblix tool end to end: dump, resave, backups and damaged files.
#   tamblix_cli_test.sh TAMBLIX MAKE_SAMPLE MAKE_DEMO SOURCE_DIR
set -u
tamblix=$1 make_sample=$2 make_demo=$3 source=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {  # check NAME COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

sample=$source/examples/sample/sample.tbw
"$make_sample" "$work/generated.tbw"
check "committed sample matches its generator" cmp -s "$work/generated.tbw" "$sample"
"$make_demo" "$work/demo.tbw"
check "committed demo matches its generator" cmp -s "$work/demo.tbw" "$source/examples/demo/demo.tbw"
"$tamblix" resave "$source/examples/demo/demo.tbw" "$work/demo-resaved.tbw"
check "the demo resaves byte for byte" cmp -s "$work/demo-resaved.tbw" "$source/examples/demo/demo.tbw"

"$tamblix" dump "$sample" >"$work/dump.json"
check "dump exits 0" test $? -eq 0
check "dump is valid JSON" python3 -m json.tool "$work/dump.json" /dev/null
check "dump converts CP1252 to UTF-8" grep -q 'Sie wählen die Komponenten selbst.' "$work/dump.json"
check "dump names the shortcut target" python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
s = d["shortcuts"][0]
assert s["targetComponent"] == "Programmdateien" and s["targetFile"].endswith("notiz.txt"), s
assert [r["text"] for r in d["installationTypeTree"]] == ["Normal", "Minimal", "Benutzer", "Netzwerk"]
v = d["componentTree"][1]["children"][0]["children"][0]
assert v["valueName"] == "Version" and v["valueData"] == "1.20", v
' "$work/dump.json"

"$tamblix" resave "$sample" "$work/out.tbw"
check "resave exits 0" test $? -eq 0
check "a 1.9 file resaves byte for byte" cmp -s "$sample" "$work/out.tbw"
check "no backup without an earlier file" test ! -e "$work/out.~tb"

printf 'older content' >"$work/old.tbw"
"$tamblix" resave "$sample" "$work/old.tbw"
check "resave over a file keeps it as .~tb" grep -qx 'older content' "$work/old.~tb"

head -c 300 "$sample" >"$work/truncated.tbw"
"$tamblix" resave "$work/truncated.tbw" "$work/never.tbw" 2>"$work/err.txt"
check "damaged file exits 1" test $? -eq 1
check "damaged file names the stream error" grep -q 'Stream-Read-Fehler' "$work/err.txt"
check "damaged file writes nothing" test ! -e "$work/never.tbw"

printf '\x06\x05hallo' >"$work/foreign.tbw"
"$tamblix" dump "$work/foreign.tbw" >/dev/null 2>"$work/err.txt"
check "file without signature exits 1" test $? -eq 1
check "file without signature is reported" grep -q 'keine Tamblewright-Projektdatei' "$work/err.txt"

"$tamblix" dump "$work/missing.tbw" >/dev/null 2>"$work/err.txt"
check "missing file exits 1" test $? -eq 1
check "missing file message in UTF-8" grep -q 'kann nicht geöffnet werden' "$work/err.txt"

# JSON back to a project file: byte for byte for the sample and the demo.
for name in sample demo; do
  "$tamblix" dump "$source/examples/$name/$name.tbw" >"$work/$name.json"
  "$tamblix" load "$work/$name.json" "$work/$name-loaded.tbw"
  check "load exits 0 for the $name" test $? -eq 0
  check "the $name comes back from JSON byte for byte" cmp -s "$work/$name-loaded.tbw" "$source/examples/$name/$name.tbw"
done
printf 'older content' >"$work/kept.tbw"
"$tamblix" load "$work/sample.json" "$work/kept.tbw"
check "load over a file keeps it as .~tb" grep -qx 'older content' "$work/kept.~tb"
sed '3s/": /" /' "$work/sample.json" >"$work/bad.json"
"$tamblix" load "$work/bad.json" "$work/never.tbw" 2>"$work/err.txt"
check "damaged JSON exits 1" test $? -eq 1
check "damaged JSON names line and column" grep -q 'Zeile 3, Spalte [0-9]*: ":" erwartet' "$work/err.txt"
check "damaged JSON writes nothing" test ! -e "$work/never.tbw"
"$tamblix" build "$work/bad.json" -o "$work/never.exe" --builder-dir "$work" >/dev/null 2>"$work/err.txt"
check "a build from damaged JSON exits 1" test $? -eq 1
check "and names line and column" grep -q 'Zeile 3, Spalte' "$work/err.txt"
"$tamblix" build "$work/sample.json" --compress lzh >/dev/null 2>"$work/err.txt"
check "an unknown compression gives the usage line" grep -q '^Aufruf: tamblix build' "$work/err.txt"
"$tamblix" build >/dev/null 2>&1
check "a build without project exits 1" test $? -eq 1

# Builds on the host, when the win32 build has made the builder's folder.
dist=$source/build/win32/dist
if [ -e "$dist/ZETUBODY.EXE" ]; then
  cp -rp "$source/examples/sample" "$work/proj"
  mkdir -p "$work/tmp"
  TMPDIR=$work/tmp "$tamblix" build "$work/proj/sample.tbw" -o "$work/b1/p.exe" --builder-dir "$dist" \
    >"$work/out.txt" 2>"$work/err.txt"
  check "a host build exits 0" test $? -eq 0
  check "its progress ends at 100 %" grep -q ' 100%$' "$work/out.txt"
  check "its message names the package" grep -qF 'p.exe' "$work/err.txt"
  cp "$work/sample.json" "$work/proj/sample.json"
  "$tamblix" build "$work/proj/sample.json" -o "$work/b2/p.exe" --builder-dir "$dist" >/dev/null 2>&1
  check "the JSON form builds" test $? -eq 0
  check "two builds, from .tbw and from JSON, are byte for byte alike" cmp -s "$work/b1/p.exe" "$work/b2/p.exe"
  rm "$work/proj/files/hilfe.txt"
  TMPDIR=$work/tmp "$tamblix" build "$work/proj/sample.tbw" -o "$work/b3/p.exe" --builder-dir "$dist" \
    >/dev/null 2>"$work/err.txt"
  check "a missing source stops the build with 1" test $? -eq 1
  check "naming the file" grep -q 'hilfe.txt" ist nicht vorhanden! Erzeugung abgebrochen.' "$work/err.txt"
  check "and leaves no package and no folder" test ! -e "$work/b3"
  check "and no work folder" test -z "$(ls -A "$work/tmp")"
  "$tamblix" build "$work/proj/sample.tbw" -o "$dist/p.exe" --builder-dir "$dist" >/dev/null 2>"$work/err.txt"
  check "a package in the builder's folder is refused" test $? -eq 1 -a ! -e "$dist/p.exe"
else
  echo "tamblix: no win32 build, the host builds are left out"
fi

"$tamblix" bogus >/dev/null 2>&1
check "unknown command is refused" test $? -ne 0

echo "tamblix: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
