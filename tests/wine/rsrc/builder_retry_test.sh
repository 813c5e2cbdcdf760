#!/usr/bin/env bash
# The builder starts the binder once more when a start comes back with the
# binder's usage code (its arguments did not arrive), says so on stderr, and
# stops the build with a message when the second start fails the same way.
source "$TW_HARNESS"
wine_test_begin rsrc_builder_retry
probe=${TW_RES_PROBE:?TW_RES_PROBE is not set}

# A builder folder whose rsrc.exe is the probe standing in for the binder:
# it logs each command line to starts.txt, fails its first start with code 2
# (every start while usage-always is there) and otherwise runs the real one.
builder=$WT_DIR/builder
cp -r "$TW_DIST" "$builder"
mv "$builder/rsrc.exe" "$builder/rsrc-real.exe"
cp "$probe" "$builder/rsrc.exe"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
mkdir -p "$WT_DIR/out"
project=$(wine_winpath "$WT_DIR/sample/sample.tbw")
out=$(wine_winpath "$WT_DIR/out")
check "paths-converted" test -n "$project" -a -n "$out"

build() {  # build NAME: the command-line build into out\NAME.exe; WT_RC, NAME.err (UTF-8)
  (cd "$WT_DIR" && timeout 120 wine "$builder/Tamblix.exe" /build "$project" /out "$out\\$1.exe" \
    >"$1.raw-out" 2>"$1.raw-err")
  WT_RC=$?
  iconv -f cp1252 -t utf-8 "$WT_DIR/$1.raw-err" | tr -d '\r' >"$WT_DIR/$1.err"
}
starts() { tr -d '\r' <"$builder/starts.txt"; }

build once
check_eq "retried-build-succeeds" 0 "$WT_RC"
check "retried-build-says-success" grep -q '^Installationsanwendung erfolgreich erzeugt:' "$WT_DIR/once.err"
check_eq "retry-noted-once" 1 "$(grep -c 'Befehlszeile nicht erhalten (Code 2), zweiter Start: rsrc "' "$WT_DIR/once.err")"
check_eq "binder-started-three-times" 3 "$(starts | grep -c .)"
check_eq "second-start-same-line" "$(starts | sed -n 1p)" "$(starts | sed -n 2p)"
check "first-binding-is-the-profile" grep -q '^rsrc ".*\\_SETUP.DLL" ".*\\_SETUP.RES"$' <<<"$(starts | sed -n 1p)"
# The package is bound under its temporary name beside out\once.exe.
check "then-the-package" grep -q '^rsrc ".*\\out\\TBW[0-9A-Fa-f]*\.tmp" ".*\\_ZETUBDY.RES"$' <<<"$(starts | sed -n 3p)"
check "package-bound-after-retry" grep -q '^#5 #100 ' \
  <<<"$(timeout 60 wine "$probe" list "$out\\once.exe" 2>/dev/null | tr -d '\r')"
check "profile-resource-file-removed" test ! -e "$builder/_SETUP.RES"

rm -f "$builder/starts.txt"
touch "$builder/usage-always"
build never
check_eq "failing-twice-stops-build" 1 "$WT_RC"
check_eq "failing-twice-two-starts" 2 "$(starts | grep -c .)"
check "failing-twice-said" grep -q 'Befehlszeile zweimal nicht erhalten (rsrc ".*_SETUP.DLL" ".*_SETUP.RES"). Erzeugung abgebrochen.' "$WT_DIR/never.err"

wine_test_finish
