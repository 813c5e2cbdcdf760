#!/usr/bin/env bash
# Builds every preset and runs all tests: host unit tests, Wine integration
# tests of the deliverables, and bounded fuzz runs. Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${TW_FUZZ_SECONDS:-60}
passed=0; failed=0; status=0

run_preset() {  # run_preset NAME [configure args...]
  local name=$1; shift
  echo "== $name: configure and build"
  if ! cmake --preset "$name" "$@" >"build/$name.log" 2>&1 ||
     ! cmake --build --preset "$name" -j "$jobs" >>"build/$name.log" 2>&1; then
    cat "build/$name.log"; echo "build of preset $name failed"
    failed=$((failed + 1)); status=1; return
  fi
  echo "== $name: tests"
  local out; out=$(ctest --preset "$name" -j "$jobs" 2>&1); local rc=$?
  echo "$out"
  local line; line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' <<<"$out" | tail -1)
  if [ -n "$line" ]; then
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  fi
  # One known test, and only it, gets a second run, said out loud: the
  # binder's detached start under Wine has been seen to lose its arguments
  # once in many runs. Every other failure stands as it is.
  local known=rsrc_bind
  if [ "$name" = win32 ] && grep -qE "^[[:space:]]*[0-9]+ - $known \(" <<<"$out"; then
    echo "== $name: $known failed; it is run once more (a known, rare detached-start failure under Wine)"
    if ctest --preset "$name" -R "^$known\$" --output-on-failure; then
      echo "== $name: $known passed on its second run; counted as passed, the first failure stays in the log above"
      passed=$((passed + 1)); failed=$((failed - 1))
      grep -qE '^[[:space:]]*[0-9]+ - ' <<<"$(grep -vE "^[[:space:]]*[0-9]+ - $known \(" <<<"$out")" || rc=0
    else
      echo "== $name: $known failed on its second run too"
    fi
  fi
  [ $rc -eq 0 ] || status=1
}

mkdir -p build
run_preset host
run_preset win32
run_preset fuzz -DTW_FUZZ_SECONDS="$fuzz_seconds"
echo "all presets: $passed passed, $failed failed"
exit $status
