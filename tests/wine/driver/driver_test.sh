#!/usr/bin/env bash
# Proves the UI driver: it finds, reads and operates a two-page test wizard and its message box through their real windows.
# shellcheck disable=SC2317  # the helpers below run through check
# shellcheck source-path=SCRIPTDIR source=../lib/harness.sh
source "$TW_HARNESS"
# shellcheck source=driver.sh
source "$(dirname "$(realpath "$0")")/driver.sh"
wine_test_begin driver_walk
target=${TW_DRIVER_TARGET:?TW_DRIVER_TARGET is not set}

# exits_with CODE COMMAND...: the command ends with exactly that code.
exits_with() {
  local want=$1; shift
  "$@" >/dev/null 2>&1
  [ $? = "$want" ]
}
field() { sed -n "s/^$1=//p" "$2"; }
# Pixels of one exact colour on a screenshot.
colour_pixels() {
  convert "$1" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}
black_pixels() {
  convert "$1" -alpha off -fill white +opaque black -negate \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}

out=$WT_DIR/target.txt
wine_start "$target" "$(wine_winpath "$out")"
first_pid=$WT_PID
check "page 1 comes up" ui_wait 715 60

# Two programs show the same page: the commands act on the one last
# activated, here the second, until it is gone.
first_handle=$(ui_wait 715 5 | cut -f1)
# Both pages are up and a window other than the first page is in front.
second_in_front() {
  local list; list=$(ui_windows)
  [ "$(grep -c $'\t#32770\tSeite 1 - Prüfung$' <<<"$list")" = 2 ] &&
    grep -q '^(foreground) 0x' <<<"$list" &&
    ! grep -q "^(foreground) $first_handle"$'\t' <<<"$list"
}
other=$WT_DIR/other.txt
wine_start "$target" "$(wine_winpath "$other")"
check "a second page 1 comes up" wine_wait_for 60 second_in_front
check "typing reaches the last activated page" ui_settext 715 "zweite"
check "its Cancel ends it" ui_click 2
wine_wait_pid 30
check_eq "the second program ends with 0" 0 "$WT_RC"
check_eq "the second program got the typing" zweite "$(field last_change "$other")"
check_eq "the second program ended through Cancel" cancel "$(field end "$other")"
WT_PID=$first_pid

# Finding windows and reading them.
check "wait prints handle, class and title" \
  grep -qE $'^0x[0-9a-f]+\t#32770\tSeite 1 - Prüfung$' <<<"$(ui_wait 715 5)"
check_eq "an edit's German text arrives intact" 'C:\Programme\Größenprüfung' "$(ui_text 715)"
check_eq "a static's text" "Geben Sie den Zielordner für die Übung an:" "$(ui_text 711)"
check_eq "a read-only edit's text" "Nur zum Prüfen." "$(ui_text 717)"
check_eq "list items" $'Hauptprogramm\nHilfedateien\nBeispiele für Übungen' "$(ui_items 401)"
check_eq "an owner-drawn list without strings gives its item data" $'17\n250\n4096\n4294967295' "$(ui_items 402)"
rect=$(ui_rect 401)
check "rect gives the control's and its window's place" \
  awk 'NF != 4 || $3 <= 0 || $4 <= 0 { bad = 1 } END { exit bad || NR != 2 }' <<<"$rect"
check "the list lies inside its window" test "$(sed -n 1p <<<"$rect" | cut -d' ' -f3)" -lt "$(sed -n 2p <<<"$rect" | cut -d' ' -f3)"
# Home in the list: the list itself moves to its first item and tells its
# page, as for a key pressed there (counted below).
check "a key to a list" ui_key 401 0x24
check "a key that is none" exits_with 2 ui_key 401 0x1FF
check_eq "an unticked check box" "unchecked enabled visible" "$(ui_state 25)"
check_eq "a ticked check box" "checked enabled visible" "$(ui_state 302)"
check_eq "a three-state box in its third state" "indeterminate enabled visible" "$(ui_state 303)"
check_eq "a disabled push button" "none disabled visible" "$(ui_state 12)"
check "Next is enabled" ui_enabled 1
check "Back is disabled (exit 1)" exits_with 1 ui_enabled 12
check "the edit is visible" ui_visible 715
# "No" is an answer of its own, never a missing control or a stopped driver.
check_eq "enabled prints its answer" "disabled" "$(ui_enabled 12)"
check_eq "visible prints its answer" "visible" "$(ui_visible 715)"
check "ui_disabled: Back is disabled" ui_disabled 12
check "ui_disabled: Next is not (exit 1)" exits_with 1 ui_disabled 1
check "ui_disabled: no such control is not 'disabled' (exit 3)" exits_with 3 env UI_WAIT=1 bash -c \
  "source '$TW_SOURCE_DIR/tests/wine/driver/driver.sh'; ui_disabled 999"
check "ui_hidden: a visible edit is not hidden (exit 1)" exits_with 1 ui_hidden 715
check "ui_absent: an id no window has is absent" ui_absent 999 1
check_eq "ui_absent prints its answer" "absent" "$(ui_absent 999 1)"
check "ui_absent: a control that is there is present (exit 1)" exits_with 1 ui_absent 715 1
check "a German title selects the window" ui_wait 1 5 --title "Seite 1 - Prüfung"
check "a title no window has finds nothing (exit 3)" exits_with 3 ui_wait 1 1 --title "Seite 9"
check "a class no window has finds nothing" exits_with 3 ui_wait 1 1 --class Button
check "an id no window has finds nothing" exits_with 3 ui_wait 999 1
check "windows lists the page and its controls" \
  grep -qP '^  715\tEdit\tvisible\tC:' <<<"$(ui_windows)"

