#!/usr/bin/env bash
# A package unpacks its runtime into a fresh work folder and starts it:
# files, DOS times, the command line, the current folder, no waiting; the
# progress dialog; items at unaligned offsets and in any order, also on the
# 9x family; a second start while a first runs, or while the runtime runs,
# ends silently.
source "$TW_HARNESS"
wine_test_begin dispatcher_unpack
source "$TW_DISPATCHER_KIT/package_kit.sh"

check "runtime cabinet made" kit_setup
check "dispatcher bound with rsrc" kit_bind product

# Small, and bound at load time to KERNEL32 alone: USER32 comes by its full
# path once the DLL search is restricted.
imports=$(i686-w64-mingw32-objdump -p "$TW_DIST/ZETUBODY.EXE" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
check_eq "imports only kernel32 at load time" "KERNEL32.DLL " "$imports"
bound_size=$(stat -c %s "$KIT/bound-product.exe")
echo "ZETUBODY.EXE: $(stat -c %s "$TW_DIST/ZETUBODY.EXE") bytes, with the package resources bound: $bound_size bytes"
check "the bound dispatcher stays within 36864 bytes" test "$bound_size" -le 36864
KIT_BOUND=$KIT/bound-product.exe kit_package plain setup
pkg=$KIT/pkgs/plain/setup.exe
pkg_win=$(wine_winpath "$pkg")
dialog=$WT_DIR/dialog.txt

# First start: look at the dialog while it works.
cd "$KIT/pkgs/plain" || exit 1
wine_start "$pkg"
first_pid=$WT_PID
wine_run 60 "$PROBE" dialog "$(wine_winpath "$dialog")" 30 20
check_eq "the progress dialog comes up" 0 "$WT_RC"
wine_screenshot progress.png
check "screenshot of the progress dialog" test -s "$WT_DIR/progress.png"

# A second start while the first shows its dialog.
before=$(kit_work_folders | wc -l)
wine_run 60 "$pkg"
check_eq "a second start ends with 0" 0 "$WT_RC"
wine_run 10 "$PROBE" dialog "$(wine_winpath "$WT_DIR/dialog-again.txt")" 1 0
check_eq "the first dialog is still up after the second ended" 0 "$WT_RC"
check "the second start made no work folder" test "$(kit_work_folders | wc -l)" -le "$before"

WT_PID=$first_pid
wine_wait_pid 120
check_eq "the dispatcher ends with 0 without waiting for the runtime" 0 "$WT_RC"
check "the runtime was started" wine_wait_for 30 grep -q ZETUFINST "$KIT_LOG"
check "the runtime is still running when the dispatcher has ended" \
  bash -c "! grep -q released '$KIT_LOG'"

# What the dialog showed.
check_eq "dialog caption" " Setup" "$(kit_field caption "$dialog")"
text=$(kit_dialog_text "$dialog")
check_eq "the product name as application makes the text start with Setup" \
  "text=Setup  bereitet die Installation von
tAMBLEwright vor. Einen Moment bitte..." "$text"
check_eq "bar range" "0 100" "$(kit_field range "$dialog")"
check "bar reached the first stage" test "$(kit_field pos "$dialog")" -ge 20
check_eq "the dialog has no owner" 0 "$(kit_field owner "$dialog")"
read -r x y w h <<<"$(kit_field rect "$dialog")"
read -r sw sh <<<"$(kit_field screen "$dialog")"
check_eq "dialog centred" "$((sw / 2 - w / 2)) $((sh / 2 - h / 2))" "$x $y"
# On the screen: icon group 1 (yellow) as the caption's class icon, icon
# group 2 (green) inside, the bar's blue, the dark text.
check "class icon in the caption" test "$(kit_pixels "$WT_DIR/progress.png" "${w}x24+$x+$y" '#f0c020')" -ge 40
check "dialog icon inside" test "$(kit_pixels "$WT_DIR/progress.png" "60x60+$x+$((y + 24))" '#208040')" -ge 200
check "text drawn" test "$(kit_pixels "$WT_DIR/progress.png" "${w}x50+$((x + 50))+$((y + 30))" '#000000')" -ge 300

# The work folder and what is in it.
mapfile -t folders < <(kit_work_folders)
check_eq "one work folder" 1 "${#folders[@]}"
work=$KIT_TEMP/${folders[0]:-none}
check "work folder named ZET and sixteen upper-case hex digits" \
  grep -qxE 'ZET[0-9A-F]{16}' <<<"${folders[0]:-}"
kit_same "CABINET.DLL written from item 1" "$TW_DIST/CABINET.DLL" "$work/CABINET.DLL"
kit_same "CABXPD32.DLL written from item 2" "$TW_DIST/CABXPD32.DLL" "$work/CABXPD32.DLL"
kit_same "_SETUP.DLL extracted into the work folder" "$KIT/runtime/_SETUP.DLL" "$work/_SETUP.DLL"
kit_same "_SETUP.EXE extracted into the work folder" "$KIT/runtime/_SETUP.EXE" "$work/_SETUP.EXE"
kit_same "ZETURFD.EXE extracted into the temporary path" "$KIT/runtime/ZETURFD.EXE" "$KIT_TEMP/ZETURFD.EXE"
check "ZETURFD.EXE not in the work folder" test ! -e "$work/ZETURFD.EXE"
check_eq "_SETUP.DLL carries the cabinet's time" "$(kit_epoch "$KIT_TIME_DLL")" "$(kit_mtime "$work/_SETUP.DLL")"
check_eq "_SETUP.EXE carries the cabinet's time" "$(kit_epoch "$KIT_TIME_EXE")" "$(kit_mtime "$work/_SETUP.EXE")"
check_eq "ZETURFD.EXE carries the cabinet's time" "$(kit_epoch "$KIT_TIME_RFD")" "$(kit_mtime "$KIT_TEMP/ZETURFD.EXE")"

# How the runtime was started.
work_win=$KIT_TEMP_WIN\\${folders[0]:-none}
check_eq "runtime command line" "\"$work_win\\_Setup.exe\" ZETUFINST \"$pkg_win\"" \
  "$(kit_field cmdline "$KIT_LOG")"
check_eq "runtime's current folder is the work folder" "$work_win" "$(kit_field cwd "$KIT_LOG")"

# While the runtime runs (its "Setup" window is up) a new start is silent.
wine_run 60 "$pkg"
check_eq "a start while the runtime runs ends with 0" 0 "$WT_RC"
check_eq "and makes no work folder" 1 "$(kit_work_folders | wc -l)"
check "the stand-in runtime ends when released" kit_release

# run_variant NAME: runs package NAME and checks its unpacked files.
run_variant() {
  local name=$1 p=$KIT/pkgs/$1/setup.exe
  rm -f "$KIT_LOG" "$KIT_TEMP/ZETURFD.EXE"
  local before; before=$(kit_work_folders)
  (cd "$KIT/pkgs/$name" && wine_run 120 "$p" && exit "$WT_RC")
  check_eq "$name: dispatcher ends with 0" 0 "$?"
  local new; new=$(comm -13 <(echo "$before") <(kit_work_folders))
  check_eq "$name: one new work folder" 1 "$(grep -c . <<<"$new")"
  local w=$KIT_TEMP/$new
  kit_same "$name: CABINET.DLL" "$TW_DIST/CABINET.DLL" "$w/CABINET.DLL"
  kit_same "$name: CABXPD32.DLL" "$TW_DIST/CABXPD32.DLL" "$w/CABXPD32.DLL"
  kit_same "$name: _SETUP.DLL" "$KIT/runtime/_SETUP.DLL" "$w/_SETUP.DLL"
  kit_same "$name: _SETUP.EXE" "$KIT/runtime/_SETUP.EXE" "$w/_SETUP.EXE"
  kit_same "$name: ZETURFD.EXE in the temporary path" "$KIT/runtime/ZETURFD.EXE" "$KIT_TEMP/ZETURFD.EXE"
  check "$name: runtime started" wine_wait_for 30 grep -q "ZETUFINST" "$KIT_LOG"
  check "$name: stand-in released" kit_release
}

# Items at offsets that are no multiple of the allocation granularity (odd
# filler before each), bodies stored last item first, and a runtime cabinet
# whose remover comes before the runtime's files.
KIT_BOUND=$KIT/bound-product.exe kit_package unaligned setup --pad 3
run_variant unaligned
KIT_BOUND=$KIT/bound-product.exe kit_package reversed setup --reverse --pad 4097
run_variant reversed
KIT_BOUND=$KIT/bound-product.exe KIT_CAB=$KIT/runtime-reversed.cab kit_package cab-order setup
run_variant cab-order

# The same on a system of the 9x family.
check "Windows 98 set" wine_set_version win98
KIT_BOUND=$KIT/bound-product.exe kit_package win98 setup --pad 1
run_variant win98
check "Windows XP set" wine_set_version winxp

# Another application name leaves the template's start as it is.
check "dispatcher bound with another name" kit_bind other
KIT_BOUND=$KIT/bound-other.exe kit_package other setup
rm -f "$KIT_LOG"
cd "$KIT/pkgs/other" || exit 1
wine_start "$KIT/pkgs/other/setup.exe"
wine_run 60 "$PROBE" dialog "$(wine_winpath "$WT_DIR/dialog-other.txt")" 30 10
check_eq "the other package's dialog comes up" 0 "$WT_RC"
wine_screenshot progress-other.png
text=$(kit_dialog_text "$WT_DIR/dialog-other.txt")
check_eq "another name keeps the template's start" \
  "text=Tamblewright© bereitet die Installation von
Zeichenprogramm Müller 3.1 vor. Einen Moment bitte..." "$text"
wine_wait_pid 120
check_eq "the other package's dispatcher ends with 0" 0 "$WT_RC"
check "its runtime is released" kit_release

wine_test_finish
