#!/usr/bin/env bash
# A work folder that cannot be created shows message 1040 with the long
# spelling of the temporary path; a drive root shows as drive and
# backslash. A name that exists, as folder or file, is never used: with
# every name taken message 1040 comes (no endless search), with one name
# free that one is used.
source "$TW_HARNESS"
wine_test_begin dispatcher_work_folder
source "$TW_DISPATCHER_KIT/package_kit.sh"

check "runtime cabinet made" kit_setup
check "dispatcher bound with rsrc" kit_bind product
KIT_BOUND=$KIT/bound-product.exe kit_package plain setup
pkg_win=$(wine_winpath "$KIT/pkgs/plain/setup.exe")

# A drive where nobody may make folders, not even root: /proc.
ln -sfn /proc "$WINEPREFIX/dosdevices/p:"

# expect_1040 NAME TEMP EXPECTED-PATH: the package run with TEMP shows
# message 1040 naming EXPECTED-PATH.
expect_1040() {
  local name=$1 temp=$2 expected=$3 out=$WT_DIR/box-$1.txt
  wine_start "$PROBE" run "$temp" 120 "$pkg_win"
  wine_run 90 "$PROBE" box "$(wine_winpath "$out")" 60
  check_eq "$name: message box shown" 0 "$WT_RC"
  check "$name: the box is drawn" wine_wait_for 20 kit_box_drawn "box-$name.png"
  local text; text=$(kit_utf8 "$out" | tr -d '\r' | sed -n '/^text=/,/^owner=/p' | sed '$d')
  check_eq "$name: message 1040 with the long path" \
    "text=Tamblewright kann die Installationsumgebung nicht initialisieren! Der Systemordner
\"$expected\"
muß vor Installationsbeginn Rechte zum Erstellen von Unterverzeichnissen besitzen!
Bitte melden Sie sich als Administrator an oder ändern Sie die Ordnereinstellungen!" "$text"
  wine_run 10 "$PROBE" dialog "$(wine_winpath "$WT_DIR/no-dialog.txt")" 1 0
  check "$name: no progress dialog was shown" test "$WT_RC" != 0
  wine_run 30 "$PROBE" close 30
  wine_wait_pid 60
  check_eq "$name: the dispatcher ended with 0" 0 "$WT_RC"
}

# The search reports each name as the folder spells it: "sys", "kernel".
expect_1040 long-spelling 'P:\SYS\KERNEL\' 'P:\sys\kernel\'
expect_1040 drive-root 'P:\' 'P:\'
check "the runtime was never started" test ! -e "$KIT_LOG"

# A temporary folder in which every work folder name is taken: even numbers
# by folders, odd ones by files.
crowded=$WT_DIR/crowded
python3 - "$crowded" <<'PY'
import os, sys
base = sys.argv[1]
os.makedirs(base)
for n in range(0x10000):
    path = os.path.join(base, "ZET%04X" % n)
    if n % 2:
        open(path, "wb").close()
    else:
        os.mkdir(path)
PY
crowded_win=$(wine_winpath "$crowded")
expect_1040 every-name-taken "$crowded_win\\" "$crowded_win\\"
check_eq "no name was taken twice" 65536 "$(find "$crowded" -mindepth 1 -maxdepth 1 | wc -l)"
check_eq "nothing was written into a folder that was there" "" \
  "$(find "$crowded" -mindepth 2 | head -3)"

# One name left free, far from any the clock would give first.
rm "$crowded/ZETBEEF"
wine_run 300 "$PROBE" run "$crowded_win\\" 290 "$pkg_win"
check_eq "with one name free the package ends with 0" 0 "$WT_RC"
check "the free name became the work folder" test -d "$crowded/ZETBEEF"
kit_same "the runtime went into it" "$KIT/runtime/_SETUP.EXE" "$crowded/ZETBEEF/_SETUP.EXE"
check_eq "nothing went into the folders that were there" "" \
  "$(find "$crowded" -mindepth 2 ! -path "$crowded/ZETBEEF/*" | head -3)"
check "the runtime was started from it" wine_wait_for 30 grep -q 'ZETBEEF' "$KIT_LOG"
check "the stand-in runtime ends when released" kit_release

wine_test_finish
