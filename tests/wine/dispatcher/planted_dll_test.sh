#!/usr/bin/env bash
# DLLs planted beside a downloaded package, and in the folder it is started
# from, under every name the dispatcher or its libraries might look for,
# are never loaded; the package still unpacks and starts its runtime.
source "$TW_HARNESS"
wine_test_begin dispatcher_planted_dll
source "$TW_DISPATCHER_KIT/package_kit.sh"

check "runtime cabinet made" kit_setup
check "dispatcher bound with rsrc" kit_bind product
KIT_BOUND=$KIT/bound-product.exe kit_package downloads setup
downloads=$KIT/pkgs/downloads
marks=$WT_DIR/marks
mkdir -p "$marks"
export TW_PLANT_MARKS
TW_PLANT_MARKS=$(wine_winpath "$marks")

# Planted under the names of the DLLs the dispatcher loads (by full path)
# and of DLLs that system DLLs load by name. Wine takes its own build of a
# system DLL in preference to any file of that name; for the two DLLs the
# package carries and for two that system DLLs load by name (VERSION by the
# window manager's DLL, UXTHEME by the common controls) it is told to prefer
# files, so it searches like Windows does: a planted DLL that a search by
# name reached would be loaded.
names="CABINET CABXPD32 COMCTL32 WINMM VERSION UXTHEME DWMAPI MSIMG32 MSACM32"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;cabinet,cabxpd32,version,uxtheme=n,b"
for n in $names; do
  cp "$TW_DISPATCHER_TOOLS/planted.dll" "$downloads/$n.DLL"
done

# The planted DLL leaves its mark when loaded: proved once on purpose.
cat >"$KIT/loadprobe.c" <<'C'
#include <windows.h>
int main(int argc, char **argv) { return LoadLibraryA(argv[1]) ? 0 : 1; }
C
i686-w64-mingw32-gcc -o "$KIT/loadprobe.exe" "$KIT/loadprobe.c"
wine_run 60 "$KIT/loadprobe.exe" "$(wine_winpath "$downloads/CABINET.DLL")"
check "a planted DLL leaves a mark when it is loaded" test -e "$marks/CABINET.DLL.loaded"
rm -f "$marks"/*

cd "$downloads" || exit 1
wine_run 120 "$downloads/setup.exe"
check_eq "the package ends with 0" 0 "$WT_RC"
check "the runtime was started" wine_wait_for 30 grep -q ZETUFINST "$KIT_LOG"
loaded=$(ls "$marks")
check_eq "no planted DLL was loaded" "" "$loaded"
folder=$(kit_work_folders | head -1)
kit_same "the work folder's CABINET.DLL is item 1, not the planted one" \
  "$TW_DIST/CABINET.DLL" "$KIT_TEMP/$folder/CABINET.DLL"
check "the stand-in runtime ends when released" kit_release

wine_test_finish
