#!/usr/bin/env bash
# The demo package against what goes wrong: a file where a component's
# folder belongs, a damaged cabinet, an item table that lacks a component's
# record, a full destination drive, and a file in use in the 9x family.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin install_faults

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
inspect=$TW_SOURCE_DIR/tests/wine/build/inspect_package.py
# Once a run has left SETUP.DLL in the folder, page 206 asks whether to
# take the network type (1031): No.
WALK_AFTER_TYPE=network_question_no

# run_until_box PACKAGE TYPE: walks the wizard as far as it goes, answers
# the box it ends with (OK) and waits for the end; the box's text is in
# $WT_DIR/box.txt.
run_until_box() {
  wine_start "$1"
  demo_walk "$2"
  box_answer 1 60 >"$WT_DIR/box.txt"
  end_setup
}

# A file named like the folder of the uncompressed component.
mkdir -p "$dir"
echo "im Weg" >"$dir/Roh"
run_until_box "$package" 501; text=$(cat "$WT_DIR/box.txt")
echo "blocked: $text"
check "a folder blocked by a file gives message 1024" grep -q 'eine Datei mit demselben Namen existiert' <<<"$text"
check "naming the blocked path" grep -qF 'C:\Program Files\Beispiel Software\Notizblock Pro\Roh' <<<"$text"
check "the file in the way is left alone" grep -qx 'im Weg' "$dir/Roh"
rm -f "$dir/Roh"

# A damaged cabinet: the tool library's cabinet loses its signature.
damaged=$WT_DIR/pkg/Beschaedigt.exe
cp "$package" "$damaged"
offset=$(python3 "$inspect" items "$damaged" | awk '$1 == 5 {print $2}')
printf 'XXXX' | dd of="$damaged" bs=1 seek="$offset" conv=notrunc 2>/dev/null
run_until_box "$damaged" 501; text=$(cat "$WT_DIR/box.txt")
echo "damaged: $text"
check "a damaged cabinet gives message 1029" grep -q 'Das Setup - Programm ist besch' <<<"$text"
ui_screenshot damaged.png

# An item table one record short: the last component has no cabinet.
short=$WT_DIR/pkg/Kurz.exe
python3 - "$package" "$short" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<I', data, len(data) - 4)[0]
table = data[len(data) - 4 - 12 * n:len(data) - 4]
open(sys.argv[2], 'wb').write(data[:len(data) - 4 - 12 * n] + table[:-12] + struct.pack('<I', n - 1))
PY
run_until_box "$short" 501; text=$(cat "$WT_DIR/box.txt")
echo "short: $text"
check "a missing cabinet record gives message 1029" grep -q 'Das Setup - Programm ist besch' <<<"$text"
check "nothing of the missing component is installed" test ! -e "$WINEPREFIX/drive_c/Program Files/Common Files/Beispiel Software/gemeinsam.dll"

