#!/usr/bin/env bash
# A profile that carries only the pages 201, 205, 209, 210 and 213 shows
# exactly these, with Back disabled on 201; the steps in between are
# skipped.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin runtime_pages

cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
python3 "$(dirname "$0")/tick_pages.py" "$WT_DIR/sample/sample.tbw" "$WT_DIR/sample/pages.tbw" 2 6 10 11 14
package=$WT_DIR/Seiten.exe
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/sample/pages.tbw")" \
  /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "package built" "$package"

wine_start "$package"
check "page 201 first" ui_wait 710 30
check "201 has no destination field" ui_absent 715
check "Back is disabled on 201" ui_disabled 12
ui_click 1
check "page 205 follows" ui_wait 715
check "no licence page came between" ui_absent 25
check "205 is not the setup type page" ui_absent 501
check "Back is enabled on 205" ui_enabled 12
ui_click 1
check "page 209 follows: types, components and folder are skipped" ui_wait 301
check "209 is no folder page" ui_absent 303
summary=$(ui_text 301 | tr -d '\r')
check "the summary names the normal type" grep -qx $'\tNormal' <<<"$summary"
ui_screenshot summary.png
ui_click 1
check "page 210 copies, then 213 ends the sequence" ui_wait 521 60
check_file "the copy ran" "$WINEPREFIX/drive_c/Program Files/Notizblock/notiz.txt"
ui_click 1
# The runtime, then its folder remover, end by themselves.
check "the runtime and its folder remover end" wine_wait_idle 60

wine_test_finish
