#!/usr/bin/env bash
# The removal of an installation made like the copy pass makes one (files,
# SETUP.EXE with its uninstall record, the registry entries): registration
# only keeps files and entry; a network one keeps files without the update
# bit; a full removal continues in the temporary
# copy ZETURFD.EXE and takes files, directory levels, the removal list's
# folders and the uninstall entry, keeps a shared file still counted by
# others and ends with text 702; a folder link in a listed folder is never
# followed (a list line through it, its target) and dot folders (".cache")
# are emptied; a component folder turned into a link is not walked through; on win98 a clean run ends with 701 and
# leaves its remover in WININIT.INI.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
wine_test_begin runtime_removal
here=$(dirname "$0")
kit="python3 $here/removal_kit.py"
inspect="python3 $TW_SOURCE_DIR/tests/wine/build/inspect_package.py"

# The demo project with its file-object list turned into a removal list key.
cp -r "$TW_DIST" "$WT_DIR/builder"
cp -r "$TW_BINARY_DIR/demo" "$WT_DIR/demo"
$kit patch "$WT_DIR/demo/demo.tbw" "$WT_DIR/demo/demo.tbw" '<InstallDir>\Daten\01' \
  'Software\Beispiel Software\Liste\0FFFFFFFF'
package=$WT_DIR/demo.exe
(cd "$WT_DIR" && timeout 120 wine "$WT_DIR/builder/Tamblix.exe" /build "$(wine_winpath "$WT_DIR/demo/demo.tbw")" \
  /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "demo package built" "$package"
$inspect extract "$package" 3 "$WT_DIR/runtime.cab"
mkdir -p "$WT_DIR/runtime"
cabextract -q -d "$WT_DIR/runtime" "$WT_DIR/runtime.cab"
check_file "runtime taken from the package" "$WT_DIR/runtime/_SETUP.EXE"

drive=$WINEPREFIX/drive_c
apps=$drive/Apps
inst=$apps/Notizblock\ Pro
inst_win='C:\Apps\Notizblock Pro'
common_win="$(wine_reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion' CommonFilesDir |
  sed -n 's/.*REG_SZ[[:space:]]*//p')\\Beispiel Software"
common=$(wine_unixpath "$common_win")
shared_win="$common_win\\gemeinsam.dll"
temp_win=$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp=$(wine_unixpath "$temp_win")
data=$drive/Daten
shared_key='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Notizblock Pro 2.5'
record_key='HKCU\Software\Beispiel Software GmbH\Notizblock Pro\2.5\.INSTALL'
reg_add() { timeout 60 wine reg add "$@" /f >/dev/null 2>&1; }

# install KIND SHARED_BIT SHARED_COUNT: the folders, files and registry of
# a "Normal" installation into C:\Apps\Notizblock Pro (two levels created);
# the shared file was there before unless SHARED_BIT is 1.
install() {
  rm -rf "$apps" "$common"
  mkdir -p "$inst/Roh" "$inst/Werkzeuge" "$common"
  for f in notiz.txt liesmich.txt notizblock.ini schreibschutz.txt; do cp "$WT_DIR/demo/files/$f" "$inst/"; done
  cp "$WT_DIR/demo/files/roh.dat" "$inst/Roh/"
  cp "$WT_DIR/runtime/_SETUP.DLL" "$inst/Werkzeuge/werkzeug.dll"
  cp "$WT_DIR/demo/files/gemeinsam.dll" "$common/"
  cp "$WT_DIR/runtime/_SETUP.EXE" "$inst/SETUP.EXE"
  cp "$WT_DIR/runtime/_SETUP.DLL" "$inst/SETUP.DLL"
  # Normal's list: program files (the placeholder Setup.exe last), tools,
  # templates not chosen, raw data, shared files, three registry components
  # and the file-object list.
  $kit record "$inst/SETUP.EXE" 2 501 9 1 'Notizblock Pro' \
    files:0:11111 files:1:1 skip files:1:1 "files:1:$2" reg reg reg reg
  reg_add "$record_key" /v TYPE /t REG_SZ /d "$1"
  reg_add "$uninstall_key" /v DisplayName /t REG_SZ /d 'Notizblock Pro 2.5'
  reg_add "$uninstall_key" /v UninstallString /t REG_SZ /d "$inst_win\\SETUP.EXE ZETUREMOVE"
  reg_add "$shared_key" /v "$shared_win" /t REG_DWORD /d "$3"
}

