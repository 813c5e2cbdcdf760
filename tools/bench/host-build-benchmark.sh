#!/usr/bin/env bash
# Host build benchmark: two projects, each built in one run
#   - by tamblix build on the host (optimised, build/bench),
#   - by cabinet_bench alone: the same files (the project's and the
#     runtime's) compressed with the same LZX into one cabinet, no build,
#   - by Tamblix.exe /build under Wine, with the same compression;
# and prints the times and the ratios host/compression-alone (goal at most
# 1.10) and Wine/host (goal at least 5).
#   tools/bench/host-build-benchmark.sh [FILES] [MEGABYTES]
# The projects: the generated one of the build benchmark (default 2,000
# files, 200 MB) and the sample with the 32-bit programs and DLLs Wine ships
# (written as JSON and built from it). Needs the win32 build.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
files=${1:-2000}
megabytes=${2:-200}
work=$root/build/host-benchmark
dist=$root/build/win32/dist
[ -e "$dist/ZETUBODY.EXE" ] || { echo "the win32 build is missing (cmake --build --preset win32)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"

echo "== optimised tools in build/bench"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/bench -j2 --target tamblix cabinet_bench make-bench-project >/dev/null
tamblix=$root/build/bench/tamblix
cabbench=$root/build/bench/tools/bench/cabinet_bench

echo "== projects"
build/bench/tools/bench/make-bench-project "$work/generated" "$files" "$megabytes" >/dev/null
corpus=/usr/lib/i386-linux-gnu/wine/i386-windows
cp -r examples/sample "$work/wine-dlls"
cp -p "$corpus"/*.dll "$corpus"/*.exe "$work/wine-dlls/files/"
"$tamblix" dump examples/sample/sample.tbw | python3 -c '
import json, os, sys
project = json.load(sys.stdin)
folder = sys.argv[1]
program = project["componentTree"][0]["children"][0]
names = sorted(n for n in os.listdir(folder) if n.lower().endswith((".dll", ".exe")))
entry = dict(program["children"][0])
for name in names:
    e = dict(entry, text="[DefSrcPath]\\files\\" + name, value=0, children=[])
    program["children"].append(e)
json.dump(project, open(sys.argv[2], "w"), ensure_ascii=False, indent=1)
' "$work/wine-dlls/files" "$work/wine-dlls/wine-dlls.json"
"$tamblix" load "$work/wine-dlls/wine-dlls.json" "$work/wine-dlls/wine-dlls.tbw"

export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;cabinet=n,b"
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
win() { wine winepath.exe -w "$1" 2>/dev/null | tr -d '\r'; }
now() { date +%s.%N; }

# The source files a project's file entries name, one per line.
sources() {
  "$tamblix" dump "$1" | python3 -c '
import json, os, sys
project = json.load(sys.stdin)
folder = os.path.dirname(os.path.abspath(sys.argv[1]))
def walk(node):
    if node["picture"] == 2:
        yield os.path.join(folder, node["text"].replace("[DefSrcPath]\\", "").replace("\\", "/"))
    for c in node["children"]:
        yield from walk(c)
for f in walk(project["componentTree"][0]):
    print(f)
' "$1"
}

measure() {  # measure NAME PROJECT.tbw
  local name=$1 project=$2 out=$work/$1
  mkdir -p "$out"
  local count mb
  count=$(sources "$project" | wc -l)
  mb=$(sources "$project" | tr '\n' '\0' | du -cb --files0-from=- | tail -1 | cut -f1)
  echo "== $name: $count files, $((mb / 1000000)) MB"

  local start end host wine alone
  start=$(now)
  "$tamblix" build "$project" -o "$out/host.exe" --builder-dir "$dist" --timing | grep '^Zeit' | sed 's/^/   host:  /'
  end=$(now)
  host=$(echo "$end - $start" | bc)

  mapfile -t inputs < <(sources "$project")
  alone=$("$cabbench" lzx "$out/alone.cab" "$dist/ZETUSUM.DLL" "$dist/ZETUSUM.EXE" "$dist/ZETURFD.EXE" "${inputs[@]}" |
    sed -E 's/.*write ([0-9.]+) s.*/\1/')

  start=$(now)
  wine "$dist/Tamblix.exe" /build "$(win "$project")" /out "$(win "$out")\\wine.exe" /timing |
    iconv -f cp1252 -t utf-8 | tr -d '\r' | grep '^Zeit' | sed 's/^/   Wine:  /'
  end=$(now)
  wine=$(echo "$end - $start" | bc)
  wineserver -w || true

  local same=different
  cmp -s "$out/host.exe" "$out/wine.exe" && same=identical
  awk -v h="$host" -v a="$alone" -v w="$wine" -v s="$same" -v size="$(stat -c %s "$out/host.exe")" 'BEGIN {
    printf "   host build %.2f s; compression alone %.2f s; build under Wine %.2f s (wall, with Wine start-up)\n", h, a, w
    printf "   host/compression alone = %.2f (goal <= 1.10); Wine/host = %.1f (goal >= 5)\n", h / a, w / h
    printf "   package %.1f MB, host and Wine packages %s\n", size / 1e6, s }'
}

measure generated "$work/generated/bench.tbw"
measure wine-dlls "$work/wine-dlls/wine-dlls.tbw"
wineserver -k 2>/dev/null || true