# What a user could not do is refused, and nothing reaches the program.
check "a disabled button is not clicked (exit 4)" exits_with 4 ui_click 12
check "a read-only edit takes no typing" exits_with 4 ui_settext 717 x
check "an option button is not cleared" exits_with 4 ui_uncheck 501
check "an edit is not clicked" exits_with 4 ui_click 715
check "a list has no item past its end" exits_with 4 ui_select 401 3
check "an unknown command is a usage error (exit 2)" exits_with 2 ui_driver 5 frobnicate 1

# A handler that stays busy does not hold the driver: the click returns
# with a note, and the next command waits for the program to answer.
note=$(ui_click 304 2>&1 >/dev/null)
check_eq "a click into a busy handler still succeeds" 0 "$?"
check "it says the handler is still running" grep -q "still running" <<<"$note"
check_eq "the busy page answers once it is done" 'C:\Programme\Größenprüfung' "$(ui_text 715)"

# Filling in page 1.
dest='D:\Spiele\Äpfel & Öl'
check "typing into the destination" ui_settext 715 "$dest"
check_eq "the destination reads back" "$dest" "$(ui_text 715)"
check "typing into the multi-line notes" ui_settext 716 "Zeile eins"
check "ticking a check box" ui_check 25
check_eq "it is ticked" "checked enabled visible" "$(ui_state 25)"
check "ticking it again leaves it ticked" ui_check 25
check_eq "still ticked" "checked enabled visible" "$(ui_state 25)"
check "clearing a check box" ui_uncheck 302
check "a three-state box to checked" ui_check 303
check_eq "three-state now checked" "checked enabled visible" "$(ui_state 303)"
check "choosing an option" ui_check 502
check_eq "the option before is cleared" "unchecked enabled visible" "$(ui_state 501)"
check "selecting a list item" ui_select 401 2
check "selecting in the owner-drawn list" ui_select 402 1
check "page 1 screenshot" ui_screenshot page1.png
# Both selected rows in the highlight colour: the selections are what a
# user sees, not only what the lists report.
check "the selected list rows are highlighted" \
  test "$(colour_pixels "$WT_SHOT" 'rgb(48,150,250)')" -ge 2500

# Next opens page 2 and, from the same click, a "Setup" box.
check "clicking Next" ui_click 1
check "page 2 comes up" ui_wait 710 20
check_eq "page 2 shows what was typed" "Die Übung wird nach $dest kopiert." "$(ui_text 710)"
check_eq "the box's caption and text" $'Setup\nMöchten Sie die Übung jetzt starten?' "$(ui_box 20)"
check "page 1 is gone from the search" exits_with 3 ui_wait 715 1
check "page 2's button is refused while the box is up" exits_with 4 ui_click 1
check "a button the box does not show is refused" exits_with 4 ui_answer 1
check "page 2 screenshot" ui_screenshot page2.png
check "the box is drawn with its active caption" \
  test "$(colour_pixels "$WT_SHOT" 'rgb(50,150,250)')" -ge 2000
check "no window is left unpainted (black)" test "$(black_pixels "$WT_SHOT")" -lt 10000
check "answering Yes" ui_answer 6
check "the box goes away" wine_wait_for 20 exits_with 3 ui_box 0
check_eq "page 2 shows the answer" "Antwort: Ja" "$(ui_text 712)"
check "clicking Finish" ui_click 1
wine_wait_pid 30
check_eq "the target ends with 0" 0 "$WT_RC"

# What the target received.
check_file "the target wrote its record" "$out"
got=$WT_DIR/target-utf8.txt
iconv -f CP1252 -t UTF-8 "$out" >"$got"
check_eq "Next saw the typed destination" "$dest" "$(field destination "$got")"
check_eq "EN_CHANGE saw the typed destination" "$dest" "$(field last_change "$got")"
check_eq "one EN_CHANGE for the single-line edit" 1 "$(field destination_changes "$got")"
check_eq "one EN_CHANGE for the multi-line edit" 1 "$(field notes_changes "$got")"
check_eq "the notes" "Zeile eins" "$(field notes "$got")"
check_eq "box 25 ticked" 1 "$(field check25 "$got")"
check_eq "box 302 cleared" 0 "$(field check302 "$got")"
check_eq "box 303 checked" 1 "$(field check303 "$got")"
check_eq "option 502 chosen" 502 "$(field option "$got")"
check_eq "list item 2 selected" 2 "$(field list "$got")"
check_eq "owner-drawn item 1 selected" 1 "$(field sizes "$got")"
check_eq "one LBN_SELCHANGE for the Home key and one for select" 2 "$(field list_changes "$got")"
check_eq "LBN_SELCHANGE came after the selection" 2 "$(field last_list_change "$got")"
check_eq "the disabled Back never fired" 0 "$(field back_clicks "$got")"
check_eq "the busy button got one click" 1 "$(field slow_clicks "$got")"
check_eq "the box's answer" yes "$(field answer "$got")"
check_eq "the end through Finish" finish "$(field end "$got")"

wine_test_finish
