#!/usr/bin/env bash
# Makes the template 32-bit Wine prefix that every Wine test copies, or keeps the one that is there and sound.
#
#   make-template.sh DIR
#
# A template counts as sound when its stamp names this Wine and this script
# (so a Wine update or a change of the settings below makes a new one) and
# its registry files, system folder and fonts are there. A new one is built
# beside DIR and moved into place only when complete, under a lock that tests
# share while they copy, so an aborted or parallel run never leaves or reads
# a half-made template.
set -uo pipefail

dir=${1:?usage: make-template.sh DIR}
dir=$(realpath -m "$dir")
script=$(realpath "$0")
stamp="$(wine --version 2>/dev/null) $(sha1sum "$script" | cut -c1-40)"

export WINEARCH=win32
export LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all
unset DISPLAY

sound() {
  [ -f "$1/.tw-template" ] && [ "$(cat "$1/.tw-template")" = "$stamp" ] &&
    [ -s "$1/system.reg" ] && [ -s "$1/user.reg" ] &&
    [ -f "$1/drive_c/windows/system32/kernel32.dll" ] &&
    [ -L "$1/dosdevices/c:" ] && [ -f "$1/drive_c/windows/Fonts/marlett.ttf" ]
}

mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock -w 600 9 || { echo "make-template: no lock on $dir.lock after 600s" >&2; exit 1; }

if sound "$dir"; then
  echo "make-template: $dir is sound, kept"
  exit 0
fi

new=$dir.new
rm -rf "$new"
export WINEPREFIX=$new
start=${EPOCHREALTIME:-$(date +%s)}

fail() {
  echo "make-template: $*" >&2
  timeout 20 wineserver -k >/dev/null 2>&1
  rm -rf "$new"
  exit 1
}

timeout 300 wineboot -i || fail "wineboot -i failed or ran out of time"
timeout 120 wineserver -w || fail "the wineserver did not end after wineboot"

# This Wine does not pick up the fonts of its own data folder, so without a
# copy in the prefix there is no Marlett (caption buttons, check marks and
# arrows come out as letters) and no Tahoma or MS Sans Serif for dialogs.
fonts=
for d in /usr/share/wine/fonts /usr/local/share/wine/fonts /opt/wine*/share/wine/fonts; do
  [ -f "$d/marlett.ttf" ] && { fonts=$d; break; }
done
[ -n "$fonts" ] || fail "found no folder with Wine's fonts (marlett.ttf)"
cp -n "$fonts"/* "$new/drive_c/windows/Fonts/" || fail "cannot copy Wine's fonts from $fonts"

# Wine links the user's Desktop, Documents and the like to the Unix home
# folder; a test's links and files must stay inside its own prefix.
for link in "$new"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir "$link" || fail "cannot replace the link $link"; fi
done

# A virtual desktop makes Wine draw captions and frames itself, so a
# screenshot shows windows as a user sees them, at fixed places. No crash
# dialog: a crashing program ends instead of waiting for a click.
reg=$new/tw-settings.reg
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
timeout 120 wine regedit /S "$reg" || fail "regedit could not apply the settings"
timeout 120 wineserver -w || fail "the wineserver did not end after regedit"
rm -f "$reg"
grep -q '"Desktop"="Default"' "$new/user.reg" || fail "the settings did not reach user.reg"

# The boot's server socket folder in /tmp is not needed any more.
base=$(cat "$new/wineserver" 2>/dev/null)
case $base in
  wine-*) rm -rf "/tmp/$base/server-$(stat -c %D "$new")-$(printf '%x' "$(stat -c %i "$new")")" ;;
esac

echo "$stamp" >"$new/.tw-template"
sound "$new" || fail "the new prefix lacks files it should have"

rm -rf "$dir"
mv "$new" "$dir" || fail "cannot move the new prefix into place"
echo "make-template: made $dir in $(awk -v a="$start" -v b="${EPOCHREALTIME:-$(date +%s)}" 'BEGIN { printf "%.1f", b - a }')s"
