#!/usr/bin/env bash
# The build on the host against the build under Wine: the demo built by
# Tamblix.exe /build and by tamblix build (from the project file and from
# its JSON form) gives the same package byte for byte; two host builds on
# different days (a faked clock, another work folder) give the same bytes;
# the host-built package installs through its wizard.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin builder_host_build
here=$TW_SOURCE_DIR/tests/wine/build
inspect="python3 $here/inspect_package.py"
tamblix=$TW_HOST_TAMBLIX
check_file "the host tool is built" "$tamblix"

# One builder folder and one project for both builds; the files keep
# their times, which enter the cabinets.
cp -rp "$TW_DIST" "$WT_DIR/builder"
cp -rp "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
mkdir -p "$WT_DIR/win" "$WT_DIR/host" "$WT_DIR/json" "$WT_DIR/later"

(cd "$WT_DIR" && timeout 180 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" \
  /out "$(wine_winpath "$WT_DIR/win")\\NotizblockPro.exe" >"$WT_DIR/win/raw-out.txt" 2>"$WT_DIR/win/raw-err.txt")
check_eq "the build under Wine" 0 "$?"
iconv -f cp1252 -t utf-8 "$WT_DIR/win/raw-out.txt" | tr -d '\r' >"$WT_DIR/win/out.txt"
iconv -f cp1252 -t utf-8 "$WT_DIR/win/raw-err.txt" | tr -d '\r' >"$WT_DIR/win/err.txt"

# The host tool finds the builder's folder by --builder-dir here; without
# it, beside itself (tested below with a copy of the tool).
host_build() {  # host_build PROJECT OUT_DIR [COMMAND PREFIX...]: sets WT_RC
  local project=$1 out=$2
  shift 2
  (cd "$WT_DIR" && timeout 120 "$@" "$tamblix" build "$project" -o "$out/NotizblockPro.exe" \
    --builder-dir "$WT_DIR/builder" >"$out/out.txt" 2>"$out/err.txt")
  WT_RC=$?
}
host_build "$WT_DIR/demo/demo.tbw" "$WT_DIR/host"
check_eq "the build on the host" 0 "$WT_RC"
check_eq "the same progress lines" "$(cat "$WT_DIR/win/out.txt")" "$(cat "$WT_DIR/host/out.txt")"
check_eq "the same success message but for the package's path" \
  "$(grep -v '^Z:' "$WT_DIR/win/err.txt")" "$(grep -v '^Z:' "$WT_DIR/host/err.txt")"

compare_items() {  # compare_items A B: the first differing item, for the log
  $inspect items "$1" >"$WT_DIR/a-items.txt"
  $inspect items "$2" >"$WT_DIR/b-items.txt"
  diff "$WT_DIR/a-items.txt" "$WT_DIR/b-items.txt" >&2
  cmp -l "$1" "$2" | head -20 >&2
}
check "the host package is the Wine package byte for byte" cmp "$WT_DIR/win/NotizblockPro.exe" "$WT_DIR/host/NotizblockPro.exe"
cmp -s "$WT_DIR/win/NotizblockPro.exe" "$WT_DIR/host/NotizblockPro.exe" ||
  compare_items "$WT_DIR/win/NotizblockPro.exe" "$WT_DIR/host/NotizblockPro.exe"

# The other compressions alike.
for method in mszip none; do
  mkdir -p "$WT_DIR/$method"
  (cd "$WT_DIR" && timeout 180 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" \
    /compress:$method /out "$(wine_winpath "$WT_DIR/$method")\\wine.exe" >/dev/null 2>&1)
  check_eq "the $method build under Wine" 0 "$?"
  (cd "$WT_DIR" && timeout 120 "$tamblix" build "$WT_DIR/demo/demo.tbw" --compress $method -o "$WT_DIR/$method/host.exe" \
    --builder-dir "$WT_DIR/builder" >/dev/null 2>&1)
  check_eq "the $method build on the host" 0 "$?"
  check "$method: the same package" cmp "$WT_DIR/$method/wine.exe" "$WT_DIR/$method/host.exe"
done
check "the methods differ" bash -c "! cmp -s '$WT_DIR/mszip/host.exe' '$WT_DIR/none/host.exe'"

# The project as JSON builds the same package.
"$tamblix" dump "$WT_DIR/demo/demo.tbw" >"$WT_DIR/demo/demo.json"
host_build "$WT_DIR/demo/demo.json" "$WT_DIR/json"
check_eq "the build from JSON" 0 "$WT_RC"
check "the JSON project gives the same package" cmp "$WT_DIR/host/NotizblockPro.exe" "$WT_DIR/json/NotizblockPro.exe"

# Another day, another temporary folder: the same bytes. The faked clock
# leaves the files' times as they are (NO_FAKE_STAT): they are inputs.
mkdir -p "$WT_DIR/other tmp"
check "the clock can be faked" command -v faketime
host_build "$WT_DIR/demo/demo.tbw" "$WT_DIR/later" env TMPDIR="$WT_DIR/other tmp" NO_FAKE_STAT=1 \
  ASAN_OPTIONS=verify_asan_link_order=0 faketime -f '+3d'
grep -q 'erfolgreich' "$WT_DIR/later/err.txt" || cat "$WT_DIR/later/err.txt" >&2
check_eq "the build three days later" 0 "$WT_RC"
check "and its package is byte for byte the first" cmp "$WT_DIR/host/NotizblockPro.exe" "$WT_DIR/later/NotizblockPro.exe"
check "the work folder is gone" test -z "$(ls -A "$WT_DIR/other tmp")"
for pattern in 'TBW' "$(basename "$WT_DIR")" 'other tmp'; do
  check "no '$pattern' in the package" bash -c "! grep -aq '$pattern' '$WT_DIR/host/NotizblockPro.exe'"
done

# The default builder folder: the one beside the tool.
cp "$tamblix" "$WT_DIR/builder/tamblix"
mkdir -p "$WT_DIR/beside"
(cd "$WT_DIR" && timeout 120 "$WT_DIR/builder/tamblix" build "$WT_DIR/demo/demo.tbw" -o "$WT_DIR/beside/p.exe" \
  >/dev/null 2>&1)
check_eq "a build without --builder-dir" 0 "$?"
check "uses the builder's folder beside the tool" cmp "$WT_DIR/host/NotizblockPro.exe" "$WT_DIR/beside/p.exe"

# A stop: the same message and exit code from both builds.
rm "$WT_DIR/demo/files/notiz.txt"
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" \
  /out "$(wine_winpath "$WT_DIR/win")\\stop.exe" >/dev/null 2>"$WT_DIR/win/raw-stop.txt")
check_eq "under Wine a missing source stops the build" 1 "$?"
(cd "$WT_DIR" && timeout 120 "$tamblix" build "$WT_DIR/demo/demo.tbw" -o "$WT_DIR/host/stop.exe" \
  --builder-dir "$WT_DIR/builder" >/dev/null 2>"$WT_DIR/host/stop.txt")
check_eq "on the host too" 1 "$?"
check_eq "with the same message" "$(iconv -f cp1252 -t utf-8 "$WT_DIR/win/raw-stop.txt" | tr -d '\r')" \
  "$(cat "$WT_DIR/host/stop.txt")"
check "and no package" test ! -e "$WT_DIR/host/stop.exe"
cp -p "$TW_BINARY_DIR/demo/files/notiz.txt" "$WT_DIR/demo/files/notiz.txt"

# The host-built package installs: the custom type, as the install test walks it.
mkdir -p "$WT_DIR/pkg/Roh"
cp "$WT_DIR/host/NotizblockPro.exe" "$WT_DIR/pkg/"
cp "$WT_DIR/demo/files/roh.dat" "$WT_DIR/pkg/Roh/"
wine_start "$WT_DIR/pkg/NotizblockPro.exe"
check "the wizard walks to the summary" demo_walk 503
check "finish page after the copy" ui_wait 521 120
ui_screenshot finish.png
ui_click 1
check "the runtime ends" wine_wait_idle 60
dir=$(demo_dir)
files=$WT_DIR/demo/files
for f in notiz.txt liesmich.txt schreibschutz.txt; do
  check "$f is installed" cmp -s "$files/$f" "$dir/$f"
done
check "the versioned tool library is installed" cmp -s "$files/werkzeug.dll" "$dir/Werkzeuge/werkzeug.dll"
check "the uncompressed file is copied from beside the package" cmp -s "$files/roh.dat" "$dir/Roh/roh.dat"
common=$WINEPREFIX/drive_c/Program\ Files/Common\ Files/Beispiel\ Software
check "the shared file goes to the common files" cmp -s "$files/gemeinsam.dll" "$common/gemeinsam.dll"
check "the read-only file stays read-only" bash -c "stat -c %A '$dir/schreibschutz.txt' | grep -q '^-r-'"
check_file "the uninstaller is installed" "$dir/SETUP.EXE"
end_setup
wine_test_finish
