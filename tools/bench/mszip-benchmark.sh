#!/usr/bin/env bash
# MSZIP benchmark: builds the codec optimised (Release, no sanitizers) in
# build/bench and runs it on a corpus as one stream of 32 KB blocks, printing
# ratio and MB/s for compression and expansion, and zlib level 6 beside it.
#   tools/bench/mszip-benchmark.sh [FILE...]
# Default corpus: the 32-bit Windows programs and DLLs that Wine ships.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j2 --target mszip_bench >/dev/null
if [ $# -eq 0 ]; then
  shopt -s nullglob
  set -- /usr/lib/i386-linux-gnu/wine/i386-windows/*.dll /usr/lib/i386-linux-gnu/wine/i386-windows/*.exe
fi
build/bench/tools/bench/mszip_bench "$@"