# remove NAME: SETUP.EXE ZETUREMOVE, Yes to the question, then the
# uninstall dialog until its OK is enabled; screenshot NAME.png; OK.
remove() {
  wine_start "$inst/SETUP.EXE" ZETUREMOVE
  local box
  box=$(ui_box 30 | tr -d '\r')
  check "$1: the question names the application" grep -q 'Notizblock Pro' <<<"$box"
  ui_answer 6
  check "$1: the uninstall dialog appears" ui_wait 700 30
  local i
  for i in $(seq 60); do ui_enabled 1 2>/dev/null && break; sleep 0.5; done
  check "$1: OK is enabled at the end" ui_enabled 1
  ui_screenshot "$1.png"
}

finish_dialog() {
  ui_click 1
  check "$1: the runtime ends after OK" wine_wait_idle 60
}

# Registration only: files and the uninstall entry stay.
install REGISTRY 1 1
remove registry-only
check "registry-only: all is said to be removed" ui_visible 701
finish_dialog registry-only
check_file "registry-only: program file kept" "$inst/notiz.txt"
check_file "registry-only: SETUP.EXE kept" "$inst/SETUP.EXE"
check_file "registry-only: shared file kept" "$common/gemeinsam.dll"
check "registry-only: uninstall entry kept" wine_reg_query "$uninstall_key"
check "registry-only: shared count untouched" bash -c \
  "wine reg query '$shared_key' /v '$shared_win' 2>/dev/null | tr -d '\r' | grep -q '0x1\$'"

# Network installation: only files with the update bit go (the demo has
# none), folder levels that stay do not count; shared counts still drop.
install SYSTEM 1 2
remove network
check "network: all is said to be removed" ui_visible 701
finish_dialog network
check_file "network: program file kept" "$inst/notiz.txt"
check_file "network: raw data kept" "$inst/Roh/roh.dat"
check_file "network: shared file kept" "$common/gemeinsam.dll"
check "network: shared count one lower" bash -c \
  "wine reg query '$shared_key' /v '$shared_win' 2>/dev/null | tr -d '\r' | grep -q '0x1\$'"
check "network: uninstall entry gone" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"

# Full removal with the removal list: Cache is cleared through its list,
# which names a file, an empty folder, itself and (refused) a file outside;
# Rest has no list, so its file and the folder stay; a single file goes.
install ADMIN 0 2
rm -rf "$data"
mkdir -p "$data/Cache/sub" "$data/Rest/leer"
echo tmp >"$data/Cache/a.tmp"
echo keep >"$data/draussen.txt"
echo rest >"$data/Rest/rest.txt"
echo log >"$data/einzeln.log"
printf 'a.tmp\r\nsub\r\nFILELIST.DAT\r\n..\\draussen.txt\r\n' >"$data/Cache/FILELIST.DAT"
# Dot folders are the application's too.
mkdir -p "$data/Cache/.cache/tiefer"
# A folder link in a listed folder (a junction on Windows; a Unix symlink,
# which this Wine reports as a reparse point): neither the list line through
# it nor the tree walk may reach its target.
mkdir -p "$data/Verlinkt" "$drive/Fremd/Unterordner"
echo fremd >"$drive/Fremd/through-link.txt"
echo fremd >"$drive/Fremd/Unterordner/tief.txt"
ln -s "$drive/Fremd" "$data/Verlinkt/link"
printf 'link\\through-link.txt\r\nlink\\Unterordner\r\nFILELIST.DAT\r\n' >"$data/Verlinkt/FILELIST.DAT"
reg_add 'HKLM\Software\Beispiel Software\Liste' /v Cache /t REG_SZ /d 'C:\Daten\Cache'
reg_add 'HKLM\Software\Beispiel Software\Liste' /v Rest /t REG_SZ /d 'C:\Daten\Rest'
reg_add 'HKLM\Software\Beispiel Software\Liste' /v Datei /t REG_SZ /d 'C:\Daten\einzeln.log'
reg_add 'HKLM\Software\Beispiel Software\Liste' /v Verlinkt /t REG_SZ /d 'C:\Daten\Verlinkt'
rm -rf "$temp/ZETURFD.EXE" "$temp/ZETURFD.DLL" "$temp"/ZET*
remove full
check "full: not everything could go (702)" ui_visible 702
check "full: 701 stays hidden" ui_hidden 701
finish_dialog full
# The copy runs from a fresh run folder with a random name, not from a
# name anybody could plant a file under.
copy_dir=$(find "$temp" -mindepth 1 -maxdepth 1 -type d -regextype posix-extended -regex '.*/ZET[0-9A-F]{16}' | head -1)
check_file "full: the copy is in a run folder" "$copy_dir/ZETURFD.EXE"
check_file "full: with its resource DLL" "$copy_dir/ZETURFD.DLL"
check "full: nothing named ZETURFD directly in the temporary folder" \
  test -z "$(find "$temp" -maxdepth 1 -iname 'ZETURFD.*')"
