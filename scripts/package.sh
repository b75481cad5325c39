#!/usr/bin/env bash
# Builds both Windows presets and packs the two releases that users download,
# one per edition, each unpacked flat into any folder:
#
#   dist/strennix-<version>-win32.zip   the 32-bit edition
#     strennix.exe  hook.dll  (32-bit)  strennix64.exe  hook64.dll  (64-bit)
#   dist/strennix-<version>-win64.zip   the 64-bit edition
#     strennix.exe  hook64.dll  (64-bit)  strennix32.exe  hook.dll  (32-bit)
#
# and in both README.txt, LICENSE.txt, lang/0x07.lang and lang/template.lang.
# The text files get CR LF line ends, as Notepad on older Windows needs them.
# Installs what a fresh Debian 12 machine lacks first (scripts/setup.sh); the
# zips are made with CMake alone.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

[[ ${STRENNIX_SETUP_DONE:-} == 1 ]] || bash scripts/setup.sh

for preset in win32 win64; do
  echo "package: building the $preset preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done

# The version as the build made it from the project version.
version=$(sed -n 's/^#define STRENNIX_VERSION_TEXT "\(.*\)"$/\1/p' build/win32/generated/resources/version.h)
if [[ -z $version ]]; then
  echo "package: no version in build/win32/generated/resources/version.h" >&2
  exit 1
fi

# Copies a text file with CR LF line ends, whatever its line ends were; the
# bytes stay as they are (the language files are Windows-1252).
crlf() {
  LC_ALL=C sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}

# Copies a built file without its symbol table (a half to a fifth as large).
strip_to() {
  local preset=$1 file=$2 staging=$3 tool=i686-w64-mingw32-strip
  [[ $preset == win64 ]] && tool=x86_64-w64-mingw32-strip
  if [[ ! -f build/$preset/bin/$file ]]; then
    echo "package: build/$preset/bin/$file was not built" >&2
    exit 1
  fi
  "$tool" -o "$staging/$file" "build/$preset/bin/$file"
}

# pack <edition> <preset:file>...: one flat zip of the edition.
pack() {
  local edition=$1 name=strennix-$version-$1 entry
  shift
  local staging=build/package/$name
  rm -rf "$staging"
  mkdir -p "$staging/lang"
  local files=()
  for entry in "$@"; do
    strip_to "${entry%%:*}" "${entry#*:}" "$staging"
    files+=("${entry#*:}")
  done
  crlf "build/$edition/generated/README.txt" "$staging/README.txt"
  crlf LICENSE "$staging/LICENSE.txt"
  crlf lang/0x07.lang "$staging/lang/0x07.lang"
  crlf lang/template.lang "$staging/lang/template.lang"

  local zip=$repo/dist/$name.zip
  rm -f "$zip"
  (cd "$staging" && cmake -E tar cf "$zip" --format=zip \
    "${files[@]}" README.txt LICENSE.txt lang/0x07.lang lang/template.lang)
  echo "package: made dist/$name.zip"
}

mkdir -p dist
pack win32 win32:strennix.exe win32:hook.dll win64:strennix64.exe win64:hook64.dll
pack win64 win64:strennix.exe win64:hook64.dll win32:strennix32.exe win32:hook.dll
