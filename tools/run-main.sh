#!/usr/bin/env bash
# The main job: build every deliverable and show the sample project.
# (Building the sample package and installing it under Wine comes as the
# builder's build worker and the runtime land.)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
mkdir -p build
echo "== host build"
cmake --preset host >build/host-configure.log
cmake --build --preset host -j "$jobs" >build/host-build.log
echo "== win32 build (deliverables in build/win32/dist)"
cmake --preset win32 >build/win32-configure.log
cmake --build --preset win32 -j "$jobs" >build/win32-build.log
ls -l build/win32/dist
echo "== sample project (examples/sample/sample.tbw)"
build/host/tamblix dump examples/sample/sample.tbw
