#!/usr/bin/env bash
# The main job: build every deliverable, build the sample package on the
# host with tamblix build (no Wine), install it under Wine through its wizard (the UI
# driver presses the buttons a user would), show what it installed, and
# remove it again with the command its uninstall entry registers. Exits
# non-zero when a step fails or the removal leaves anything behind.
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
echo "== a Wine prefix for the run, made as the tests' template is (Wine's fonts, a 1024x768 desktop)"
bash tests/wine/lib/make-template.sh "$WINEPREFIX"
rm -f "$WINEPREFIX/.tw-template" "$WINEPREFIX.lock"
cp -r examples/sample "$work/sample"

echo "== building the sample package on the host (tamblix build, builder's folder build/win32/dist)"
timeout 300 build/host/tamblix build "$work/sample/sample.tbw" -o "$work/Notizblock.exe" | tail -5
ls -l "$work/Notizblock.exe"

echo "== installing the package through its wizard (screenshots in $work)"
Xvfb :91 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=:91 TW_UIDRIVER=$root/build/win32/test-tools/uidriver.exe
source tests/wine/lib/screenshot.sh
source tests/wine/driver/driver.sh
failures=0
shot() { tw_screenshot "$work/$1" || echo "   (no screenshot $1)"; }
step() { echo "   $1"; }
# failed WHAT: counts a step that did not come about.
failed() { echo "   FAILED: $1"; failures=$((failures + 1)); }
wine "$work/Notizblock.exe" &
{ ui_wait 710 60 >/dev/null && shot welcome.png && step "welcome page" && ui_click 1; } || failed "welcome page"
{ ui_wait 25 >/dev/null && ui_check 25 && shot licence.png && step "licence accepted" && ui_click 1; } ||
  failed "licence page"
{ ui_wait 715 >/dev/null && shot destination.png && step "destination: $(ui_text 715 | tr -d '\r')" && ui_click 1; } ||
  failed "destination page"
{ ui_wait 501 >/dev/null && step "setup type: Normal" && ui_click 1; } || failed "setup type page"
{ ui_wait 303 >/dev/null && step "program folder: $(ui_text 301 | tr -d '\r')" && ui_click 1; } ||
  failed "program folder page"
{ ui_wait 301 >/dev/null && shot summary.png && step "summary, Next starts the copy" && ui_click 1; } ||
  failed "summary page"
{ ui_wait 521 120 >/dev/null && shot finish.png && step "finish page" && ui_click 1; } || failed "finish page"
timeout 120 wineserver -w || failed "Setup did not end"
dir="$WINEPREFIX/drive_c/Program Files/Notizblock"
echo "installed into C:\Program Files\Notizblock:"
ls -l "$dir" | sed 's/^/  /' || failed "nothing was installed"
echo "links:"
find "$WINEPREFIX/drive_c" -iname '*.lnk' -ipath '*Notizblock*' -printf '  %P\n' 2>/dev/null
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock 1.20'
echo "uninstall entry:"
timeout 60 wine reg query "$key" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
command=$(timeout 60 wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p' || true)

echo "== removing it: $command"
[ -n "$command" ] || failed "no uninstall command registered"
wine "$(sed 's/^"\([^"]*\)".*/\1/' <<<"$command")" ZETUREMOVE &
question=$(ui_box 30 | tr -d '\r') || failed "no removal question"
sed 's/^/   /' <<<"$question"
shot remove-question.png
ui_answer 6 || failed "the removal question could not be answered"
ui_wait 700 60 >/dev/null || failed "the removal dialog"
for i in $(seq 120); do ui_enabled 1 >/dev/null 2>&1 && break; sleep 0.5; done
shot uninstalled.png
if ui_visible 701 >/dev/null; then step "Das Programm wurde erfolgreich deinstalliert."; else failed "not everything could be removed"; fi
ui_click 1 || failed "the removal's OK"
timeout 120 wineserver -w || failed "the removal did not end"
if [ -e "$dir" ]; then
  echo "left in the installation folder:"; ls -lR "$dir"; failed "the installation folder is left"
else
  echo "the installation folder is gone"
fi
if timeout 60 wine reg query "$key" >/dev/null 2>&1; then failed "the uninstall entry is left"; fi
timeout 120 wineserver -w || true
# Links (start menu, desktop) and registry values named after the program.
left=$(find "$WINEPREFIX/drive_c" -iname '*Notizblock*' 2>/dev/null)
if [ -n "$left" ]; then echo "left behind:"; sed 's/^/  /' <<<"$left"; failed "files or links are left"; fi
if grep -qi 'Notizblock' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"; then
  grep -i 'Notizblock' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | sed 's/^/  /'
  failed "registry entries are left"
fi
if [ "$failures" -gt 0 ]; then
  echo "== main job: $failures step(s) failed"
  exit 1
fi
echo "== main job: every step done, nothing left behind"
