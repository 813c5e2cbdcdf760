#!/usr/bin/env bash
# DLLs planted where the programs of an installation run are never loaded,
# with a Windows-like search order (Wine takes files before its own builds
# for these names): beside the package, in the installation folder while
# the installed SETUP.EXE runs for maintenance and removal, and in the
# temporary folder, where the removal continues in the uninstaller's copy.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin install_planted_dll

export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;cabinet,cabxpd32,version,uxtheme=n,b"
marks=$WT_DIR/marks
mkdir -p "$marks"
export TW_PLANT_MARKS
TW_PLANT_MARKS=$(wine_winpath "$marks")
# Names that system DLLs load by name on the programs' behalf (the shell,
# the common controls, themes) and the two DLLs a package carries.
names="VERSION UXTHEME COMCTL32 CABINET CABXPD32 MSIMG32 DWMAPI WINMM"
plant() {  # plant FOLDER
  local n
  for n in $names; do cp "$TW_PLANTED" "$1/$n.DLL"; done
}
# loaded: the marks left since the last call, which it clears, so that
# each step is judged on its own.
loaded() { ls "$marks" | tr '\n' ' '; rm -f "$marks"/*; }

demo_build
check_file "demo package built" "$package"
plant "$WT_DIR/pkg"
# The planted DLL leaves its mark when something does load it.
cat >"$WT_DIR/loadprobe.c" <<'C'
#include <windows.h>
int main(int argc, char **argv) { return LoadLibraryA(argv[1]) ? 0 : 1; }
C
i686-w64-mingw32-gcc -o "$WT_DIR/loadprobe.exe" "$WT_DIR/loadprobe.c"
wine_run 60 "$WT_DIR/loadprobe.exe" "$(wine_winpath "$WT_DIR/pkg/VERSION.DLL")"
check_eq "a planted DLL leaves a mark when it is loaded" "VERSION.DLL.loaded " "$(loaded)"

cd "$WT_DIR/pkg" || exit 1
wine_start "$package"
check "the wizard walks to the summary" demo_walk 501
check "the finish page after the copy" ui_wait 521 120
ui_click 1
check "the install ends" wine_wait_idle 60
check_eq "installing loaded no planted DLL" "" "$(loaded)"

uninstall=$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5' \
  /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
program=$(sed 's/^"\([^"]*\)".*/\1/' <<<"$uninstall")
folder=$(dirname "$(wine_unixpath "$program")")
check_file "the installed SETUP.EXE" "$folder/SETUP.EXE"
plant "$folder"
cd "$folder" || exit 1

# Maintenance, "update entries", from the installation folder.
wine_start "$program"
check "maintenance page appears" ui_wait 522 30
ui_click 1
if ui_wait 521 60 >/dev/null 2>&1; then ui_click 1; fi
check "the maintenance run ends" wine_wait_idle 60
check_eq "maintenance loaded no planted DLL" "" "$(loaded)"

# The removal: the question and the first steps in the installation
# folder, the rest in the copy in the temporary folder.
temp_win=$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp=$(wine_unixpath "$temp_win")
plant "$temp"
wine_start "$program" ZETUREMOVE
box=$(ui_box 30 | tr -d '\r')
check "the uninstall question" grep -q 'Notizblock Pro' <<<"$box"
ui_answer 6
check "the uninstall dialog" ui_wait 700 60
for i in $(seq 120); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
# The planted files are no part of the installation: its folder stays
# with them, and the dialog says that not everything could go.
check "the removal comes to its end" ui_enabled 1
check "the planted files kept the folder" ui_visible 702
ui_click 1
check "the uninstaller ends" wine_wait_idle 60
check "the removal ran from the temporary folder" test -z "$(find "$folder" -iname 'SETUP.EXE' 2>/dev/null)"
check_eq "the removal loaded no planted DLL" "" "$(loaded)"

cd "$WT_DIR" || exit 1
wine_test_finish
