# Shared steps of the cabinet tests: packages built with a chosen
# compression, their cabinets taken out and looked at.
# shellcheck shell=bash

inspect=$TW_SOURCE_DIR/tests/wine/build/inspect_package.py

# build_package PROJECT PACKAGE [/compress:...]: runs the builder's command
# line from the builder copy in $WT_DIR/builder; WT_RC is its exit code.
build_package() {
  local project=$1 package=$2; shift 2
  mkdir -p "$(dirname "$package")"
  (cd "$WT_DIR" && timeout 600 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$project")" \
    /out "$(wine_winpath "$package")" "$@" >"$WT_DIR/build-out.txt" 2>"$WT_DIR/build-err.txt")
  WT_RC=$?
}

# package_cabinets PACKAGE FOLDER: writes every cabinet item of the package
# to FOLDER/item-N.cab and prints their paths.
package_cabinets() {
  mkdir -p "$2"
  python3 "$inspect" items "$1" | awk '$4 == "4d534346" {print $1}' | while read -r n; do
    python3 "$inspect" extract "$1" "$n" "$2/item-$n.cab"
    echo "$2/item-$n.cab"
  done
}

# folder_types CABINET: the typeCompress of each folder, in hex.
folder_types() {
  python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
folders, flags = struct.unpack_from('<HH', d, 26)[0], struct.unpack_from('<H', d, 30)[0]
at = 36
reserve_folder = 0
if flags & 4:
    header_reserve, reserve_folder = struct.unpack_from('<HB', d, 36)
    at += 4 + header_reserve
print(' '.join('%04x' % struct.unpack_from('<H', d, at + i * (8 + reserve_folder) + 6)[0] for i in range(folders)))
PY
}

# uncompressed_bytes CABINET: the sum of the file sizes it holds.
uncompressed_bytes() {
  cabextract -l "$1" 2>/dev/null | awk -F'|' 'NF == 3 && $1 ~ /[0-9]/ {s += $1} END {print s + 0}'
}
