#!/usr/bin/env bash
# What the installer loads, starts and removes in the temporary folder:
# a clean run starts the remover from a fresh run folder and the work
# folder goes; the installed SETUP.EXE without its SETUP.DLL (in place and
# copied to the desktop) and "SETUP.EXE ZETUFINISH" on the installed copy
# never remove their folder; a CABXPD32.DLL or ZETURFD.EXE replaced while
# the wizard shows its first page is refused with a message and never runs.
set -u
source "$TW_HARNESS"
source "$TW_SOURCE_DIR/tests/wine/driver/driver.sh"
source "$TW_SOURCE_DIR/tests/wine/install/walk.sh"
wine_test_begin install_safe_temp

demo_build
check_file "demo package built" "$package"
dir=$(demo_dir)
dir_win='C:\Program Files\Beispiel Software\Notizblock Pro'
temp_win=$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp=$(wine_unixpath "$temp_win")
desktop=$WINEPREFIX/drive_c/users/$(whoami)/Desktop
[ -d "$desktop" ] || desktop=$(wine_unixpath "$(timeout 60 wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')")/Desktop
mkdir -p "$desktop"
WALK_AFTER_TYPE=network_question_no

# run_folders: the run folders directly in the temporary folder.
run_folders() {
  find "$temp" -mindepth 1 -maxdepth 1 -type d -regextype posix-extended -regex '.*/ZET[0-9A-F]{16}' -printf '%f\n' | sort
}
# planted_ran: the marks the planted files leave when anything runs them.
planted_ran() { ls "$WINEPREFIX/drive_c/" | grep -i '^planted-' ; }

# A clean installation: the work folder goes, the remover ran from a run
# folder of its own, nothing is left named ZETURFD in the temporary folder.
rm -rf "$temp"/ZET*
wine_start "$package"
check "clean: the wizard walks to the summary" demo_walk 501
check "clean: the finish page after the copy" ui_wait 521 120
mapfile -t work < <(run_folders)
check_eq "clean: one work folder while the wizard runs" 1 "${#work[@]}"
check_file "clean: it holds the runtime" "$temp/${work[0]:-none}/_SETUP.EXE"
ui_click 1
check "clean: the install ends" wine_wait_idle 60
check "clean: the work folder is removed" wine_wait_for 30 test ! -e "$temp/${work[0]:-none}"
mapfile -t after < <(run_folders)
check_eq "clean: one run folder left, the remover's" 1 "${#after[@]}"
check_file "clean: the remover ran from it" "$temp/${after[0]:-none}/ZETURFD.EXE"
check "clean: no ZETURFD directly in the temporary folder" test -z "$(find "$temp" -maxdepth 1 -iname 'ZETURFD.*')"
check_file "clean: the application is installed" "$dir/notiz.txt"
check_file "clean: with its uninstaller" "$dir/SETUP.EXE"

# The user's data beside the installed SETUP.EXE, whose DLL is gone.
echo "meine Daten" >"$dir/meine-daten.txt"
mkdir -p "$dir/Projekte"
echo "Arbeit" >"$dir/Projekte/arbeit.txt"
mv "$dir/SETUP.DLL" "$WT_DIR/SETUP.DLL.kept"
dir_list=$(cd "$dir" && find . | sort)
touch "$WT_DIR/stamp"
# no_dll NAME PROGRAM [ARGS]: the two boxes (the system's text, the DLL
# path), then the program ends; a remover it might start gets time.
no_dll() {
  local name=$1; shift
  wine_start "$@"
  check "$name: the system's error box" box_answer 1 30
  local text
  text=$(box_answer 1 30)
  check "$name: the box names the DLL" grep -qi 'SETUP.DLL' <<<"$text"
  wine_wait_pid 60
  # A run that cannot start fails: 1603, of which the script sees the low 8 bits.
  check_eq "$name: the program ends with 1603" 67 "$WT_RC"
  wine_wait_idle 30
  sleep 3
}
no_dll installed "$dir/SETUP.EXE"
check_eq "installed without DLL: the folder is untouched" "$dir_list" "$(cd "$dir" && find . | sort)"
no_dll installed-uninstall "$dir/SETUP.EXE" ZETUREMOVE
check_eq "uninstall without DLL: the folder is untouched" "$dir_list" "$(cd "$dir" && find . | sort)"
echo "Notizen vom Schreibtisch" >"$desktop/notizen.txt"
cp "$dir/SETUP.EXE" "$desktop/SETUP.EXE"
desktop_list=$(cd "$desktop" && find . | sort)
no_dll desktop "$desktop/SETUP.EXE"
check_eq "desktop copy without DLL: the desktop is untouched" "$desktop_list" "$(cd "$desktop" && find . | sort)"
check "no remover was started" test -z "$(find "$temp" -maxdepth 2 -iname 'ZETURFD.*' -newer "$WT_DIR/stamp")"
rm -f "$desktop/SETUP.EXE"
mv "$WT_DIR/SETUP.DLL.kept" "$dir/SETUP.DLL"

# The continuation keyword on the installed copy: the finish page, then
# nothing removed.
dir_list=$(cd "$dir" && find . | sort)
wine_start "$dir/SETUP.EXE" ZETUFINISH "$dir_win"
check "ZETUFINISH: the finish page" ui_wait 521 60
ui_screenshot zetufinish.png
ui_click 1
check "ZETUFINISH: it ends" wine_wait_idle 60
sleep 3
check_eq "ZETUFINISH on the installed copy: the folder is untouched" "$dir_list" "$(cd "$dir" && find . | sort)"

# first_page_then PLANT: starts the package, and while the wizard shows its
# first page runs PLANT; sets work to the run's work folder.
first_page_then() {
  rm -rf "$temp"/ZET*
  wine_start "$package"
  # The earlier installation is mentioned first (1033): No, go on.
  box_answer 7 60 >/dev/null
  ui_wait 1200 60 >/dev/null
  work=$(run_folders | head -1)
  "$@"
}

# CABXPD32.DLL replaced in the work folder: refused before it is loaded.
plant_cabxpd() { cp "$TW_TEST_TOOLS/planted_dll.dll" "$temp/$work/CABXPD32.DLL"; }
first_page_then plant_cabxpd
check "cabxpd: a work folder to plant into" test -n "$work"
demo_walk 501
text=$(ui_box 120 | tr -d '\r')
echo "cabxpd: $text"
ui_screenshot cabxpd-refused.png
ui_answer 1 >/dev/null
check "cabxpd: refused with a message" grep -qi 'corrupt' <<<"$text"
end_setup
check_eq "cabxpd: the planted DLL was never loaded" "" "$(planted_ran)"

# ZETURFD.EXE replaced in the temporary folder: the installation goes on,
# the remover is refused at the end with a message naming it.
plant_remover() { cp "$TW_TEST_TOOLS/planted_program.exe" "$temp/ZETURFD.EXE"; }
first_page_then plant_remover
check "remover: the wizard walks to the summary" demo_walk 501
check "remover: the finish page after the copy" ui_wait 521 120
ui_click 1
text=$(ui_box 60 | tr -d '\r')
echo "remover: $text"
ui_screenshot remover-refused.png
ui_answer 1 >/dev/null
check "remover: refused with a message" grep -qi 'corrupt' <<<"$text"
check "remover: the message names the file" grep -qi 'ZETURFD.EXE' <<<"$text"
check "remover: Setup ends" wine_wait_idle 60
sleep 3
check_eq "remover: the planted program never ran" "" "$(planted_ran)"
check_file "remover: the installation itself is done" "$dir/notiz.txt"

wine_test_finish
