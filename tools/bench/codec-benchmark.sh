#!/usr/bin/env bash
# Codec benchmark: the 32-bit Windows programs and DLLs that Wine ships, as
# one folder, through our LZX encoder and decoder; with --peers also gcab's
# MSZIP and xz with a 2 MiB dictionary on the same bytes, for comparison.
#
#   tools/bench/codec-benchmark.sh [--limit BYTES] [--peers] [FILE...]
#
# The benchmark is built optimised in build/bench (the host preset is a
# debug build with sanitizers, far too slow to measure):
#   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release
#   cmake --build build/bench --target codec-bench -j2
# which this script does when build/bench/tools/bench/codec-bench is missing
# or older than the codec's sources. Speeds are given as processor time of
# one thread, and by the clock.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=$root/build/bench/tools/bench/codec-bench
limit=()
peers=0
files=()
while [ $# -gt 0 ]; do
  case $1 in
    --limit) limit=(--limit "$2"); shift 2 ;;
    --peers) peers=1; shift ;;
    *) files+=("$1"); shift ;;
  esac
done
if [ ${#files[@]} -eq 0 ]; then
  corpus=/usr/lib/i386-linux-gnu/wine/i386-windows
  files=("$corpus"/*.dll "$corpus"/*.exe)
fi

newest=$(find "$root/cabinet/core" "$root/tools/bench/codec_bench.cpp" -newer "$bench" -type f 2>/dev/null | head -1 || true)
if [ ! -x "$bench" ] || [ -n "$newest" ]; then
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
  cmake --build "$root/build/bench" --target codec-bench -j2 >/dev/null
fi

echo "== our LZX (one folder, 32 KB blocks)"
"$bench" "${limit[@]}" "${files[@]}"

if [ $peers -eq 1 ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cat "${files[@]}" > "$work/all.bin"
  if [ ${#limit[@]} -gt 0 ]; then truncate -s "${limit[1]}" "$work/all.bin"; fi
  size=$(stat -c %s "$work/all.bin")
  if command -v gcab >/dev/null; then
    (cd "$work" && gcab -c -z mszip.cab all.bin)
    echo "== gcab -z (MSZIP): $(stat -c %s "$work/mszip.cab") bytes," \
      "$(echo "scale=2; 100 * $(stat -c %s "$work/mszip.cab") / $size" | bc) % of the input"
  fi
  if command -v xz >/dev/null; then
    xz -T1 -c --lzma2=preset=6,dict=2MiB "$work/all.bin" > "$work/all.xz"
    echo "== xz, 2 MiB dictionary: $(stat -c %s "$work/all.xz") bytes," \
      "$(echo "scale=2; 100 * $(stat -c %s "$work/all.xz") / $size" | bc) % of the input"
  fi
fi
