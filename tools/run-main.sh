#!/usr/bin/env bash
# The main job: build every deliverable, build the sample package with the
# builder's command line, and run the package under Wine as far as the
# runtime goes (the dispatcher unpacks it and starts Setup).
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
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
echo "== a Wine prefix for the run"
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
cp -r examples/sample "$work/sample"

echo "== building the sample package"
win() { wine winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
timeout 300 wine build/win32/dist/Tamblix.exe /build "$(win "$work/sample/sample.tbw")" \
  /out "$(win "$work")\\Notizblock.exe" | iconv -f cp1252 -t utf-8 | tr -d '\r' | tail -5
ls -l "$work/Notizblock.exe"

echo "== running the package (screenshot: $work/package.png)"
Xvfb :91 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=:91 timeout 60 wine "$work/Notizblock.exe" &
sleep 8
xwd -root -display :91 | convert xwd:- "$work/package.png" || true
temp=$WINEPREFIX/drive_c/users/${USER:-root}/Temp
[ -d "$temp" ] || temp=$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -name Temp | head -1)
echo "unpacked into the temporary folder:"
find "$temp" -maxdepth 2 | sed "s|$temp|  %TEMP%|"
