#!/usr/bin/env bash
# The demo package installed through its wizard, twice. The first, custom
# run replaces an older tool library and records what it installed; the
# second, normal run meets a read-only file, a file in use (replaced at the
# next restart) and a newer tool library it must keep.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin install_demo

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
files=$WT_DIR/demo/files
mkdir -p "$dir/Werkzeuge"
cp "$TW_TEST_TOOLS/werkzeug-1005.dll" "$dir/Werkzeuge/werkzeug.dll"

# First run: the custom type with its preselection (templates not chosen).
wine_start "$package"
check "first run walks to the summary" demo_walk 503
check "finish page after the copy" ui_wait 521 120
ui_screenshot finish.png
ui_click 1
check "the runtime ends" wine_wait_idle 60

for f in notiz.txt liesmich.txt schreibschutz.txt; do
  check "$f is the project's file" cmp -s "$files/$f" "$dir/$f"
done
check "an older tool library is replaced by 2.0.0.1" cmp -s "$files/werkzeug.dll" "$dir/Werkzeuge/werkzeug.dll"
check "the uncompressed file is copied from beside the package" cmp -s "$files/roh.dat" "$dir/Roh/roh.dat"
check "templates not chosen are not installed" test ! -e "$dir/Vorlagen"
common=$WINEPREFIX/drive_c/Program\ Files/Common\ Files/Beispiel\ Software
check "the shared file goes to the common files" cmp -s "$files/gemeinsam.dll" "$common/gemeinsam.dll"
check "the INI file has its aliases expanded" grep -qF 'Daten=C:\Program Files\Beispiel Software\Notizblock Pro\Daten' "$dir/notizblock.ini"
check "and keeps its section line" grep -qx $'\\[Pfade\\]\r\\?' "$dir/notizblock.ini"
check "the INI file keeps CR LF line ends" grep -q $'\r$' "$dir/notizblock.ini"
check "the read-only file stays read-only" bash -c "stat -c %A '$dir/schreibschutz.txt' | grep -q '^-r-'"
src_time=$(stat -c %Y "$files/notiz.txt")
dst_time=$(stat -c %Y "$dir/notiz.txt")
check "the file's time is the source's, to the two seconds of a DOS time" \
  test $(( src_time - dst_time )) -ge -2 -a $(( src_time - dst_time )) -le 2
shared=$(wine_reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' \
  'C:\Program Files\Common Files\Beispiel Software\gemeinsam.dll' | tr -d '\r')
check "the shared file is counted once" grep -q 'REG_DWORD[[:space:]]*0x1$' <<<"$shared"
check_file "the uninstaller is installed" "$dir/SETUP.EXE"
check_file "with its resource DLL" "$dir/SETUP.DLL"
record=$(python3 "$TW_SOURCE_DIR/tests/wine/install/record.py" "$dir/SETUP.EXE" "$TW_DIST/ZETUSUM.EXE" 9)
echo "record: $record"
read -r length appended itype count levels entries <<<"$record"
check_eq "the record's length field counts the bytes appended" "$appended" "$length"
check_eq "the record names the custom type" 503 "$itype"
check_eq "and the profile's nine components" 9 "$count"
check_eq "no level was created for an installation directory that was there" 0 "$levels"
check_eq "the entries: files and levels of each component" \
  "0:5:1f 0:1:1 -2 1:1:1 1:1:1 -1 -1 -1 -1 flags=2 folder=Notizblock Pro rest=8" "$entries"

# Second run, the normal type: the program file is held open, the tool
# library is newer than the package's, a file made read-only asks (the
# package's own read-only file is overwritten without asking), the shared
# file is newer than the package's.
echo "ältere Fassung" >"$dir/notiz.txt"
chmod a-w "$dir/liesmich.txt"
touch -d '+1 day' "$common/gemeinsam.dll"
chmod u+w "$dir/Werkzeuge/werkzeug.dll" 2>/dev/null
cp "$TW_TEST_TOOLS/werkzeug-3000.dll" "$dir/Werkzeuge/werkzeug.dll"
release=$WT_DIR/release
wine "$TW_TEST_TOOLS/hold_file.exe" "$(wine_winpath "$dir/notiz.txt")" "$(wine_winpath "$release")" &
holder=$!
sleep 2
wine_start "$package"
box_answer 7 30 >"$WT_DIR/box-earlier.txt"
WALK_AFTER_TYPE=network_question_no
check "second run walks to the summary" demo_walk 501
WALK_AFTER_TYPE=
check "the read-only question appears" ui_wait 100 120
ui_screenshot read-only.png
check "it names the file" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_text 101 | grep -qF 'liesmich.txt'"
ui_check 100
ui_click 6
check "the restart page follows, as a file was in use" ui_wait 513 120
ui_screenshot restart.png
# A new Wine session carries out what waits for the restart, so the
# registry is read while this one still runs.
pending=$(timeout 60 wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
echo "pending: $pending"
check "the replacement is registered for the restart" grep -qiF 'notiz.tx_\0!\??\C:\Program Files\Beispiel Software\Notizblock Pro\notiz.txt' <<<"$pending"
ui_click 513
check "restart later is chosen" bash -c "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_state 512 | grep -q '^unchecked'"
ui_click 1
check "the file in use keeps its old content until the restart" grep -q 'ältere Fassung' "$dir/notiz.txt"
check "its new content waits beside it" cmp -s "$files/notiz.txt" "$dir/notiz.tx_"
touch "$release"
wait "$holder" 2>/dev/null
check "the runtime ends" wine_wait_idle 60
wine_run 60 cmd /c exit
check "after the restart the file has its new content" cmp -s "$files/notiz.txt" "$dir/notiz.txt"
check "and the temporary copy is gone" test ! -e "$dir/notiz.tx_"
check "a newer tool library is kept" cmp -s "$TW_TEST_TOOLS/werkzeug-3000.dll" "$dir/Werkzeuge/werkzeug.dll"
check "the templates of the normal type are installed" cmp -s "$files/brief.vorlage" "$dir/Vorlagen/brief.vorlage"
check "the read-only file was overwritten after Yes" cmp -s "$files/liesmich.txt" "$dir/liesmich.txt"
check "the package's read-only file was overwritten without a question" cmp -s "$files/schreibschutz.txt" "$dir/schreibschutz.txt"
check "a newer shared file is kept" test "$(stat -c %Y "$common/gemeinsam.dll")" -gt "$(date +%s)"
shared=$(wine_reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' \
  'C:\Program Files\Common Files\Beispiel Software\gemeinsam.dll' | tr -d '\r')
check "an earlier installation leaves the shared count as it is" grep -q 'REG_DWORD[[:space:]]*0x1$' <<<"$shared"
record=$(python3 "$TW_SOURCE_DIR/tests/wine/install/record.py" "$dir/SETUP.EXE" "$TW_DIST/ZETUSUM.EXE" 9)
read -r length appended itype count levels entries <<<"$record"
check_eq "a new uninstaller carries a new record of the normal type" 501 "$itype"
# The first installation's folders and files stay the removal's to take:
# the levels it created (Roh, the shared file's folder) and the files it
# installed (the tool library and the shared file, kept by this run).
check_eq "the record keeps what the first installation made" "0:5:1f 0:1:1 1:2:3 1:1:1 1:1:1 -1 -1 -1 -1 flags=2 folder=Notizblock Pro rest=8" "$entries"

wine_test_finish
