#!/usr/bin/env bash
# Builds Strennix for Windows and runs the edition this machine can run under
# Wine, in a 1024 x 768 Wine virtual desktop on your display (or on a headless
# Xvfb display when there is none): the 32-bit edition where 32-bit programs
# run, else the 64-bit one. Arguments go to strennix.exe, e.g.
#   scripts/run.sh --log
#
#   STRENNIX_EDITION   32 or 64: run that edition instead
#   STRENNIX_NO_32BIT  1: behave as on a machine that runs no 32-bit program
#   WINEPREFIX         the Wine prefix to use; it must be of the edition's
#                      kind (default ~/.local/share/strennix/wineprefix for the
#                      32-bit edition, .../wineprefix64 for the 64-bit one)
#
# The program runs in ~/.local/share/strennix/program (program64 for the
# 64-bit edition): its log files, classes.txt and files.txt are kept there
# between runs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
home_dir=${XDG_DATA_HOME:-$HOME/.local/share}/strennix
export WINEDEBUG=${WINEDEBUG:--all}

bash "$repo/scripts/setup.sh"

editions=$(bash "$repo/scripts/editions.sh")
edition=${STRENNIX_EDITION:-${editions%% *}}
if [[ $edition != 32 && $edition != 64 ]]; then
  echo "run: no edition of Strennix runs here: neither of Wine's loaders runs on this machine" >&2
  exit 1
fi
if [[ " $editions " != *" $edition "* ]]; then
  echo "run: the $edition-bit edition does not run here (this machine runs: ${editions:-none})" >&2
  exit 1
fi

# An edition is its program and library, and the helper and library of the
# other bitness, from the two presets.
if [[ $edition == 32 ]]; then
  files=(win32/bin/strennix.exe win32/bin/hook.dll win64/bin/strennix64.exe win64/bin/hook64.dll)
  prefix_kind=win32
  loader=wine
  export WINEPREFIX=${WINEPREFIX:-$home_dir/wineprefix}
  program_dir=$home_dir/program
else
  files=(win64/bin/strennix.exe win64/bin/hook64.dll win32/bin/strennix32.exe win32/bin/hook.dll)
  prefix_kind=win64
  # Debian's wine starts the 32-bit loader where it is installed.
  loader=${STRENNIX_WINE64_LOADER:-/usr/lib/wine/wine64}
  export WINEPREFIX=${WINEPREFIX:-$home_dir/wineprefix64}
  program_dir=$home_dir/program64
fi

echo "run: building both presets"
for preset in win32 win64; do
  (cd "$repo" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j2)
done
for file in "${files[@]}"; do
  if [[ ! -f $repo/build/$file ]]; then
    echo "run: build/$file was not built" >&2
    exit 1
  fi
done

# A prefix of the other kind cannot run this edition.
if [[ -f $WINEPREFIX/system.reg ]] && ! grep -qx "#arch=$prefix_kind" "$WINEPREFIX/system.reg"; then
  echo "run: $WINEPREFIX is not a $prefix_kind prefix; the $edition-bit edition needs one" >&2
  exit 1
fi

# A display: the user's, or a headless one of our own.
xvfb_pid=
cleanup() {
  if [[ -n $xvfb_pid ]]; then
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if [[ -z ${DISPLAY:-} ]] || ! xdpyinfo >/dev/null 2>&1; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
  done
  DISPLAY=:$(tr -d '\n' <"$display_file")
  export DISPLAY
  rm -f "$display_file"
  echo "run: no display found; started Xvfb on $DISPLAY (pid $xvfb_pid)."
  echo "     See it with: DISPLAY=$DISPLAY import -window root strennix.png"
  echo "     or through VNC: x11vnc -display $DISPLAY  (then a VNC viewer on port 5900)"
fi

# The prefix, made once, with one shared virtual desktop in which every Wine
# program of the prefix runs.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "run: making the $prefix_kind Wine prefix $WINEPREFIX (takes a few seconds)"
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEARCH=$prefix_kind WINEDLLOVERRIDES="mscoree,mshtml=" "$loader" wineboot --init
fi
if ! grep -q '^"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
  # The desktop that is up now was made without the setting: let it end, so
  # that the program gets the virtual one.
  wineserver -w
fi

# The program's folder: the edition's files and the language files, which
# the program looks for in its working directory.
mkdir -p "$program_dir"
for file in "${files[@]}"; do
  cp -f "$repo/build/$file" "$program_dir/"
done
rm -rf "$program_dir/lang"
cp -r "$repo/lang" "$program_dir/lang"

echo "run: starting the $edition-bit edition: strennix.exe $* in $program_dir (prefix $WINEPREFIX)"
cd "$program_dir"
status=0
"$loader" ./strennix.exe "$@" || status=$?
echo "run: strennix.exe ended with exit code $status"
exit "$status"
