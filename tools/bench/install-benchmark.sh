#!/usr/bin/env bash
# Install benchmark: builds the build benchmark's project (default 2,000
# files, 200 MB) as a package, installs it through the real wizard, extracts
# the same cabinets with nothing but FDI (fdi_extract) and uninstalls it, all
# in one Wine prefix, and prints the times and their ratio.
#   tools/bench/install-benchmark.sh [FILES] [MEGABYTES]
# Needs the host build and the win32 build with the test tools uidriver and
# fdi_extract. It runs in the Wine test harness's prefix copy and display
# (build/win32/wine-tests/install_benchmark); TW_KEEP=1 keeps that folder
# with the screenshots, TW_BENCH_PROGRESS_SHOT=1 also takes one during the
# copy (which costs the copy a little time).
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
files=${1:-2000}
megabytes=${2:-200}
bin=$root/build/win32
maker=$root/build/host/tools/bench/make-bench-project
app="Lasttest"
version="1.0"
for need in "$maker" "$bin/dist/Tamblix.exe" "$bin/test-tools/uidriver.exe" "$bin/test-tools/fdi_extract.exe"; do
  [ -e "$need" ] || { echo "install-benchmark: $need is missing (build the host and win32 trees first)" >&2; exit 1; }
done
template_log=$(mktemp)
bash tests/wine/lib/make-template.sh "$bin/wine-template" >"$template_log" 2>&1 ||
  { cat "$template_log" >&2; rm -f "$template_log"; exit 1; }
rm -f "$template_log"

export TW_BINARY_DIR=$bin TW_WINE_TEMPLATE=$bin/wine-template TW_UIDRIVER=$bin/test-tools/uidriver.exe
# Generous: a slow machine must not be stopped in the middle of a run.
export TW_TIMEOUT=${TW_TIMEOUT:-$((1800 + megabytes * 20))}
source tests/wine/lib/harness.sh
source tests/wine/driver/driver.sh
# The harness's clean-up looks at every process's environment; those it may
# not read say so on stderr, which says nothing about the run.
exec 2> >(grep --line-buffered -v '/environ: No such' >&2)
wine_test_begin install_benchmark

