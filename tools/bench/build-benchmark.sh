#!/usr/bin/env bash
# Build benchmark: makes a large project (default 2,000 files, 200 MB of
# mixed kinds), builds it with the builder's command line under Wine and
# prints the total time and the share spent outside the compressor.
#   tools/bench/build-benchmark.sh [FILES] [MEGABYTES]
# Needs the host and win32 builds (tools/run-main.sh makes both).
set -euo pipefail
cd "$(dirname "$0")/../.."
files=${1:-2000}
megabytes=${2:-200}
work=$(pwd)/build/benchmark
rm -rf "$work"
mkdir -p "$work"
build/host/tools/bench/make-bench-project "$work/project" "$files" "$megabytes"
echo "project: $files files, $(du -sm "$work/project/files" | cut -f1) MB"
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;cabinet=n,b"
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
win() { wine winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
start=$(date +%s.%N)
wine build/win32/dist/Tamblix.exe /build "$(win "$work/project/bench.tbw")" /out "$(win "$work")\\bench.exe" /timing \
  | iconv -f cp1252 -t utf-8 | tr -d '\r' | grep '^Zeit' | tee "$work/timing.txt"
end=$(date +%s.%N)
wineserver -k || true
read -r total fci < <(sed -E 's/Zeit: ([0-9]+) ms gesamt, ([0-9]+) ms im Komprimierer/\1 \2/' "$work/timing.txt")
echo "package: $(du -m "$work/bench.exe" | cut -f1) MB"
awk -v t="$total" -v f="$fci" -v w="$(echo "$end - $start" | bc)" 'BEGIN {
  printf "build: %.2f s (wall, with Wine start-up %.2f s); compressor %.2f s; outside the compressor %.2f s = %.1f %%\n",
         t / 1000, w, f / 1000, (t - f) / 1000, (t > 0 ? 100 * (t - f) / t : 0) }'
