#!/usr/bin/env bash
# Builds Strennix for Windows and runs it under Wine, in a 1024 x 768 Wine
# virtual desktop on your display (or on a headless Xvfb display when there is
# none). Arguments go to strennix.exe, e.g.  scripts/run.sh --log
#
#   WINEPREFIX   the Wine prefix to use (default ~/.local/share/strennix/wineprefix)
#
# The program runs in ~/.local/share/strennix/program: its log files,
# classes.txt and files.txt are kept there between runs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
home_dir=${XDG_DATA_HOME:-$HOME/.local/share}/strennix
export WINEPREFIX=${WINEPREFIX:-$home_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
program_dir=$home_dir/program

bash "$repo/scripts/setup.sh"

echo "run: building the Windows program and its 64-bit parts"
(cd "$repo" && cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2)
(cd "$repo" && cmake --preset win64 >/dev/null && cmake --build --preset win64 -j2)

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
  export DISPLAY=:$(tr -d '\n' <"$display_file")
  rm -f "$display_file"
  echo "run: no display found; started Xvfb on $DISPLAY (pid $xvfb_pid)."
  echo "     See it with: DISPLAY=$DISPLAY import -window root strennix.png"
  echo "     or through VNC: x11vnc -display $DISPLAY  (then a VNC viewer on port 5900)"
fi

# The prefix, made once, with one shared virtual desktop in which every Wine
# program of the prefix runs.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "run: making the Wine prefix $WINEPREFIX (takes a few seconds)"
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init
fi
if ! grep -q '^"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
  # The desktop that is up now was made without the setting: let it end, so
  # that the program gets the virtual one.
  wineserver -w
fi

# The program's folder: the executable, its hook libraries, the 64-bit
# helper and the language files, which it looks for in its working directory.
mkdir -p "$program_dir"
cp -f "$repo/build/win32/bin/strennix.exe" "$program_dir/"
for file in build/win32/bin/hook.dll build/win64/bin/hook64.dll build/win64/bin/strennix64.exe; do
  if [[ -f $repo/$file ]]; then
    cp -f "$repo/$file" "$program_dir/"
  fi
done
rm -rf "$program_dir/lang"
if [[ -d $repo/lang ]]; then
  cp -r "$repo/lang" "$program_dir/lang"
fi

echo "run: starting strennix.exe $* in $program_dir"
cd "$program_dir"
status=0
wine ./strennix.exe "$@" || status=$?
echo "run: strennix.exe ended with exit code $status"
exit "$status"