# A full destination drive: a small memory file system as drive T:.
small=$WT_DIR/small
mkdir -p "$small"
if mount -t tmpfs -o size=1m tmpfs "$small" 2>/dev/null; then
  ln -sfn "$small" "$WINEPREFIX/dosdevices/t:"
  dd if=/dev/zero of="$small/filler" bs=64k 2>/dev/null
  full_walk() {  # to the type page with T:\Demo as destination
    ui_wait 1200 60 >/dev/null && ui_click 1 && ui_wait 710 >/dev/null && ui_click 1 &&
      ui_wait 25 >/dev/null && ui_check 25 && ui_click 1 && ui_wait 301 >/dev/null && ui_click 1 &&
      ui_wait 302 >/dev/null && ui_settext 301 "Erika" && ui_settext 302 "Muster AG" && ui_click 1 &&
      ui_wait 715 >/dev/null && ui_settext 715 'T:\Demo' && ui_click 1 || return 1
    box_answer 6 10 >/dev/null  # create the folder
    ui_wait 501 >/dev/null && ui_check 501 && ui_click 1 || return 1
    network_question_no
  }
  wine_start "$package"
  check "walk to the type page with drive T:" full_walk
  text=$(ui_box 30 | tr -d '\r')
  check "the check pass finds the drive full: message 1028" grep -q 'nicht genügend Speicherplatz' <<<"$text"
  ui_screenshot disk-full.png
  rm -f "$small/filler"
  ui_answer 4  # Retry, with room now
  check "Retry after space was freed goes on" ui_wait 303 30
  ui_click 2
  check "the cancel question" ui_wait 710 10 --title Setup
  ui_click 1 --title Setup
  check "Setup ends" wine_wait_idle 30
  end_setup

  # Abort goes back to the page, where another drive can be chosen.
  dd if=/dev/zero of="$small/filler" bs=64k 2>/dev/null
  wine_start "$package"
  check "walk again with a full drive" full_walk
  check "message 1028 again" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_box 30 | grep -q 'Speicherplatz'"
  ui_answer 3  # Abort
  check "Abort stays on the type page" ui_wait 501 10
  check "and copies nothing" test ! -e "$small/Demo/notiz.txt"
  ui_click 2
  ui_click 1 --title Setup
  check "Cancel then ends Setup" wine_wait_idle 30
  end_setup

  # Ignore lets the copy start; the drive is full at its first file.
  wine_start "$package"
  check "walk a third time" full_walk
  check "message 1028 a third time" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_box 30 | grep -q 'Speicherplatz'"
  ui_answer 5  # Ignore
  ui_wait 303 30 >/dev/null && ui_click 1 && ui_wait 301 >/dev/null && ui_click 1
  text=$(ui_box 60 | tr -d '\r')
  echo "full copy: $text"
  check "the copy ends with the system's message" grep -q 'Win32-Fehler. Code: 112' <<<"$text"
  ui_answer 1
  text=$(ui_box 30 | tr -d '\r')
  check "and then that nothing was changed" grep -q 'Es wurden keine Änderungen vorgenommen' <<<"$text"
  ui_answer 1
  check "and the runtime ends without a crash" wine_wait_idle 30
  end_setup
  rm -f "$WINEPREFIX/dosdevices/t:"
  umount "$small"
elif [ "${CI:-}" = true ]; then
  # CI runs as root: a mount that fails there is a fault of the job, not a
  # reason to leave the disk-full checks out unnoticed.
  check "a small drive for the disk-full checks can be mounted (tmpfs)" false
else
  echo "SKIP: a small drive needs a tmpfs mount, which this machine does not allow"
fi

# The 9x family: a file in use is replaced through WININIT.INI.
wine_set_version win98
wine_start "$package"
check "win98: first install" demo_walk 501
check "win98: finish page" ui_wait 521 120
ui_click 1
wine_wait_idle 60
release=$WT_DIR/release
wine "$TW_TEST_TOOLS/hold_file.exe" "$(wine_winpath "$dir/notiz.txt")" "$(wine_winpath "$release")" &
holder=$!
sleep 2
wine_start "$package"
box_answer 7 30 >/dev/null
check "win98: second install" demo_walk 501
check "win98: the restart page" ui_wait 513 120
# Read before a new Wine session carries the renames out.
ini=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname wininit.ini | head -1)
check_file "WININIT.INI is written" "$ini"
tr -d '\r' <"$ini" 2>/dev/null
check "it has the Rename section" grep -qi '^\[Rename\]' "$ini"
# The 9x family reads the lines before long names exist: both names are
# short (8.3) names, every level of them.
level='[^\\ =]{1,8}(\.[^\\ =]{1,3})?'
check "with the replacement of the file in use, in short names" \
  grep -qiE "^C:(\\\\$level)*\\\\notiz\.txt=C:(\\\\$level)*\\\\notiz\.tx_"$'\r?$' "$ini"
check "and no long name in it" bash -c "! grep -qi 'Program Files' '$ini'"
ui_click 513
ui_click 1
touch "$release"
wait "$holder" 2>/dev/null
wine_wait_idle 60

wine_test_finish
