#!/usr/bin/env bash
# ZETURFD.EXE waits for the given process to end and then deletes the given
# folder with everything below it; a process already gone does not stop it;
# any other command line, any folder that is not a run folder of the
# dispatcher's naming directly in the temporary folder, and folders whose
# removal would take a drive, the system's folders or the remover itself, are
# refused without touching anything. The remover is tiny, window-less and imports only kernel32.
source "$TW_HARNESS"
wine_test_begin zeturfd_remove

probe=${TW_RES_PROBE:?TW_RES_PROBE is not set}
dist_remover=$TW_DIST/ZETURFD.EXE
check_file "remover-in-dist" "$dist_remover"
imports=$(i686-w64-mingw32-objdump -p "$dist_remover" | awk '/DLL Name:/ { print toupper($3) }' | tr '\n' ' ')
check_eq "imports-only-kernel32" "KERNEL32.DLL " "$imports"
check "gui-subsystem-no-console" grep -q 'Windows GUI' <(i686-w64-mingw32-objdump -p "$dist_remover")
size=$(stat -c %s "$dist_remover")
check "tiny" test "$size" -le 16384

# Where the dispatcher puts it: the temporary folder, beside the work folders.
temp_win=$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp=$(wine_unixpath "$temp_win")
check "temp-folder-found" test -d "$temp"
cp "$dist_remover" "$temp/ZETURFD.EXE"
remover=$temp/ZETURFD.EXE
ctl=$WT_DIR/ctl
mkdir -p "$ctl"

# make_tree DIR: files, a read-only file, a hidden file, nested and empty
# folders, a read-only folder.
make_tree() {
  mkdir -p "$1/sub/deeper" "$1/empty" "$1/locked"
  echo a >"$1/a.txt"
  echo b >"$1/sub/deeper/b.bin"
  echo r >"$1/sub/readonly.txt"
  chmod 444 "$1/sub/readonly.txt"
  echo h >"$1/.hidden"
  echo l >"$1/locked/inside.txt"
  chmod 555 "$1/locked"
}

# ended_pid NAME: the Windows id of a process that has already ended.
ended_pid() {
  touch "$ctl/$1.stop"
  timeout 60 wine "$probe" hold "$(wine_winpath "$ctl/$1.pid")" "$(wine_winpath "$ctl/$1.stop")" >/dev/null 2>&1
  tr -d '\r\n' <"$ctl/$1.pid"
}

# The work folder holds the running program, as _SETUP.EXE does.
work=$temp/ZET000000000000A001
make_tree "$work"
cp "$probe" "$work/_SETUP.EXE"
wine "$work/_SETUP.EXE" hold "$(wine_winpath "$ctl/run.pid")" "$(wine_winpath "$ctl/run.stop")" \
  >/dev/null 2>&1 &
holder=$!
check "holder-started" wine_wait_for 60 test -s "$ctl/run.pid"
pid=$(tr -d '\r\n' <"$ctl/run.pid")
wine "$remover" ZETUREMOVE "$temp_win\\ZET000000000000A001" "$pid" >/dev/null 2>&1 &
remover_pid=$!
sleep 3  # room for a remover that does not wait to do harm
check "folder-stays-while-process-lives" test -f "$work/sub/deeper/b.bin"
check "running-program-stays" test -f "$work/_SETUP.EXE"
check "remover-waits" kill -0 "$remover_pid"
touch "$ctl/run.stop"
WT_PID=$remover_pid
wine_wait_pid 90
check_eq "remover-exit-code" 0 "$WT_RC"
check "folder-gone-after-process-ended" test ! -e "$work"
wait "$holder" 2>/dev/null

gone=$(ended_pid gone)
check "ended-process-id-known" test -n "$gone"

# A process that has ended already: removal at once.
make_tree "$temp/ZET000000000000A002"
wine_run 60 "$remover" ZETUREMOVE "$temp_win\\ZET000000000000A002" "$gone"
check_eq "ended-process-exit-code" 0 "$WT_RC"
check "ended-process-folder-gone" test ! -e "$temp/ZET000000000000A002"

# A trailing backslash, as a hand-written command line might have.
make_tree "$temp/ZET000000000000A003"
wine_run 60 "$remover" ZETUREMOVE "$temp_win\\ZET000000000000A003\\" "$gone"
check "trailing-backslash-folder-gone" test ! -e "$temp/ZET000000000000A003"

# Started with the folder itself as its current folder.
make_tree "$temp/ZET000000000000A005"
cd "$temp/ZET000000000000A005" || exit 1
wine_run 60 "$remover" ZETUREMOVE "$temp_win\\ZET000000000000A005" "$gone"
cd "$WT_DIR" || exit 1
check_eq "started-inside-exit-code" 0 "$WT_RC"
check "started-inside-folder-gone" test ! -e "$temp/ZET000000000000A005"

