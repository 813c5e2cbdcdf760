#!/usr/bin/env bash
# Cabinet benchmark: a corpus as one compressed component (one cabinet, one
# folder) through our writer with LZX and MSZIP, beside gcab -z (MSZIP) and
# xz with a 2 MiB dictionary on the same files; FDI extraction speed of
# both cabinets; the size of CABINET.DLL and of a package of one small file.
#   tools/bench/cabinet-benchmark.sh [FILE...]
# Default corpus: the 32-bit Windows programs and DLLs that Wine ships.
# Builds the tools optimised in build/bench; the package needs the win32
# build (build/win32/dist) and Wine.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j2 --target cabinet_bench make-bench-project >/dev/null
work=$root/build/cabinet-benchmark
rm -rf "$work"
mkdir -p "$work"
shopt -s nullglob
if [ $# -eq 0 ]; then
  set -- /usr/lib/i386-linux-gnu/wine/i386-windows/*.dll /usr/lib/i386-linux-gnu/wine/i386-windows/*.exe
fi
input=$(cat "$@" | wc -c)
echo "corpus: $# files, $input bytes ($((input / 1048576)) MiB)"
now() { date +%s.%N; }
percent() { awk -v a="$1" -v b="$input" 'BEGIN { printf "%.1f %%", 100 * a / b }'; }
rate() { awk -v t="$1" -v b="$input" 'BEGIN { printf "%.1f MB/s", b / 1e6 / t }'; }

for method in lzx mszip; do
  build/bench/tools/bench/cabinet_bench "$method" "$work/$method.cab" "$@"
  if cabextract -q -t "$work/$method.cab" >/dev/null 2>&1; then echo "  cabextract -t accepts $method.cab"
  else echo "  cabextract -t REFUSES $method.cab"; fi
done

start=$(now)
gcab -c -z -n "$work/gcab.cab" "$@" >/dev/null
t=$(echo "$(now) - $start" | bc)
size=$(stat -c %s "$work/gcab.cab")
echo "gcab -z: $size bytes = $(percent "$size"); $(printf '%.1f' "$t") s = $(rate "$t")"

start=$(now)
size=$(tar -cf - "$@" 2>/dev/null | xz -T1 --lzma2=preset=6,dict=2MiB -c | wc -c)
t=$(echo "$(now) - $start" | bc)
echo "xz (2 MiB dictionary): $size bytes = $(percent "$size"); $(printf '%.1f' "$t") s = $(rate "$t")"

dll=build/win32/dist/CABINET.DLL
if [ -f "$dll" ]; then
  echo "CABINET.DLL: $(stat -c %s "$dll") bytes (goal at most 65536)"
fi

# A package of one small file, built under Wine with our library.
if [ -f build/win32/dist/Tamblix.exe ] && command -v wine >/dev/null; then
  build/bench/tools/bench/make-bench-project "$work/one" 1 0.001
  export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;cabinet=n,b"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
  win() { wine winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
  timeout 300 wine build/win32/dist/Tamblix.exe /build "$(win "$work/one/bench.tbw")" \
    /out "$(win "$work")\\one.exe" >/dev/null 2>&1 || true
  wineserver -k || true
  if [ -f "$work/one.exe" ]; then
    echo "package of one small file ($(find "$work/one/files" -type f -printf '%s') bytes): $(stat -c %s "$work/one.exe") bytes (goal at most 204800)"
  else
    echo "package of one small file: the build failed"
  fi
fi
