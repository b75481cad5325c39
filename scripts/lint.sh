#!/usr/bin/env bash
# Formatting and lint over the whole tree: clang-format (check only: any
# difference fails) and clang-tidy with the repository's .clang-tidy, the
# portable code and tests through the host build's compile database, the
# Win32 back end and the Windows programs through the win32 build's, the
# 64-bit helper through the win64 build's. Needs the three builds configured
# (scripts/test.sh does that). Exits 1 on a finding.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "lint: clang-format over ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}" || status=1

# Files compiled in a build, as its compile database names them.
compiled() {
  python3 -c 'import json, sys; print("\n".join(sorted({e["file"] for e in json.load(open(sys.argv[1]))})))' \
    "$1/compile_commands.json" | grep "^$repo/" | grep -v "^$repo/build/"
}

# clang parses the MinGW builds with MinGW's own C++ library headers.
mingw_includes() {
  "$1-g++" -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search/p' | grep '^ ' |
    sed 's/^ */--extra-arg=-isystem/'
}

tidy() {
  local build=$1
  shift
  # Two at a time: the machine has two cores.
  compiled "$build" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet "$@" 2>/dev/null |
    tee -a "$report" | grep -E 'warning:|error:' || true
}

report=$(mktemp)
trap 'rm -f "$report"' EXIT
echo "lint: clang-tidy over the host build"
tidy build/host
echo "lint: clang-tidy over the win32 build"
mapfile -t extra < <(mingw_includes i686-w64-mingw32)
tidy build/win32 --extra-arg=--target=i686-w64-mingw32 "${extra[@]}"
echo "lint: clang-tidy over the win64 build"
# The x86-64 GCC's own intrinsics headers do not parse with clang; clang's
# stand in for them.
mapfile -t extra < <(mingw_includes x86_64-w64-mingw32 | grep -v -- '-win32/include$')
tidy build/win64 --extra-arg=--target=x86_64-w64-mingw32 "${extra[@]}"
if grep -qE 'warning:|error:' "$report"; then
  echo "lint: clang-tidy found $(grep -cE 'warning:|error:' "$report") problems"
  status=1
fi
exit "$status"
