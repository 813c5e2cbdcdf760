#!/usr/bin/env bash
# The background window on three resource DLLs: a blue gradient with a
# shadowed text title and a logo faded in at the bottom left (full screen,
# caption not draggable, closing cancels the current page); solid blue
# (full screen, sizeable) with a logo drawn at once on the first tick when
# there are no fade patterns; a stretched picture with a title picture faded in
# (plain window).
source "$TW_HARNESS"
wine_test_begin background_window
kit=$TW_BACKGROUND_KIT/background_kit.py
mods=$WT_DIR/modules
mkdir -p "$mods"

check "test pictures and resource scripts made" python3 "$kit" modules "$mods"
build_module() {
  (cd "$mods" && "$TW_WINDRES" -c 1252 -O coff "$1.rc" "$1.o" &&
    "$TW_MINGW_CC" -shared -nostdlib -Wl,-e,0 -o "$1.dll" "$1.o")
}

# Colour of screen pixel X,Y of a screenshot as RRGGBB.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
# The colours of an area W x H at X,Y, one RRGGBB a line.
colours() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -format %c histogram:info:- |
    sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p'
}
# The bounding box "W H X Y" of the pixels of colour C (RRGGBB) in an area.
box_of() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fill black +opaque "#$6" -format "%@" info: |
    sed 's/[x+]/ /g'
}
field() { sed -n "s/^$2=//p" "$1" | tr -d '\r'; }

# start_case NAME: the probe on NAME.dll, up to its first painting.
start_case() {
  report=$WT_DIR/$1.txt
  rm -f "$report" "$report.go" "$report.quit"
  wine_start "$TW_BACKGROUND_PROBE" "$(wine_winpath "$mods/$1.dll")" "$(wine_winpath "$report")" 60
  check "$1: the window is shown" wine_wait_for 30 grep -q '^shown' "$report"
  read -r X Y W H <<<"$(field "$report" client)"
}
# shot_until FILE X Y RRGGBB: a screenshot once pixel X,Y has that colour
# (or after 10 s), so that the server has drawn what the program drew.
shot_until() {
  local i
  for i in $(seq 50); do
    wine_screenshot "$1"
    [ "$(pixel "$WT_SHOT" "$2" "$3")" = "$4" ] && return 0
    sleep 0.2
  done
  return 0
}
tick() {
  touch "$report.go"
  check "$1: the first tick calls the hook" wine_wait_for 20 grep -q '^ticked' "$report"
}
end_case() {
  touch "$report.quit"
  wine_wait_pid 30
  check_eq "$1: the probe ends when the window is destroyed" 0 "$WT_RC"
}

# --- Gradient, text title, faded logo --------------------------------------
check "gradient module built" build_module gradient
start_case gradient
check_eq "gradient: full screen without a maximize box, topmost, maximized" \
  "maximizebox=0 topmost=1 maximized=1" "$(grep '^maximizebox' "$report" | tr -d '\r')"
check_eq "gradient: a caption hit is reported as a client hit" "hit=1 defhit=2" \
  "$(grep '^hit=' "$report" | tr -d '\r')"
right=$((X + W - 20))
shot_until gradient-before.png "$right" "$Y" 0000FF
before=$WT_SHOT
check_eq "gradient: top row is colour 1 (blue)" "$(python3 "$kit" band "$H" 0)" "$(pixel "$before" $right $Y)"
mid=$((H / 2))
check_eq "gradient: middle row has its band's colour" "$(python3 "$kit" band "$H" $mid)" \
  "$(pixel "$before" $right $((Y + mid)))"
check_eq "gradient: bottom row is colour 2 (dark blue)" "$(python3 "$kit" band "$H" $((H - 1)))" \
  "$(pixel "$before" $right $((Y + H - 1)))"
check_eq "gradient: bottom is 0x400000 as the scheme says" 000040 "$(pixel "$before" $right $((Y + H - 1)))"

# Title "Setup" at 36 pixels, layout code 2: its cell at (W - w - 10, 10),
# the shadow there and the white text 4 pixels up and left of it.
read -r tw th <<<"$(field "$report" titleext)"
shadow=$(field "$report" shadow)
check "gradient: the title has an extent" test "${tw:-0}" -gt 40 -a "${th:-0}" -ge 30
rx=$((X + W - tw - 40)); ry=$Y; rw=$((tw + 40)); rh=$((th + 20))
area=$(colours "$before" $rx $ry $rw $rh)
check "gradient: white title text before the first tick" grep -qx FFFFFF <<<"$area"
check "gradient: shadow in the 3D dark shadow colour" grep -qx "$shadow" <<<"$area"
read -r ww wh wx wy <<<"$(box_of "$before" $rx $ry $rw $rh FFFFFF)"
read -r sw sh sx sy <<<"$(box_of "$before" $rx $ry $rw $rh "$shadow")"
echo "title cell ${tw}x$th; white ink ${ww}x${wh}+$((rx + wx - X))+$((ry + wy - Y)), shadow ink ${sw}x${sh}+$((rx + sx - X))+$((ry + sy - Y)) in the client area"
check_eq "gradient: the shadow ends 4 pixels right of the white text" $((wx + ww + 4)) $((sx + sw))
check_eq "gradient: the shadow ends 4 pixels below the white text" $((wy + wh + 4)) $((sy + sh))
white_left=$((rx + wx - X)); white_top=$((ry + wy - Y)); cell_left=$((W - tw - 14))
check "gradient: the white text starts at its cell's left (W - w - 14, give or take the slant)" \
  test $((white_left - cell_left)) -ge -8 -a $((white_left - cell_left)) -le 8
