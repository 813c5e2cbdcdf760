#!/usr/bin/env bash
# Installs every Debian package the build and the tests need (run as root).
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 mingw-w64-i686-dev
  wine wine32:i386 xvfb x11-apps x11-utils xauth imagemagick
  gcab cabextract libmspack-dev zlib1g-dev python3 xdotool bc procps fonts-wine fonts-liberation faketime
)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -q
  # With recommends, as the tests were made with: Wine's own fonts
  # (fonts-wine) are only recommended, and the harness needs them.
  apt-get install -y -q "${missing[@]}"
fi
