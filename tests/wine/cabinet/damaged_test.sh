#!/usr/bin/env bash
# One flipped data byte in a cabinet of the demo package: in the runtime
# cabinet the dispatcher refuses the package with its failure box and no
# runtime starts; in a component cabinet the runtime shows the damaged-
# package message before anything is installed.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin cabinet_damaged

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
WALK_AFTER_TYPE=network_question_no
source "$TW_SOURCE_DIR/tests/wine/cabinet/cabinets.sh"
bad=0
for cab in $(package_cabinets "$package" "$WT_DIR/cabs"); do
  cabextract -q -t "$cab" >/dev/null 2>&1 || { echo "cabextract refuses $cab"; bad=1; }
done
check_eq "cabextract -t accepts every cabinet of the intact demo package" 0 "$bad"

# flip_data PACKAGE ITEM OUT: a copy with one byte flipped in the middle of
# the item's first data block payload.
flip_data() {
  python3 - "$@" <<'PY'
import struct, subprocess, sys
package, item, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = bytearray(open(package, 'rb').read())
count = struct.unpack_from('<I', data, len(data) - 4)[0]
table = len(data) - 4 - 12 * count
low, high, size = struct.unpack_from('<III', data, table + 12 * (item - 1))
cab = low | high << 32
assert data[cab:cab + 4] == b'MSCF'
first = cab + struct.unpack_from('<I', data, cab + 36)[0]  # folder 0's first CFDATA
payload = struct.unpack_from('<H', data, first + 4)[0]
data[first + 8 + payload // 2] ^= 0x01
open(out, 'wb').write(data)
PY
}

# The runtime cabinet: the first cabinet item.
runtime_item=$(python3 "$inspect" items "$package" | awk '$4 == "4d534346" {print $1; exit}')
component_item=$(python3 "$inspect" items "$package" | awk '$4 == "4d534346" {n++; if (n == 3) {print $1; exit}}')
echo "runtime cabinet: item $runtime_item, a component cabinet: item $component_item"

runtime_bad=$WT_DIR/pkg/LaufzeitKaputt.exe
flip_data "$package" "$runtime_item" "$runtime_bad"
wine_start "$runtime_bad"
text=$(box_answer 1 60)
echo "runtime cabinet damaged: $text"
check "a box names the failure" test -n "$text"
check "it is no success report" bash -c "! grep -qiE 'erfolgreich|success' <<<'$text'"
check "it names the damage" grep -qiE 'corrupt|besch' <<<"$text"
check "the wizard never shows" bash -c "! ui_wait 1200 5 >/dev/null 2>&1"
wine_wait_pid 60
check "nothing is installed" test ! -e "$dir"

component_bad=$WT_DIR/pkg/TeilKaputt.exe
flip_data "$package" "$component_item" "$component_bad"
wine_start "$component_bad"
demo_walk 501
text=$(box_answer 1 60)
echo "component cabinet damaged: $text"
check "the runtime shows message 1029" grep -q 'Das Setup - Programm ist besch' <<<"$text"
end_setup
installed=$(find "$dir" -type f 2>/dev/null | wc -l)
check_eq "no file of the package is installed" 0 "$installed"
ui_screenshot damaged-component.png
wine_test_finish
