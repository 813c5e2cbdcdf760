#!/usr/bin/env bash
# Install the demo package through its wizard, then remove it with the
# command its uninstall entry registers: afterwards the prefix's files and
# registry differ from before the install only by what the rules keep.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin install_roundtrip

demo_build
check_file "demo package built" "$package"

# The state a user sees: files outside Wine's own scratch places, and the
# registry trees an installation writes to.
snapshot() {  # snapshot NAME
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o \
    -path ./windows/logs -prune -o -print | sort) >"$WT_DIR/$1.files"
  : >"$WT_DIR/$1.reg"
  local key
  for key in 'HKLM\Software' 'HKCU\Software' 'HKCR\.notiz' 'HKCR\NotizblockPro.Notiz'; do
    timeout 120 wine reg export "$key" "$(wine_winpath "$WT_DIR/part.reg")" /y >/dev/null 2>&1 || continue
    # Keys with their values, without Wine's own bookkeeping (its settings
    # tree, whose volatile keys go with every session).
    iconv -f utf-16 -t utf-8 "$WT_DIR/part.reg" | tr -d '\r' |
      grep -v -e '^Windows Registry Editor' -e '^$' |
      awk '/^\[/ { wine = index($0, "[HKEY_CURRENT_USER\\Software\\Wine") == 1 } !wine' >>"$WT_DIR/$1.reg"
  done
  rm -f "$WT_DIR/part.reg"
}
wine_run 60 cmd /c exit
snapshot before

wine_start "$package"
check "the wizard walks to the summary" demo_walk 501
check "the finish page after the copy" ui_wait 521 120
ui_click 1
check "the install ends" wine_wait_idle 60
uninstall=$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5' \
  /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
echo "uninstall command: $uninstall"
check "the uninstall command is registered, its path quoted" grep -q '^"C:\\.*\\SETUP.EXE" ZETUREMOVE$' <<<"$uninstall"
program=$(sed 's/^"\([^"]*\)".*/\1/' <<<"$uninstall")
wine_start "$program" ZETUREMOVE
check "the uninstall question" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_box 30 | grep -q 'Notizblock Pro'"
ui_answer 6
check "the uninstall dialog" ui_wait 700 60
for i in $(seq 120); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
ui_screenshot uninstalled.png
check "everything went" ui_visible 701
ui_click 1
check "the uninstaller ends" wine_wait_idle 60
wine_run 60 cmd /c exit  # a new session: what waited for the restart is done
check "the folder remover's copy is gone after the restart" \
  test -z "$(find "$WINEPREFIX/drive_c" -iname 'ZETURFD.*' 2>/dev/null)"
snapshot after

diff "$WT_DIR/before.files" "$WT_DIR/after.files" >"$WT_DIR/files.diff"
diff "$WT_DIR/before.reg" "$WT_DIR/after.reg" >"$WT_DIR/reg.diff"
echo "--- files"; cat "$WT_DIR/files.diff"; echo "--- registry"; cat "$WT_DIR/reg.diff"
# What stays by the rules: the file type's key (kept, rule 0) without its
# value; the empty key of the shared-file counts; the empty vendor keys
# above the components' own keys (a component removes the key it names,
# not the parents it found or made).
unexpected_files=$(grep '^[<>]' "$WT_DIR/files.diff")
check_eq "no file or folder is left or lost" "" "$unexpected_files"
unexpected_reg=$(grep '^[<>]' "$WT_DIR/reg.diff" | grep -v -x -e '> \[HKEY_CLASSES_ROOT\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Classes\\.notiz\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\]' \
  -e '> \[HKEY_LOCAL_MACHINE\\Software\\Beispiel Software\]' -e '> \[HKEY_CURRENT_USER\\Software\\Beispiel Software\]')
check_eq "no registry key or value is left or lost" "" "$unexpected_reg"

wine_test_finish