# ui_wait without its window line: the figures are what this prints.
page() { ui_wait "$@" >/dev/null; }
now() { echo "${EPOCHREALTIME:-$(date +%s.%N)}"; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
# Copy and page waits grow with the package; a minute per 20 MB is far more
# than any run needs.
copy_limit=$((120 + megabytes * 3))

# The project: the build benchmark's, installed into its own folder, with
# the uninstaller and the finish page (which marks the end of the copy).
build_start=$(now)
"$maker" "$WT_DIR/project" "$files" "$megabytes" || exit 1
python3 - "$WT_DIR/project/bench.tbw" "$app" <<'PY' || exit 1
import sys
path, app = sys.argv[1], sys.argv[2]
data = bytearray(open(path, 'rb').read())
STRING, FALSE, TRUE = 0x06, 0x08, 0x09

def short(text):
    raw = text.encode('cp1252')
    return bytes([STRING, len(raw)]) + raw

# The target directory is followed by the three check boxes "Lange
# Dateinamen erforderlich", "Setup installieren", "Deinstallation installieren".
old = short('<ProgramFilesDir>')
at = data.find(old + bytes([FALSE]))
if at < 0:
    sys.exit('install-benchmark: the target directory is not where it was expected')
flags = at + len(old)
data[flags + 2] = TRUE
data[at:flags] = short('<ProgramFilesDir>\\' + app)
# The project ends with the 15 dialog entries, four strings, two flags, a
# string, a flag and two strings (language, extension DLL); entry 14 is the
# finish page "Programm ausführen".
def skip_string_back(end):
    # Strings here are short: find the start whose length byte reaches end.
    for start in range(end - 2, max(end - 260, 0) - 1, -1):
        if data[start] == STRING and start + 2 + data[start + 1] == end:
            return start
    sys.exit('install-benchmark: unexpected end of the project file')
end = len(data)
end = skip_string_back(end)
end = skip_string_back(end)
end -= 1
end = skip_string_back(end)
end -= 2
for _ in range(4):
    end = skip_string_back(end)
entries = end - 15
if any(b not in (FALSE, TRUE) for b in data[entries:end]):
    sys.exit('install-benchmark: the dialog entries are not where they were expected')
data[entries + 14] = TRUE
open(path, 'wb').write(bytes(data))
PY
cp -r "$bin/dist" "$WT_DIR/builder"
package=$WT_DIR/$app.exe
(cd "$WT_DIR" && timeout $((600 + megabytes * 10)) wine "$WT_DIR/builder/Tamblix.exe" /build \
  "$(wine_winpath "$WT_DIR/project/bench.tbw")" /out "$(wine_winpath "$package")" >/dev/null 2>&1)
check_file "package built" "$package" || exit 1
package_bytes=$(stat -c %s "$package")
echo "package built in $(seconds "$build_start" "$(now)") s"

# (a) The install through the wizard.
sync
wizard_start=$(now)
wine_start "$package"
check "welcome page" page 710 60 || exit 1
ui_click 1
check "destination page" page 196 30
destination=$(ui_text 715 | tr -d '\r')
ui_click 1
check "setup type page" page 501 60
ui_click 1
check "summary page" page 301 60
ui_screenshot summary.png
# The click returns once the progress page is up, which is where the copy
# starts; the finish page appears when copy and registration are done.
ui_click 1
copy_start=$(now)
if [ "${TW_BENCH_PROGRESS_SHOT:-0}" = 1 ]; then
  sleep 1
  ui_screenshot progress.png
fi
installed=0
if page 711 "$copy_limit"; then
  copy_end=$(now)
  installed=1
  check "finish page" true
  ui_screenshot finish.png
  ui_click 1
else
  # Whatever stopped the copy has most likely said so in a box.
  box=$(ui_box 5 | tr -d '\r')
  check "finish page" false
  [ -n "$box" ] && echo "install-benchmark: instead of the finish page: $(tr '\n' ' ' <<<"$box")"
  ui_screenshot install-failed.png
  [ -n "$box" ] && ui_answer 1
fi
wine_wait_idle 120
wizard_end=$(now)
target=$(wine_unixpath "$destination")
if [ $installed = 1 ]; then
  check_eq "every file installed" "$files" "$(find "$target" -name 'datei*.dat' -type f | wc -l)"
fi

# (b) The same cabinets with FDI alone, from views of the package, into an
# empty folder.
sync
extract_dir=$WINEPREFIX/drive_c/extract
rm -rf "$extract_dir"
extract_start=$(now)
extract_line=$(timeout "$copy_limit" wine "$bin/test-tools/fdi_extract.exe" "$(wine_winpath "$package")" 'C:\extract' |
  tr -d '\r')
extract_end=$(now)
echo "$extract_line"
extract_ms=$(sed -n 's/.* in \([0-9]*\) ms$/\1/p' <<<"$extract_line")
check "fdi_extract reports its time" test -n "$extract_ms"
check_eq "fdi_extract wrote every file" "$files" "$(find "$extract_dir" -name 'datei*.dat' -type f | wc -l)"

# (c) The uninstall through the registered command.
uninstall_s=
if [ $installed = 1 ]; then
  key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app $version"
  command=$(wine_reg_query "$key" UninstallString | sed -n 's/^ *UninstallString *REG_SZ *//p')
  if check "uninstall command registered" grep -q ' ZETUREMOVE$' <<<"$command"; then
    # The command line is the program's path, quoted or not, and the keyword.
    program=${command% ZETUREMOVE}
    case $program in \"*\") program=${program:1:${#program}-2} ;; esac
    sync
    wine_start "$(wine_unixpath "$program")" ZETUREMOVE
    question=$(ui_box 60 | tr -d '\r')
    check "the uninstall asks first" grep -q . <<<"$question" && echo "question: $(tr '\n' ' ' <<<"$question")"
    ui_answer 6
    uninstall_start=$(now)
    page=$(ui_wait 721 60 | tr -d '\r')
    title=$(cut -f3 <<<"$page")
    if check "uninstall page" test -n "$title"; then
      # OK comes on when the removal is done. Each look is one driver run,
      # so the time is known to about one look's length (printed below).
      looks=0
      deadline=$(awk -v t="$(now)" -v l="$copy_limit" 'BEGIN { printf "%d", t + l }')
      while :; do
        looks=$((looks + 1))
        if UI_WAIT=2 ui_enabled 1 --title "$title" 2>/dev/null; then break; fi
        if [ "$(date +%s)" -ge "$deadline" ]; then looks=0; break; fi
      done
      uninstall_end=$(now)
      if check "uninstall ends with OK enabled" test $looks -gt 0; then
        uninstall_s=$(seconds "$uninstall_start" "$uninstall_end")
        look_s=$(awk -v u="$uninstall_s" -v n="$looks" 'BEGIN { printf "%.2f", u / n }')
      fi
      # The page is painted a moment after OK comes on.
      sleep 1
      ui_screenshot uninstall.png
      ui_click 1 --title "$title"
    else
      ui_screenshot uninstall-failed.png
    fi
    wine_wait_idle 120
    check_eq "no installed file left" 0 "$(find "$target" -name 'datei*.dat' -type f 2>/dev/null | wc -l)"
    check "uninstall entry removed" bash -c "! wine reg query '$key' >/dev/null 2>&1"
  fi
fi

echo
echo "package: $package_bytes bytes ($(awk -v b="$package_bytes" 'BEGIN { printf "%.1f", b / 1048576 }') MB), $files files"
if [ $installed = 1 ]; then
  install_s=$(seconds "$copy_start" "$copy_end")
  echo "install: $install_s s from Next on the summary page to the finish page;" \
    "$(seconds "$wizard_start" "$wizard_end") s from starting the package until all its programs had ended"
else
  install_s=
  echo "install: did not reach the finish page"
fi
if [ -n "$extract_ms" ]; then
  extract_s=$(awk -v m="$extract_ms" 'BEGIN { printf "%.2f", m / 1000 }')
  echo "extract only: $extract_s s (fdi_extract's own count; $(seconds "$extract_start" "$extract_end") s with Wine's start)"
fi
if [ -n "$install_s" ] && [ -n "$extract_ms" ]; then
  awk -v i="$install_s" -v m="$extract_ms" 'BEGIN {
    if (m > 0) printf "install / extract: %.2f (goal at most 1.25)\n", i * 1000 / m }'
fi
if [ -n "$uninstall_s" ]; then
  echo "uninstall: $uninstall_s s from Yes to the question until OK is enabled (looked every $look_s s)"
else
  echo "uninstall: not run"
fi
wine_test_finish
