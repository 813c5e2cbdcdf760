#!/usr/bin/env bash
# A work folder that cannot be created shows message 1040 with the long
# spelling of the temporary path; a drive root shows as drive and
# backslash. Work folder names are random: "ZET" and sixteen hex digits,
# different on every run.
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

# Work folder names come from the system's random source: "ZET" and
# sixteen hex digits, a new one each run, nothing guessable from the clock.
fresh=$WT_DIR/fresh
mkdir -p "$fresh"
fresh_win=$(wine_winpath "$fresh")
for run in 1 2; do
  wine_run 300 "$PROBE" run "$fresh_win\\" 290 "$pkg_win"
  check_eq "run $run: the package ends with 0" 0 "$WT_RC"
  check "run $run: the runtime was started" wine_wait_for 30 grep -q 'ZETUFINST' "$KIT_LOG"
  check "run $run: the stand-in runtime ends when released" kit_release
  rm -f "$KIT_LOG"
done
mapfile -t names < <(find "$fresh" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
check_eq "two runs, two work folders" 2 "${#names[@]}"
check "both named ZET and sixteen upper-case hex digits" \
  bash -c "printf '%s\n' ${names[*]} | grep -cxE 'ZET[0-9A-F]{16}' | grep -qx 2"
check "the names differ beyond a counter" test "${names[0]:3:12}" != "${names[1]:3:12}"
kit_same "the runtime went into the first" "$KIT/runtime/_SETUP.EXE" "$fresh/${names[0]}/_SETUP.EXE"

wine_test_finish
