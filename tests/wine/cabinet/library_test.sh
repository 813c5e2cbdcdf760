#!/usr/bin/env bash
# Our CABINET.DLL: its build facts, that Wine loads it rather than its own
# builtin, and the sample package built with each compression: every
# cabinet is of the asked type and accepted by cabextract, LZX the default.
set -u
source "$TW_HARNESS"
wine_test_begin cabinet_library
source "$TW_SOURCE_DIR/tests/wine/cabinet/cabinets.sh"

dll=$TW_DIST/CABINET.DLL
check_file "CABINET.DLL in the builder's folder" "$dll"
size=$(stat -c %s "$dll")
echo "CABINET.DLL: $size bytes"
check "CABINET.DLL is at most 64 KB" test "$size" -le 65536
exports=$(i686-w64-mingw32-objdump -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }' | sort | tr '\n' ' ')
check_eq "the nine entries under their plain names" \
  "FCIAddFile FCICreate FCIDestroy FCIFlushCabinet FCIFlushFolder FDICopy FDICreate FDIDestroy FDIIsCabinet " "$exports"
imports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ { print toupper($3) }' | grep -vx KERNEL32.DLL)
check_eq "no import but KERNEL32.DLL" "" "$imports"
check "no text of Wine's builtin libraries" bash -c "! grep -qa 'Wine builtin DLL' '$dll'"

cp -r "$TW_DIST" "$WT_DIR/builder"
cp "${TW_CABINET_PROBE:?}" "$WT_DIR/builder/"
(cd "$WT_DIR/builder" && wine cabinet_probe.exe >"$WT_DIR/probe.txt" 2>&1)
tr -d '\r' <"$WT_DIR/probe.txt" >"$WT_DIR/probe.out"
cat "$WT_DIR/probe.out"
check "the process loaded the CABINET.DLL beside it" grep -qiF "path=$(wine_winpath "$WT_DIR/builder")\\CABINET.DLL" "$WT_DIR/probe.out"
check "its version names our library" grep -qx 'description=Tamblewright cabinet library (FCI/FDI)' "$WT_DIR/probe.out"

cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
declare -A expect_type=([none]=0000 [mszip]=0001 [lzx]=1503 [default]=1503)
declare -A runtime_size
for mode in none mszip lzx default; do
  args=()
  [ "$mode" != default ] && args=("/compress:$mode")
  package=$WT_DIR/out-$mode/Notizblock.exe
  build_package "$WT_DIR/sample/sample.tbw" "$package" "${args[@]}"
  check_eq "$mode: the sample builds" 0 "$WT_RC"
  [ "$WT_RC" = 0 ] || { cat "$WT_DIR/build-err.txt"; continue; }
  echo "$mode: package $(stat -c %s "$package") bytes"
  first=1
  for cab in $(package_cabinets "$package" "$WT_DIR/cabs-$mode"); do
    name=$mode/$(basename "$cab")
    check "$name: cabextract -t accepts it" cabextract -q -t "$cab"
    types=$(folder_types "$cab")
    check "$name: every folder is of type ${expect_type[$mode]} ($types)" \
      bash -c "[ -n '$types' ] && ! tr ' ' '\n' <<<'$types' | grep -vx '${expect_type[$mode]}'"
    if [ $first = 1 ]; then
      runtime_size[$mode]=$(stat -c %s "$cab")
      echo "$name: runtime cabinet ${runtime_size[$mode]} bytes for $(uncompressed_bytes "$cab") bytes of files"
      first=0
    fi
  done
done
# Compression that really happened: the runtime (a few hundred KB of code)
# shrinks with MSZIP and further with LZX.
check "MSZIP's runtime cabinet is smaller than the stored one" \
  test "${runtime_size[mszip]:-0}" -gt 0 -a "${runtime_size[mszip]:-0}" -lt "$(( ${runtime_size[none]:-0} * 3 / 4 ))"
check "LZX's runtime cabinet is smaller than MSZIP's" \
  test "${runtime_size[lzx]:-0}" -gt 0 -a "${runtime_size[lzx]:-0}" -lt "${runtime_size[mszip]:-0}"
check_eq "the default is LZX" "${runtime_size[lzx]:-x}" "${runtime_size[default]:-y}"

# An unknown compression name is refused with the usage line.
build_package "$WT_DIR/sample/sample.tbw" "$WT_DIR/out-bad/x.exe" /compress:quantum
check_eq "an unknown compression fails" 1 "$WT_RC"
check "nothing is built for it" test ! -e "$WT_DIR/out-bad/x.exe"
wine_test_finish
