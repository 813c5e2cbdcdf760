# The screen capture shared by the Wine tests' harness and the main job; source it.
# shellcheck shell=bash
#
# tw_screenshot FILE.png: the screen of $DISPLAY. ImageMagick's import reads
# the pixels the screen shows (xwd -root gives black for a window lying
# inside another one of Wine's colormap, such as a message box over a
# page). A picture is kept once two captures 0.3 s apart are the same, so
# nothing half-painted is kept; after 10 tries the last one is kept with a
# note on stderr. Returns 1 when no picture was made.
tw_screenshot() {
  local -; set +e
  local file=${1:?tw_screenshot needs a file name}
  local a=$file.a.ppm b=$file.b.ppm try steady=
  rm -f "$file"
  timeout 30 import -display "$DISPLAY" -window root "ppm:$a" 2>/dev/null
  for ((try = 0; try < 10; try++)); do
    sleep 0.3
    timeout 30 import -display "$DISPLAY" -window root "ppm:$b" 2>/dev/null
    if [ -s "$b" ] && cmp -s "$a" "$b"; then steady=1; break; fi
    mv -f "$b" "$a" 2>/dev/null
  done
  [ -n "$steady" ] || echo "screenshot $file: the screen kept changing; the last capture is kept" >&2
  [ -s "$a" ] && timeout 30 convert "ppm:$a" "$file"
  rm -f "$a" "$b"
  [ -s "$file" ]
}