check "gradient: the white text starts in the upper part of its cell (from row 6)" \
  test "$white_top" -ge 6 -a "$white_top" -lt $((6 + th / 2))
check "gradient: no white outside the title" \
  bash -c "! grep -qx FFFFFF <<<'$(colours "$before" $X $Y $((W - tw - 40)) $((H / 2)))'"

# Logo 60 x 40 at code 5 (bottom left, 10 px margins), faded in on the first tick.
lx=$((X + 10)); ly=$((Y + H - 40 - 10))
check_eq "gradient: the logo is not painted before the first tick" \
  "$(python3 "$kit" band "$H" $((H - 30)))" "$(pixel "$before" $((lx + 30)) $((ly + 20)))"
tick gradient
shot_until gradient-after.png $((lx + 30)) $((ly + 20)) FFFF00
after=$WT_SHOT
check_eq "gradient: the logo is there after the first tick" FFFF00 "$(pixel "$after" $((lx + 30)) $((ly + 20)))"
check_eq "gradient: logo's top-left corner at 10, H - 50" FFFF00 "$(pixel "$after" $((lx + 8)) $((ly + 8)))"
check_eq "gradient: the logo's key colour is not drawn" "$(python3 "$kit" band "$H" $((H - 48)))" \
  "$(pixel "$after" $((lx + 2)) $((ly + 2)))"
check "gradient: no key colour anywhere near the logo" \
  bash -c "! grep -qx FF00FF <<<'$(colours "$after" $((lx - 5)) $((ly - 5)) 70 50)'"
check_eq "gradient: beside the logo the gradient is untouched" "$(python3 "$kit" band "$H" $((H - 30)))" \
  "$(pixel "$after" $((lx + 75)) $((ly + 20)))"
end_case gradient
check_eq "gradient: closing with a page current cancels the page and keeps the window" \
  "close-kept=1 page-cancel=1" "$(grep -E '^(close-kept|page-cancel)' "$report" | tr -d '\r' | sort | tr '\n' ' ' | sed 's/ $//')"

# --- Solid colour ----------------------------------------------------------
check "solid module built" build_module solid
start_case solid
check_eq "solid: full screen and sizeable: maximize box, not topmost, maximized" \
  "maximizebox=1 topmost=0 maximized=1" "$(grep '^maximizebox' "$report" | tr -d '\r')"
check_eq "solid: the caption of a sizeable window stays a caption" "hit=2 defhit=2" \
  "$(grep '^hit=' "$report" | tr -d '\r')"
check "solid: a system colour change reaches the hook" grep -q '^colours-changed' "$report"
shot_until solid.png $((X + 5)) $((Y + H - 5)) 0000FF
check_eq "solid: one colour over the whole client area (code 6, blue)" 0000FF \
  "$(colours "$WT_SHOT" "$X" "$Y" "$W" "$H" | tr '\n' ' ' | sed 's/ $//')"
# Logo at code 4 (bottom right), faded in on the first tick; without
# bitmap 104 it is drawn at once.
lx=$((X + W - 60 - 10)); ly=$((Y + H - 40 - 10))
tick solid
shot_until solid-after.png $((lx + 30)) $((ly + 20)) FFFF00
check_eq "solid: the logo is at the bottom right after the first tick" FFFF00 \
  "$(pixel "$WT_SHOT" $((lx + 30)) $((ly + 20)))"
check_eq "solid: the logo's key colour is left out" 0000FF "$(pixel "$WT_SHOT" $((lx + 2)) $((ly + 2)))"
check_eq "solid: the logo's inner corners are 10 + 8 pixels from the edges" "FFFF00 FFFF00" \
  "$(pixel "$WT_SHOT" $((X + W - 19)) $((Y + H - 19))) $(pixel "$WT_SHOT" $((lx + 8)) $((ly + 8)))"
end_case solid

# --- Stretched picture, title picture faded in -----------------------------
check "picture module built" build_module picture
start_case picture
check_eq "picture: a plain window: no maximize box, not topmost, not maximized" \
  "maximizebox=0 topmost=0 maximized=0" "$(grep '^maximizebox' "$report" | tr -d '\r')"
check_eq "picture: a caption hit of the plain window is reported as a client hit" "hit=1 defhit=2" \
  "$(grep '^hit=' "$report" | tr -d '\r')"
echo "picture: client ${W}x$H at $X,$Y"
cx=$((X + W * 3 / 4))
shot_until picture-before.png "$cx" $((Y + H * 3 / 10)) "$(python3 "$kit" stretch "$W" "$H" $((H * 3 / 10)))"
before=$WT_SHOT
for row in $((H / 10)) $((H * 3 / 10)) $((H / 2)) $((H - 3)); do
  check_eq "picture: row $row shows the part of the picture that keeps the aspect" \
    "$(python3 "$kit" stretch "$W" "$H" $row)" "$(pixel "$before" $cx $((Y + row)))"
done
check_eq "picture: the title picture waits for the first tick" FF8000 "$(pixel "$before" $((X + 60)) $((Y + 25)))"
tick picture
shot_until picture-after.png $((X + 60)) $((Y + 25)) 800080
after=$WT_SHOT
check_eq "picture: the title picture is faded in at 0, 0" 800080 "$(pixel "$after" $((X + 60)) $((Y + 25)))"
check_eq "picture: its inner corner at 6, 6" 800080 "$(pixel "$after" $((X + 6)) $((Y + 6)))"
check_eq "picture: its key colour is left out" FF8000 "$(pixel "$after" $((X + 2)) $((Y + 2)))"
check "picture: no key colour anywhere" bash -c "! grep -qx 00FFFF <<<'$(colours "$after" "$X" "$Y" 130 60)'"
end_case picture

wine_test_finish
