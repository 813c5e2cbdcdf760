#!/usr/bin/env bash
# Reproducible packages: the demo built twice (into two folders, a while
# apart, the second time from a builder folder of another name) gives the
# same bytes; the package holds no trace of the build's temporary names.
set -u
source "$TW_HARNESS"
wine_test_begin builder_reproducible
here=$(dirname "$0")
inspect="python3 $here/inspect_package.py"

# The builder files keep their times: they are inputs of the package.
cp -rp "$TW_DIST" "$WT_DIR/builder"
cp -rp "$TW_DIST" "$WT_DIR/other builder"
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
project=$(wine_winpath "$WT_DIR/demo/demo.tbw")

build() {  # build BUILDER_DIR OUT_DIR: sets WT_RC
  mkdir -p "$2"
  (cd "$WT_DIR" && timeout 120 wine "$1/Tamblix.exe" /build "$project" /out "$(wine_winpath "$2")\\demo.exe" \
    >"$2/out.txt" 2>"$2/err.txt")
  WT_RC=$?
}

build "$WT_DIR/builder" "$WT_DIR/first"
check_eq "first build" 0 "$WT_RC"
sleep 3  # the second build's clock differs by whole seconds (DOS times count two)
build "$WT_DIR/other builder" "$WT_DIR/second"
check_eq "second build" 0 "$WT_RC"
check "both packages byte for byte alike" cmp "$WT_DIR/first/demo.exe" "$WT_DIR/second/demo.exe"
if ! cmp -s "$WT_DIR/first/demo.exe" "$WT_DIR/second/demo.exe"; then
  # Name the first differing item for whoever reads the log.
  $inspect items "$WT_DIR/first/demo.exe" >"$WT_DIR/first/items.txt"
  $inspect items "$WT_DIR/second/demo.exe" >"$WT_DIR/second/items.txt"
  diff "$WT_DIR/first/items.txt" "$WT_DIR/second/items.txt" >&2
  cmp -l "$WT_DIR/first/demo.exe" "$WT_DIR/second/demo.exe" | head -20 >&2
fi
# Temporary names of the build (its work folder TBW…, the package's
# temporary file, the binder's new module) and the folders it ran in
# appear nowhere in the package.
for pattern in 'TBW[0-9A-F]*\.' 'rsrc-new' "$(basename "$WT_DIR")"; do
  check "no '$pattern' in the package" bash -c "! grep -aq '$pattern' '$WT_DIR/first/demo.exe'"
done
wine_test_finish
