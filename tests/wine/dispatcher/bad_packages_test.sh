#!/usr/bin/env bash
# Bad packages end in the general-failure box, never a crash or a hang:
# tables no builder writes, a damaged runtime cabinet, a CABXPD32.DLL item
# with 32 bytes overwritten (refused by its bound checksum before it is
# written or loaded), a runtime that cannot be started, the bare template.
# Afterwards the work folder of the run is gone again.
source "$TW_HARNESS"
wine_test_begin dispatcher_bad_packages
source "$TW_DISPATCHER_KIT/package_kit.sh"

check "runtime cabinet made" kit_setup
check "dispatcher bound with rsrc" kit_bind product
export KIT_BOUND=$KIT/bound-product.exe

# expect_failure_box NAME PACKAGE: the run shows the "Setup" box with a
# real error text, ends with 0 once it is closed, and leaves nothing.
expect_failure_box() {
  local name=$1 pkg=$2 out=$WT_DIR/box-$1.txt
  local before; before=$(kit_work_folders)
  cd "$(dirname "$pkg")" || return 1
  wine_start "$pkg"
  wine_run 90 "$PROBE" box "$(wine_winpath "$out")" 60
  check_eq "$name: failure box shown" 0 "$WT_RC"
  wine_run 30 "$PROBE" uncover 30
  check "$name: the box is drawn on the screen" wine_wait_for 20 kit_box_drawn "box-$name.png"
  local text; text=$(kit_utf8 "$out" 2>/dev/null | tr -d '\r' | kit_field text /dev/stdin)
  echo "$name: box text: $text"
  check "$name: the box names an error" test -n "$text"
  check "$name: the box does not report success" bash -c "! grep -qiE '^(success|the operation completed successfully)' <<<'$text'"
  check_eq "$name: the box has no owner" 0 "$(kit_field owner "$out")"
  wine_run 30 "$PROBE" close 30
  check_eq "$name: the box can be closed" 0 "$WT_RC"
  wine_wait_pid 60
  check_eq "$name: the dispatcher ends with 0, no crash, no hang" 0 "$WT_RC"
  check_eq "$name: its work folder is removed again" "$before" "$(kit_work_folders)"
  check "$name: the runtime was never started" test ! -e "$KIT_LOG"
}

for fault in count-zero count-past-file count-truncated two-records \
             record-past-end record-overlaps-table runtime-empty \
             runtime-not-cabinet runtime-truncated runtime-corrupt cabxpd-overwritten; do
  kit_package "$fault" setup --fault "$fault"
  expect_failure_box "$fault" "$KIT/pkgs/$fault/setup.exe"
done

check "cabxpd-overwritten: the box says the file is damaged" \
  grep -qi 'corrupt' <(kit_utf8 "$WT_DIR/box-cabxpd-overwritten.txt" 2>/dev/null)

# A runtime that cannot be started: its files are taken back, the remover
# in the temporary path too.
rm -f "$KIT_TEMP/ZETURFD.EXE"
KIT_CAB=$KIT/runtime-not-startable.cab kit_package not-startable setup
expect_failure_box not-startable "$KIT/pkgs/not-startable/setup.exe"
check "not-startable: the remover is taken back from the temporary path" test ! -e "$KIT_TEMP/ZETURFD.EXE"

# The bare template: no dialog to show, no table to read.
mkdir -p "$KIT/pkgs/template"
cp "$TW_DIST/ZETUBODY.EXE" "$KIT/pkgs/template/ZETUBODY.EXE"
expect_failure_box template "$KIT/pkgs/template/ZETUBODY.EXE"

check "screenshot of a failure box over the progress dialog" test -s "$WT_DIR/box-runtime-corrupt.png"
wine_test_finish
