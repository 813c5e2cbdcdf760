#!/usr/bin/env bash
# The memory pseudo-file and the entry points as the callers meet them:
# registration and release, refusal while a handle is open, aborts, skips,
# empty and cut images, bare names, over-long paths, the stdcall exports.
source "$TW_HARNESS"
source "$(dirname "$0")/make_cabinets.sh"
wine_test_begin cabxpd32_memory_rules

probe=${TW_CABXPD_PROBE:?TW_CABXPD_PROBE is not set}
data=$WT_DIR/data
mkdir -p "$data/out"
check "gcab-makes-cabinets" make_cabinets "$data"
dll=$(wine_winpath "$TW_DIST/CABXPD32.DLL")

for cab in zip plain; do
  wine_run 240 "$probe" "$dll" checks "$(wine_winpath "$data/$cab.cab")" \
    "$(wine_winpath "$data/out")" >"$WT_DIR/$cab.log" 2>&1
  tr -d '\r' <"$WT_DIR/$cab.log" >"$WT_DIR/$cab.out"
  check_eq "$cab-probe-ends-cleanly" 0 "$WT_RC"
  while read -r verdict name detail; do
    case $verdict in
      ok) check_eq "$cab-$name" ok ok ;;
      bad) check_eq "$cab-$name" ok "bad: $detail" ;;
      info) echo "$cab: $name $detail" ;;
    esac
  done <"$WT_DIR/$cab.out"
  # Every check ran: a probe that died half-way reports fewer.
  check_eq "$cab-all-checks-reported" 21 "$(grep -cE '^(ok|bad) ' "$WT_DIR/$cab.out")"
done

wine_test_finish