# A folder link inside is removed as a link at most, never followed.
make_tree "$temp/ZET000000000000A004"
mkdir -p "$WT_DIR/outside/inner"
echo keep >"$WT_DIR/outside/inner/precious"
ln -s "$WT_DIR/outside" "$temp/ZET000000000000A004/sub/link"
wine_run 90 "$remover" ZETUREMOVE "$temp_win\\ZET000000000000A004" "$gone"
check_file "link-target-untouched" "$WT_DIR/outside/inner/precious"
check "files-beside-link-removed" test ! -e "$temp/ZET000000000000A004/a.txt" -a ! -e "$temp/ZET000000000000A004/sub/deeper"
if [ -e "$temp/ZET000000000000A004" ]; then
  # This system cannot delete the link; the remover says so.
  check_eq "link-left-reported" 1 "$WT_RC"
  check_eq "only-the-link-left" "$temp/ZET000000000000A004/sub/link" "$(find "$temp/ZET000000000000A004" -mindepth 1 ! -type d)"
else
  check_eq "link-removed-exit-code" 0 "$WT_RC"
fi

# Refusals: exit code 2 and nothing touched.
keep=$temp/ZET000000000000BEEF
make_tree "$keep"
keep_list=$(cd "$keep" && find . | sort)
keep_win="$temp_win\\ZET000000000000BEEF"
# refused NAME ARGS...: the remover refuses this command line.
refused() {
  local name=$1; shift
  wine_run 60 "$remover" "$@"
  check_eq "$name" 2 "$WT_RC"
}
refused "no-arguments-refused"
refused "other-keyword-refused" ZETUFINST "$keep_win" "$gone"
refused "lowercase-keyword-refused" zeturemove "$keep_win" "$gone"
refused "missing-pid-refused" ZETUREMOVE "$keep_win"
refused "extra-argument-refused" ZETUREMOVE "$keep_win" "$gone" more
refused "bad-pid-refused" ZETUREMOVE "$keep_win" 12x
refused "empty-folder-refused" ZETUREMOVE "" "$gone"
cd "$temp" || exit 1
refused "relative-folder-refused" ZETUREMOVE ZET000000000000BEEF "$gone"
cd "$WT_DIR" || exit 1
refused "climbing-folder-refused" ZETUREMOVE "$keep_win\\sub\\.." "$gone"
refused "wildcard-refused" ZETUREMOVE "$keep_win\\*" "$gone"
refused "temp-folder-itself-refused" ZETUREMOVE "$temp_win" "$gone"
refused "windows-folder-refused" ZETUREMOVE 'C:\windows' "$gone"
echo file >"$temp/ZET000000000000F11E"
refused "file-not-folder-refused" ZETUREMOVE "$temp_win\\ZET000000000000F11E" "$gone"
check_file "file-not-folder-kept" "$temp/ZET000000000000F11E"
check_file "windows-folder-intact" "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"

# Only run folders directly in the temporary folder: the user's folders,
# the old four-digit names and run names elsewhere stay.
profile_win=$(timeout 60 wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')
mine=$(wine_unixpath "$profile_win")/Eigene
make_tree "$mine"
refused "user-folder-refused" ZETUREMOVE "$profile_win\\Eigene" "$gone"
check_file "user-folder-kept" "$mine/a.txt"
make_tree "$temp/ZET1A2B"
refused "four-digit-name-refused" ZETUREMOVE "$temp_win\\ZET1A2B" "$gone"
check_file "four-digit-folder-kept" "$temp/ZET1A2B/a.txt"
make_tree "$temp/tiefer/ZET0000000000000ABC"
refused "run-name-below-temp-refused" ZETUREMOVE "$temp_win\\tiefer\\ZET0000000000000ABC" "$gone"
check_file "run-name-below-temp-kept" "$temp/tiefer/ZET0000000000000ABC/a.txt"
chmod -R u+w "$mine" "$temp/ZET1A2B" "$temp/tiefer"

# A drive root: a drive Q: of its own with a file on it.
mkdir -p "$WT_DIR/qroot/sub"
echo keep >"$WT_DIR/qroot/sub/canary"
ln -s "$WT_DIR/qroot" "$WINEPREFIX/dosdevices/q:"
refused "drive-root-refused" ZETUREMOVE 'Q:\' "$gone"
refused "bare-drive-refused" ZETUREMOVE 'Q:' "$gone"
check_file "drive-untouched" "$WT_DIR/qroot/sub/canary"

# The folder that holds the remover itself, from one level up.
mkdir -p "$WT_DIR/own/bin"
cp "$dist_remover" "$WT_DIR/own/bin/ZETURFD.EXE"
wine_run 60 "$WT_DIR/own/bin/ZETURFD.EXE" ZETUREMOVE "$(wine_winpath "$WT_DIR/own")" "$gone"
check_eq "own-folder-parent-refused" 2 "$WT_RC"
check_file "own-folder-untouched" "$WT_DIR/own/bin/ZETURFD.EXE"

check_eq "refusals-left-everything" "$keep_list" "$(cd "$keep" && find . | sort)"
chmod -R u+w "$keep"

wine_test_finish
