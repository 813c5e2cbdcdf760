# Shared steps of the install tests: the demo package and a walk through
# its wizard; source after the harness and the driver.
# shellcheck shell=bash

# demo_build: the demo package in $WT_DIR/pkg with its uncompressed files
# beside it, as on a distribution medium. Sets package.
demo_build() {
  cp -r "$TW_DIST" "$WT_DIR/builder"
  cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
  mkdir -p "$WT_DIR/pkg/Roh"
  cp "$WT_DIR/demo/files/roh.dat" "$WT_DIR/pkg/Roh/"
  package=$WT_DIR/pkg/NotizblockPro.exe
  (cd "$WT_DIR" && timeout 180 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" \
    /out "$(wine_winpath "$package")" >/dev/null 2>&1)
}

# box_answer BUTTON [SECONDS]: answers a message box when one appears;
# prints its text.
box_answer() {
  local text
  text=$(ui_box "${2:-5}" 2>/dev/null | tr -d '\r')
  [ -n "$text" ] || return 1
  printf '%s\n' "$text"
  ui_answer "$1" >/dev/null
}

# network_question_no: answers No when page 206 asks whether to take the
# network type for the installation it found (1031); other boxes stay.
network_question_no() {
  local text
  text=$(ui_box 3 2>/dev/null | tr -d '\r')
  if grep -q 'Setup-Typ' <<<"$text"; then ui_answer 7 >/dev/null; fi
  return 0
}

# demo_walk TYPE-ID: the demo's pages from the welcome picture to the
# summary's Next, with the default destination and the given type.
demo_walk() {
  local type=$1
  ui_wait 1200 60 >/dev/null || return 1
  ui_click 1 && ui_wait 710 >/dev/null && ui_click 1 || return 1
  ui_wait 25 >/dev/null && ui_check 25 && ui_click 1 || return 1
  ui_wait 301 >/dev/null && ui_click 1 || return 1
  ui_wait 302 >/dev/null || return 1
  ui_settext 301 "Erika Mustermann" && ui_settext 302 "Muster AG" && ui_click 1 || return 1
  ui_wait 715 >/dev/null && ui_click 1 || return 1
  ui_wait 501 >/dev/null && ui_check "$type" && ui_click 1 || return 1
  [ -n "${WALK_AFTER_TYPE:-}" ] && $WALK_AFTER_TYPE
  if [ "$type" = 503 ]; then ui_wait 401 >/dev/null && ui_click 1 || return 1; fi
  ui_wait 303 >/dev/null && ui_click 1 || return 1
  ui_wait 301 >/dev/null && ui_click 1
}

# end_setup: when a failure left Setup on a page, Cancel and confirm, so
# that the next run starts in a quiet prefix.
end_setup() {
  wine_wait_idle 15 && return 0
  ui_click 2 >/dev/null 2>&1
  ui_click 1 --title Setup >/dev/null 2>&1
  wine_wait_idle 60
}

# The installation directory of the demo, as a Unix path.
demo_dir() { echo "$WINEPREFIX/drive_c/Program Files/Beispiel Software/Notizblock Pro"; }