check "full: installation directory and its parent gone" test ! -e "$apps"
check "full: shared file kept while counted" test -f "$common/gemeinsam.dll"
check "full: shared count one lower" bash -c \
  "wine reg query '$shared_key' /v '$shared_win' 2>/dev/null | tr -d '\r' | grep -q '0x1\$'"
check "full: uninstall entry gone" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "full: listed folder cleared and gone" test ! -e "$data/Cache"
check_file "full: a list line outside its folder is refused" "$data/draussen.txt"
check_file "full: folder without a list keeps its files" "$data/Rest/rest.txt"
check "full: its empty subfolder went" test ! -e "$data/Rest/leer"
check "full: listed single file gone" test ! -e "$data/einzeln.log"
check "full: the dot folder was emptied with it" test ! -e "$data/Cache/.cache"
check_file "full: the file behind the link survives" "$drive/Fremd/through-link.txt"
check_file "full: the folder behind the link survives" "$drive/Fremd/Unterordner/tief.txt"
if [ -L "$data/Verlinkt/link" ]; then
  # This Wine cannot delete a link itself; the link is all that stays.
  check_eq "full: only the link stays of the linked folder" "$data/Verlinkt/link" \
    "$(find "$data/Verlinkt" -mindepth 1)"
else
  check "full: the link itself is gone" test ! -e "$data/Verlinkt"
fi
# A new Wine session does what a restart does with delayed deletions.
timeout 60 wine cmd /c exit >/dev/null 2>&1
wine_wait_idle 60
check "full: the copy went at the restart" test ! -e "$copy_dir/ZETURFD.EXE"
check "full: its DLL too" test ! -e "$copy_dir/ZETURFD.DLL"

# A component folder that became a link after the installation (a user
# may replace a writable folder by a junction): the files behind it stay.
install ADMIN 0 2
timeout 60 wine reg delete 'HKLM\Software\Beispiel Software\Liste' /f >/dev/null 2>&1
mkdir -p "$drive/Fremd2"
echo "nicht unsere" >"$drive/Fremd2/roh.dat"
rm -rf "$inst/Roh"
ln -s "$drive/Fremd2" "$inst/Roh"
remove linked
check "linked: not everything could go (702)" ui_visible 702
finish_dialog linked
check_file "linked: the file behind the link survives" "$drive/Fremd2/roh.dat"
check "linked: the other files went" test ! -e "$inst/notiz.txt"
rm -f "$inst/Roh"

# win98: everything goes, the remover is left to WININIT.INI.
wine_set_version win98
install ADMIN 1 1
wininit=$drive/windows/WININIT.INI
rm -f "$wininit"
timeout 60 wine reg delete 'HKLM\Software\Beispiel Software\Liste' /f >/dev/null 2>&1
rm -rf "$data"
remove win98
check "win98: all removed (701)" ui_visible 701
finish_dialog win98
# Read before any other Wine program starts: a new session carries the
# lines out as a restart would and renames the file.
check_file "win98: WININIT.INI written" "$wininit"
check "win98: [Rename] section" grep -qx $'\\[Rename\\]\r' "$wininit"
# By short (8.3) names, every level: the 9x family reads them before long
# names exist.
level='[^\\ =]{1,8}(\.[^\\ =]{1,3})?'
check "win98: remover deleted at restart, by its short name" grep -qiE "^NUL=C:(\\\\$level)*\\\\ZETURFD\.EXE"$'\r$' "$wininit"
check "win98: its DLL too" grep -qiE "^NUL=C:(\\\\$level)*\\\\ZETURFD\.DLL"$'\r$' "$wininit"
check "win98: no folder line (WININIT.INI deletes files only)" bash -c "! grep -qE 'ZET[0-9A-F]{16}'$'\r' '$wininit'"
check "win98: installation directory gone" test ! -e "$apps"
check "win98: own shared file gone" test ! -e "$common/gemeinsam.dll"
check "win98: its folder level gone" test ! -e "$common"
check "win98: the count went with it" bash -c "! wine reg query '$shared_key' /v '$shared_win' >/dev/null 2>&1"
wine_set_version win7

wine_test_finish
