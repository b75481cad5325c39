#!/usr/bin/env bash
# Installs what building, running and testing Strennix needs on Debian 12,
# from Debian's own packages. Safe to run again: when everything is there it
# only checks, and leaves apt alone. Ends by saying which editions this
# machine can run end to end.
#
#   STRENNIX_NO_32BIT=1   behave as on a machine that runs no 32-bit program
#
# The 32-bit Wine is installed only where the machine runs 32-bit programs and
# the package mirror has it; without it the 32-bit program is still built and
# unit-tested, only not run. A package index that fails to download does not
# stop set-up: only a package that is needed and cannot be installed does.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Cross compilers for both Windows editions, the 64-bit Wine to run them, a
# headless X server and the X tools the end-to-end tests drive it with, and
# the native tool chain with the test, benchmark and sanitizer libraries.
PACKAGES=(
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick
  cmake make g++ clang clang-format clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
  procps python3
)
# Only where 32-bit programs run: the 32-bit loader of Wine.
WINE32=wine32:i386

export DEBIAN_FRONTEND=noninteractive

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

# The smallest 32-bit x86 Linux program: it only exits with code 32. Running
# it asks the kernel itself, which may run no 32-bit program at all, and
# needs no 32-bit library.
EXIT32_ELF=7f454c46010101000000000000000000020003000100000054800408340000000000000000000000
EXIT32_ELF+=340020000100000000000000010000000000000000800408008004086000000060000000
EXIT32_ELF+=0500000000100000b801000000bb20000000cd80

runs_32bit_programs() {
  if [[ -x /lib/ld-linux.so.2 ]] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    return 0
  fi
  local dir bytes='' i status=0
  for ((i = 0; i < ${#EXIT32_ELF}; i += 2)); do
    bytes+="\\x${EXIT32_ELF:i:2}"
  done
  dir=$(mktemp -d)
  printf '%b' "$bytes" >"$dir/exit32"
  chmod +x "$dir/exit32"
  "$dir/exit32" 2>/dev/null || status=$?
  rm -rf "$dir"
  [[ $status -eq 32 ]]
}

wine32_runs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The line of apt's output that says best why a package cannot be installed.
apt_reason() {
  local line
  line=$(grep -m1 -E 'Unable to locate|no installation candidate|: Depends:|: Conflicts:|: Breaks:' <<<"$1" ||
    grep -m1 '^E:' <<<"$1" || true)
  line=${line#E: }
  line=$(sed -E 's/^ +//; s/ +/ /g' <<<"$line")
  echo "${line:-apt-get gave no reason}"
}

# Where the 32-bit Wine is wanted, or why not.
no_wine32_because=
if [[ ${STRENNIX_NO_32BIT:-} == 1 ]]; then
  no_wine32_because="STRENNIX_NO_32BIT=1"
elif ! runs_32bit_programs; then
  no_wine32_because="this machine runs no 32-bit program"
fi

# With the 32-bit loader installed but unable to run, Wine picks it and every
# Wine command fails: such a wine32 goes.
if installed "$WINE32" && ! wine32_runs; then
  echo "setup: removing $WINE32: it is installed but cannot run here"
  as_root apt-get remove -y -q "$WINE32" >/dev/null
fi

missing=()
for package in "${PACKAGES[@]}"; do
  installed "$package" || missing+=("$package")
done
needs_i386=false
wants_wine32=false
if [[ -z $no_wine32_because ]] && ! installed "$WINE32"; then
  wants_wine32=true
  dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=true
fi

print_editions() {
  local editions
  editions=$(bash "$repo/scripts/editions.sh")
  case $editions in
    "32 64") echo "setup: this machine runs both editions end to end (32-bit and 64-bit)." ;;
    "64") echo "setup: this machine runs the 64-bit edition end to end." ;;
    "32") echo "setup: this machine runs the 32-bit edition end to end." ;;
    *) echo "setup: this machine runs no edition end to end (no Wine loader runs here)." ;;
  esac
}

if [[ ${#missing[@]} -eq 0 && $wants_wine32 == false ]]; then
  echo "setup: everything is installed."
  if [[ -n $no_wine32_because ]] && ! installed "$WINE32"; then
    echo "setup: no 32-bit Wine ($no_wine32_because): the 32-bit program is built and unit-tested but not run."
  fi
  print_editions
  exit 0
fi

if [[ $needs_i386 == true ]]; then
  echo "setup: adding the i386 architecture for $WINE32"
  as_root dpkg --add-architecture i386
fi

# A mirror may serve one index broken for hours; the others still serve.
index_failed=false
echo "setup: updating the package lists"
if ! update_log=$(as_root apt-get update -q 2>&1); then
  index_failed=true
  echo "setup: some package indexes failed to download; going on with those at hand: $(apt_reason "$update_log")"
fi

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "setup: installing ${missing[*]}"
  if ! as_root apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    for package in "${missing[@]}"; do
      if ! log=$(as_root apt-get install -s -q --no-install-recommends "$package" 2>&1); then
        echo "setup: cannot install $package: $(apt_reason "$log")" >&2
      fi
    done
    exit 1
  fi
fi

if [[ $wants_wine32 == true ]]; then
  echo "setup: installing $WINE32"
  if ! log=$(as_root apt-get install -y -q --no-install-recommends "$WINE32" 2>&1); then
    because=$(apt_reason "$log")
    [[ $index_failed == true ]] && because+="; a package index failed to download"
    no_wine32_because="$WINE32 cannot be installed: $because"
  elif ! wine32_runs; then
    as_root apt-get remove -y -q "$WINE32" >/dev/null
    no_wine32_because="$WINE32 was installed but cannot run, so it was removed again"
  fi
fi
if [[ -n $no_wine32_because ]]; then
  echo "setup: no 32-bit Wine ($no_wine32_because): the 32-bit program is built and unit-tested but not run."
fi
echo "setup: done."
print_editions
