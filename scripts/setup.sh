#!/usr/bin/env bash
# Installs what building, running and testing Strennix needs on Debian 12,
# from Debian's own packages. Safe to run again: when everything is there it
# only checks, and leaves apt alone.
set -euo pipefail

# Cross compilers for the 32-bit Windows program and its 64-bit parts, Wine to
# run them, a headless X
# server and the X tools the end-to-end tests drive it with, and the native
# tool chain with the test, benchmark and sanitizer libraries.
PACKAGES=(
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick
  cmake make g++ clang clang-format clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
  procps python3
)

as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  else
    sudo "$@"
  fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${PACKAGES[@]}"; do
  installed "$package" || missing+=("$package")
done

# wine32 is an i386 package: the architecture must be known to dpkg first.
needs_i386=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  needs_i386=true
fi

if [[ ${#missing[@]} -eq 0 && $needs_i386 == false ]]; then
  echo "setup: everything is installed."
  exit 0
fi

if [[ $needs_i386 == true ]]; then
  echo "setup: adding the i386 architecture for wine32"
  as_root dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -q
as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done."
