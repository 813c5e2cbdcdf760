# The state a user sees, for comparing a prefix before and after: files
# outside Wine's own scratch places (with their contents' checksums) and the
# registry trees an installation writes to. Source after the harness.
# shellcheck shell=bash

# state_snapshot NAME: $WT_DIR/NAME.files and $WT_DIR/NAME.reg.
state_snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o \
    -path ./windows/logs -prune -o -print0 | sort -z |
    while IFS= read -r -d '' f; do
      if [ -f "$f" ] && [ ! -L "$f" ]; then echo "$f $(md5sum <"$f" | cut -c1-32)"; else echo "$f"; fi
    done) >"$WT_DIR/$1.files"
  : >"$WT_DIR/$1.reg"
  local key
  for key in 'HKLM\Software' 'HKCU\Software' 'HKCR\.notiz' 'HKCR\NotizblockPro.Notiz'; do
    timeout 120 wine reg export "$key" "$(wine_winpath "$WT_DIR/part.reg")" /y >/dev/null 2>&1 || continue
    # Keys with their values, without Wine's own bookkeeping (its settings
    # and the system parameters it caches there while programs run).
    iconv -f utf-16 -t utf-8 "$WT_DIR/part.reg" | tr -d '\r' |
      grep -v -e '^Windows Registry Editor' -e '^$' |
      awk '/^\[/ { skip = $0 ~ /^\[HKEY_(CURRENT_USER|LOCAL_MACHINE)\\Software\\Wine(\\|\])/ } !skip' \
        >>"$WT_DIR/$1.reg"
  done
  rm -f "$WT_DIR/part.reg"
}

# state_unchanged LABEL BEFORE AFTER: one check each for files and registry,
# the differences printed.
state_unchanged() {
  diff "$WT_DIR/$2.files" "$WT_DIR/$3.files" >"$WT_DIR/$3.files.diff"
  diff "$WT_DIR/$2.reg" "$WT_DIR/$3.reg" >"$WT_DIR/$3.reg.diff"
  echo "--- $1: files"; cat "$WT_DIR/$3.files.diff"; echo "--- $1: registry"; cat "$WT_DIR/$3.reg.diff"
  check_eq "$1: every file and folder as before" "" "$(grep '^[<>]' "$WT_DIR/$3.files.diff")"
  check_eq "$1: every registry key and value as before" "" "$(grep '^[<>]' "$WT_DIR/$3.reg.diff")"
}

# build_project PROJECT PACKAGE: the builder on a project of $WT_DIR/demo.
build_project() {
  (cd "$WT_DIR" && timeout 300 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/$1")" \
    /out "$(wine_winpath "$2")" >/dev/null 2>&1)
}

# settled_screenshot FILE.png: the screen's true pixels (import reads them
# where xwd shows a box over a page black), kept once two captures 0.3 s
# apart agree, so that nothing half-painted is kept.
settled_screenshot() {
  local file=$WT_DIR/$1 next=$WT_DIR/.settled.png i diff
  for i in $(seq 20); do
    timeout 30 import -display "$DISPLAY" -window root "$file" 2>/dev/null || return 1
    sleep 0.3
    timeout 30 import -display "$DISPLAY" -window root "$next" 2>/dev/null || return 1
    diff=$(compare -metric AE "$file" "$next" null: 2>&1)
    [ "$diff" = 0 ] && break
  done
  rm -f "$next"
}
