#!/usr/bin/env bash
# CABXPD32.DLL extracts gcab-made cabinets, stored and MSZIP, from files and
# from mapped memory: same contents and file times as the cabinet holds;
# truncated or damaged cabinets give result 0 without a crash.
source "$TW_HARNESS"
source "$(dirname "$0")/make_cabinets.sh"
wine_test_begin cabxpd32_extract

probe=${TW_CABXPD_PROBE:?TW_CABXPD_PROBE is not set}
dll_unix=$TW_DIST/CABXPD32.DLL
check_file "dll-in-dist" "$dll_unix"
check_file "cabinet-dll-in-dist" "$TW_DIST/CABINET.DLL"

# Exported under the plain names; only kernel32 and the cabinet library are
# imported.
exports=$(i686-w64-mingw32-objdump -p "$dll_unix" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }' |
  sort | tr '\n' ' ')
check_eq "plain-export-names" "CreateMemoryFile DecompressCab " "$exports"
imports=$(i686-w64-mingw32-objdump -p "$dll_unix" | awk '/DLL Name:/ { print toupper($3) }' |
  sort | tr '\n' ' ')
check_eq "imports-only-system-and-cabinet" "CABINET.DLL KERNEL32.DLL " "$imports"

data=$WT_DIR/data
mkdir -p "$data"
check "gcab-makes-cabinets" make_cabinets "$data"
expected=$(cabinet_listing "$data/zip.cab")
check_eq "listing-has-every-file" 6 "$(printf '%s\n' "$expected" | grep -c .)"
dll=$(wine_winpath "$dll_unix")

# extract NAME MODE CAB OUT: runs the probe; its output lands in $WT_DIR/NAME.out.
extract() {
  local name=$1 mode=$2 cab=$3 out=$4
  mkdir -p "$out"
  wine_run 120 "$probe" "$dll" "$mode" "$(wine_winpath "$cab")" "$(wine_winpath "$out")" \
    >"$WT_DIR/$name.log" 2>&1
  tr -d '\r' <"$WT_DIR/$name.log" >"$WT_DIR/$name.out"
}

for cab in plain zip; do
  for mode in file memory; do
    name=$cab-$mode
    out=$data/out-$name
    extract "$name" "$mode" "$data/$cab.cab" "$out"
    check_eq "$name-succeeds" 0 "$WT_RC"
    check "$name-same-contents" diff -r "$data/src" "$out"
    check_eq "$name-times-from-cabinet" "$expected" \
      "$(grep -E '^[0-9]{4}-' "$WT_DIR/$name.out" | sort)"
  done
done

# Damaged cabinets. The first data block's offset is in the folder entry at
# byte 36; its MSZIP signature "CK" follows the block's 8-byte header.
size=$(stat -c %s "$data/zip.cab")
head -c $((size / 2)) "$data/zip.cab" >"$data/cabinet-truncated-half.cab"
head -c 30 "$data/zip.cab" >"$data/cabinet-truncated-in-header.cab"
head -c 4096 /dev/urandom >"$data/not-a-cabinet.cab"
cp "$data/zip.cab" "$data/cabinet-bad-mszip-signature.cab"
block=$(od -An -tu4 -j36 -N4 "$data/zip.cab" | tr -d ' ')
printf 'XX' | dd of="$data/cabinet-bad-mszip-signature.cab" bs=1 seek=$((block + 8)) \
  conv=notrunc 2>/dev/null
# The folder's first data block (offset at byte 36) far past the end: the
# seek lands at the end and the read finds nothing.
cp "$data/zip.cab" "$data/cabinet-data-past-end.cab"
printf '\xF0\xFF\xFF\x0F' | dd of="$data/cabinet-data-past-end.cab" bs=1 seek=36 \
  conv=notrunc 2>/dev/null

for bad in cabinet-truncated-half cabinet-truncated-in-header not-a-cabinet \
           cabinet-bad-mszip-signature cabinet-data-past-end; do
  for mode in file memory; do
    name=$bad-$mode
    extract "$name" "$mode" "$data/$bad.cab" "$data/out-$name"
    # 1 is the probe's "the DLL returned 0"; a crash gives another code.
    check_eq "$name-returns-0" 1 "$WT_RC"
    check "$name-reports-an-fdi-error" grep -q '^result 0 oper [1-9]' "$WT_DIR/$name.out"
  done
done

wine_test_finish
