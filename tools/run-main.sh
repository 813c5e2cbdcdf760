#!/usr/bin/env bash
# The main job: build every deliverable, build the sample package with the
# builder's command line, install it under Wine through its wizard (the UI
# driver presses the buttons a user would), show what it installed, and
# remove it again with the command its uninstall entry registers.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
mkdir -p build
echo "== host build"
cmake --preset host >build/host-configure.log
cmake --build --preset host -j "$jobs" >build/host-build.log
echo "== win32 build (deliverables in build/win32/dist)"
cmake --preset win32 >build/win32-configure.log
cmake --build --preset win32 -j "$jobs" >build/win32-build.log
ls -l build/win32/dist build/win32/dist/language

work=$root/build/main-job
rm -rf "$work"
mkdir -p "$work"
echo "== sample project (examples/sample/sample.tbw)"
build/host/tamblix dump examples/sample/sample.tbw >"$work/sample.json"
head -40 "$work/sample.json"
echo "   ... (the whole project: $work/sample.json)"
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
# cabinet=n,b: our CABINET.DLL beside the programs, not Wine's builtin.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;cabinet=n,b"
echo "== a Wine prefix for the run"
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
cp -r examples/sample "$work/sample"

echo "== building the sample package"
win() { wine winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
timeout 300 wine build/win32/dist/Tamblix.exe /build "$(win "$work/sample/sample.tbw")" \
  /out "$(win "$work")\\Notizblock.exe" | iconv -f cp1252 -t utf-8 | tr -d '\r' | tail -5
ls -l "$work/Notizblock.exe"

echo "== installing the package through its wizard (screenshots in $work)"
Xvfb :91 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=:91 TW_UIDRIVER=$root/build/win32/test-tools/uidriver.exe
source tests/wine/driver/driver.sh
shot() { xwd -root -display :91 | convert xwd:- "$work/$1" || true; }
step() { echo "   $1"; }
wine "$work/Notizblock.exe" &
ui_wait 710 60 >/dev/null && shot welcome.png && step "welcome page" && ui_click 1
ui_wait 25 >/dev/null && ui_check 25 && step "licence accepted" && ui_click 1
ui_wait 715 >/dev/null && step "destination: $(ui_text 715 | tr -d '\r')" && ui_click 1
ui_wait 501 >/dev/null && step "setup type: Normal" && ui_click 1
ui_wait 303 >/dev/null && step "program folder: $(ui_text 301 | tr -d '\r')" && ui_click 1
ui_wait 301 >/dev/null && shot summary.png && step "summary, Next starts the copy" && ui_click 1
ui_wait 521 120 >/dev/null && shot finish.png && step "finish page" && ui_click 1
timeout 120 wineserver -w || true
dir="$WINEPREFIX/drive_c/Program Files/Notizblock"
echo "installed into C:\Program Files\Notizblock:"
ls -l "$dir" | sed 's/^/  /'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock 1.20'
echo "uninstall entry:"
timeout 60 wine reg query "$key" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
command=$(timeout 60 wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')

echo "== removing it: $command"
wine "$(sed 's/^"\([^"]*\)".*/\1/' <<<"$command")" ZETUREMOVE &
ui_box 30 | tr -d '\r' | sed 's/^/   /'
ui_answer 6
ui_wait 700 60 >/dev/null
for i in $(seq 120); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
shot uninstalled.png
ui_visible 701 && step "Das Programm wurde erfolgreich deinstalliert." || step "not everything could be removed"
ui_click 1
timeout 120 wineserver -w || true
if [ -e "$dir" ]; then echo "left in the installation folder:"; ls -l "$dir"; else echo "the installation folder is gone"; fi
