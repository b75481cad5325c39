#!/usr/bin/env bash
# Builds the Windows program (the win32 preset, and the win64 preset for its
# 64-bit parts) and packs the release that users download:
# dist/strennix-<version>-win32.zip with
#
#   strennix.exe  hook.dll  strennix64.exe  hook64.dll
#   README.txt  LICENSE.txt  lang/0x07.lang  lang/template.lang
#
# unpacked flat into any folder. The text files get CR LF line ends, as
# Notepad on older Windows needs them. Installs what a fresh Debian 12
# machine lacks first (scripts/setup.sh); the zip is made with CMake alone.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/setup.sh

echo "package: building the Windows program"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
echo "package: building its 64-bit parts"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2

# The version and the README as the build made them from the project version.
generated=build/win32/generated
version=$(sed -n 's/^#define STRENNIX_VERSION_TEXT "\(.*\)"$/\1/p' "$generated/resources/version.h")
if [[ -z $version ]]; then
  echo "package: no version in $generated/resources/version.h" >&2
  exit 1
fi
name=strennix-$version-win32

staging=build/win32/package/$name
rm -rf "$staging"
mkdir -p "$staging/lang"

# Without their symbol tables the files are a half to a fifth as large.
for file in strennix.exe hook.dll; do
  i686-w64-mingw32-strip -o "$staging/$file" "build/win32/bin/$file"
done
for file in strennix64.exe hook64.dll; do
  x86_64-w64-mingw32-strip -o "$staging/$file" "build/win64/bin/$file"
done

# Copies a text file with CR LF line ends, whatever its line ends were; the
# bytes stay as they are (the language files are Windows-1252).
crlf() {
  LC_ALL=C sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}
crlf "$generated/README.txt" "$staging/README.txt"
crlf LICENSE "$staging/LICENSE.txt"
crlf lang/0x07.lang "$staging/lang/0x07.lang"
crlf lang/template.lang "$staging/lang/template.lang"

mkdir -p dist
zip=$repo/dist/$name.zip
rm -f "$zip"
(cd "$staging" && cmake -E tar cf "$zip" --format=zip \
  strennix.exe hook.dll strennix64.exe hook64.dll README.txt LICENSE.txt \
  lang/0x07.lang lang/template.lang)

echo "package: made dist/$name.zip"
