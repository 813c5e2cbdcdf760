#!/usr/bin/env bash
# Destinations the destination page must refuse: a drive that does not
# exist, a share, a drive letter alone, a path past the system's limit and
# invalid characters each give message 1026 with the path (the page drops
# one trailing backslash), and the page stays, answering, with the last
# accepted destination back in its field. A usable path then goes on to
# the create question.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin runtime_destination

cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_SOURCE_DIR/examples/sample" "$WT_DIR/sample"
package=$WT_DIR/Notizblock.exe
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/sample/sample.tbw")" \
  /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "sample package built" "$package"

# Q: must be a drive that does not exist.
rm -f "$WINEPREFIX/dosdevices/q:" "$WINEPREFIX/dosdevices/q::"

wine_start "$package"
check "welcome page appears" ui_wait 710 30
ui_click 1
check "licence page appears" ui_wait 25
ui_check 25
ui_click 1
check "destination page appears" ui_wait 715

long='C:\'$(printf 'Verzeichnis%.0s\\' $(seq 25))'Ende'
refused() {  # refused NAME PATH
  local name=$1 path=$2 box shown=${2%\\}
  ui_settext 715 "$path" >/dev/null
  ui_click 1 >/dev/null
  box=$(ui_box 15 | tr -d '\r')
  check "$name: a box comes up" grep -q . <<<"$box"
  check "$name: it is message 1026" grep -q 'Das angegebene Verzeichnis kann nicht erstellt werden' <<<"$box"
  check "$name: it names the path" grep -qF -- "\"$shown\"" <<<"$box"
  [ "$name" = "missing drive" ] && ui_screenshot missing-drive.png
  ui_answer 1 >/dev/null
  check "$name: the destination page stays" ui_wait 715 10
  check_eq "$name: the field holds the last accepted destination" 'C:\Program Files\Notizblock' \
    "$(ui_text 715 | tr -d '\r')"
}
refused "missing drive" 'Q:\Test'
refused "missing drive, deeper" 'Q:\Test\Teil\'
refused "root of a missing drive" 'Q:\'
refused "root of an existing drive" 'C:\'
refused "share" '\\server\share\Test'
refused "drive letter alone" 'C:'
refused "drive-relative" 'C:Test'
refused "relative" 'Test\Teil'
refused "too long" "$long"
refused "invalid characters" 'C:\Pro*gramme'

# The page still works: a path it takes goes on to the create question;
# Cancel there keeps the page too.
ui_settext 715 'C:\Gut\' >/dev/null
ui_click 1 >/dev/null
box=$(ui_box 15 | tr -d '\r')
check "a usable path gets the create question" grep -q 'existiert nicht' <<<"$box"
ui_answer 2 >/dev/null
check "after Cancel the destination page stays" ui_wait 715 10
check "nothing was created" test ! -e "$WINEPREFIX/drive_c/Gut"

ui_click 2
check "the cancel question appears" ui_wait 710 10 --title Setup
ui_click 1 --title Setup
check "Setup ends on Cancel" wine_wait_idle 60

wine_test_finish
