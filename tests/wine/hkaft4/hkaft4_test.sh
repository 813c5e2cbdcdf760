#!/usr/bin/env bash
# HKAFT4's after-install hook: nothing on the NT family; on Windows 95-class
# systems msvcrt.dll is copied only when missing, the question is asked with
# its exact text, and "Yes" runs the installer with the quiet switch and the
# temporary folder.
set -u
source "$TW_HARNESS"
wine_test_begin hkaft4_after_install

src=$WT_DIR/medium
sys=$WT_DIR/system
mkdir -p "$src/MSGRAY95" "$sys"
printf 'msvcrt from the medium' >"$src/MSGRAY95/msvcrt.dll"
cp "$TW_HKAFT4_RECORDER" "$src/MSGRAY95/W95GRAY.EXE"
src_win=$(wine_winpath "$src")
sys_win=$(wine_winpath "$sys")
dll=$(wine_winpath "$TW_DIST/HKAFT4.DLL")
question='Für die Darstellung der Straßennamen in den Luftbildern muß Schriftenglättung'

probe() {  # probe ANSWER: runs the hook; result in $WT_DIR/out.txt (UTF-8)
  rm -f "$WT_DIR/out.raw"
  wine_run 60 "$TW_HKAFT4_PROBE" "$dll" "$src_win" "$sys_win" "$1" "$(wine_winpath "$WT_DIR")\\out.raw"
  iconv -f cp1252 -t utf-8 "$WT_DIR/out.raw" >"$WT_DIR/out.txt" 2>/dev/null || true
}

wine_set_version win7
probe none
check_eq "NT family: probe ran" 0 "$WT_RC"
check "NT family: result 0" grep -qx 'result 0' "$WT_DIR/out.txt"
check "NT family: nothing copied" test ! -e "$sys/msvcrt.dll"

wine_set_version win98
probe no
check "9x, No: result 0" grep -qx 'result 0' "$WT_DIR/out.txt"
check "9x: the question's exact text" grep -qF "box $question" "$WT_DIR/out.txt"
check "9x: missing msvcrt.dll copied from the medium" grep -qx 'msvcrt from the medium' "$sys/msvcrt.dll"
check "9x, No: installer not started" test ! -e "$src/MSGRAY95/ran.txt"

printf 'the system own msvcrt' >"$sys/msvcrt.dll"
probe yes
check "9x, Yes: result 1" grep -qx 'result 1' "$WT_DIR/out.txt"
check "9x: an existing msvcrt.dll is kept" grep -qx 'the system own msvcrt' "$sys/msvcrt.dll"
check_file "9x, Yes: installer started" "$src/MSGRAY95/ran.txt"
check "installer got the quiet switch and the temporary folder" \
  grep -qE 'W95GRAY\.EXE /Q /T:[A-Z]:\\.*\\$' "$src/MSGRAY95/ran.txt"

wine_test_finish
