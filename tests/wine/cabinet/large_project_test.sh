#!/usr/bin/env bash
# A generated project of a few hundred mixed files (text, noise, sparse,
# zeros over twenty components), built with LZX and with MSZIP: every
# cabinet passes cabextract -t, and every component cabinet extracts
# through CABXPD32.DLL to exactly the project's files.
set -u
source "$TW_HARNESS"
wine_test_begin cabinet_large_project
source "$TW_SOURCE_DIR/tests/wine/cabinet/cabinets.sh"

cp -r "$TW_DIST" "$WT_DIR/builder"
project=$WT_DIR/project
wine_run 300 "${TW_BENCH_PROJECT:?}" "$(wine_winpath "$project")" 400 40
check_eq "the project is generated" 0 "$WT_RC"
count=$(find "$project/files" -type f | wc -l)
echo "project: $count files, $(du -sm "$project/files" | cut -f1) MB"
# The sources by name: each name occurs once in the project.
(cd "$project/files" && find . -type f -printf '%f ' -exec sha1sum {} \; | awk '{print $1, $2}' | sort) \
  >"$WT_DIR/sources.txt"

probe=${TW_CABXPD_PROBE:?}
dll=$(wine_winpath "$WT_DIR/builder/CABXPD32.DLL")
# LZX cabinets from a memory image (as the runtime reads them), MSZIP ones
# from files.
declare -A source_of=([lzx]=memory [mszip]=file)
for mode in lzx mszip; do
  package=$WT_DIR/out-$mode/bench.exe
  build_package "$project/bench.tbw" "$package" "/compress:$mode"
  check_eq "$mode: the project builds" 0 "$WT_RC"
  [ "$WT_RC" = 0 ] || { cat "$WT_DIR/build-err.txt"; continue; }
  echo "$mode: package $(stat -c %s "$package") bytes"
  cabs=$(package_cabinets "$package" "$WT_DIR/cabs-$mode")
  check_eq "$mode: the runtime and twenty component cabinets" 21 "$(wc -w <<<"$cabs")"
  bad=0
  for cab in $cabs; do cabextract -q -t "$cab" >/dev/null 2>&1 || { echo "cabextract refuses $cab"; bad=1; }; done
  check_eq "$mode: cabextract -t accepts every cabinet" 0 "$bad"
  out=$WT_DIR/extracted-$mode
  for cab in $(tail -n +2 <<<"$cabs"); do
    dir=$out/$(basename "$cab" .cab)
    mkdir -p "$dir"
    wine_run 300 "$probe" "$dll" "${source_of[$mode]}" "$(wine_winpath "$cab")" "$(wine_winpath "$dir")" >>"$WT_DIR/extract-$mode.log" 2>&1
    [ "$WT_RC" = 0 ] || { echo "CABXPD32.DLL fails on $cab"; bad=1; }
  done
  check_eq "$mode: CABXPD32.DLL extracts every component cabinet" 0 "$bad"
  (cd "$out" && find . -type f -printf '%f ' -exec sha1sum {} \; | awk '{print $1, $2}' | sort) >"$WT_DIR/extracted-$mode.txt"
  check "$mode: every file comes out byte for byte, none more, none less" \
    cmp -s "$WT_DIR/sources.txt" "$WT_DIR/extracted-$mode.txt"
done
wine_test_finish
