# shellcheck shell=bash
# What the measurements under Wine share; sourced by measure-wine.sh,
# measure-buttonlook.sh and measure-win64.sh. A Wine desktop of their own (an Xvfb display and a prefix
# with one 1024 x 768 virtual desktop), ended with everything started in it
# when the script exits, and the CPU time of a process.

log() { echo "[$(date +%T)] $*" >&2; }

# edition_files EDITION ROOT: what the edition is built by and made of
# (preset, hook, testdriver, cxx, and bin unless given) and the loader its
# programs run under. The 64-bit ones run under the 64-bit loader itself:
# where the 32-bit Wine is installed, `wine` hands a 64-bit program on to
# another process, and $! would then be a process that measures nothing.
edition_files() {
  case $1 in
    32) preset=win32 hook=hook.dll testdriver=testdriver.exe cxx=(i686-w64-mingw32-g++)
      bin=${bin:-${STRENNIX_WIN32_BIN:-$2/build/win32/bin}} loader=wine ;;
    64) preset=win64 hook=hook64.dll testdriver=testdriver64.exe cxx=(x86_64-w64-mingw32-g++)
      bin=${bin:-${STRENNIX_WIN64_BIN:-$2/build/win64/bin}}
      loader=${STRENNIX_WINE64_LOADER:-/usr/lib/wine/wine64} ;;
    *) echo "unknown edition: $1 (32 or 64)" >&2; exit 2 ;;
  esac
}

started_pids=()
xvfb_pid=
wineserver_pid=
stop_desktop() {
  set +e
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null; done
  [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}

# The Linux processes of this prefix that run the program named by the
# pattern (as /proc/PID/comm shows it: at most 15 characters).
prefix_pids() {
  local p
  for p in $(pgrep -x "$1" || true); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
    fi
  done
}

# start_desktop WORK ARCH: Xvfb on a free display, and the prefix WORK/prefix
# (win32 or win64), made when it is missing; exports the Wine environment and
# sets xvfb_pid and wineserver_pid.
start_desktop() {
  local work=$1 arch=$2
  trap stop_desktop EXIT
  rm -f "$work/display"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  [[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }

  local display
  display=$(cat "$work/display")
  export WINEPREFIX=$work/prefix DISPLAY=:$display WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=
  if [[ $(cat "$WINEPREFIX/.bench-ready" 2>/dev/null) != "$arch" ]]; then
    log "making the Wine prefix ($arch)"
    rm -rf "$WINEPREFIX"
    WINEARCH=$arch wineboot --init >"$work/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    wineserver -w
    echo "$arch" >"$WINEPREFIX/.bench-ready"
  fi
  wineserver -p
  for _ in $(seq 50); do
    wineserver_pid=$(prefix_pids 'wineserver(64|32)?' | tail -1)
    [[ -n $wineserver_pid ]] && break
    sleep 0.1
  done
  [[ -n $wineserver_pid ]] || { echo "no wineserver for $WINEPREFIX" >&2; exit 1; }
}

ticks() {  # utime + stime of a process, clock ticks
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  read -r -a f <<<"$stat"
  echo $((f[11] + f[12]))
}
# Nanoseconds on a CPU, summed over the live threads: finer than the ticks
# of /proc/<pid>/stat, which matters for the nearly idle configurations.
runtime_ns() {
  local total=0 ns _
  for task in /proc/"$1"/task/*/schedstat; do
    read -r ns _ <"$task" 2>/dev/null || continue
    total=$((total + ns))
  done
  echo "$total"
}
hz=$(getconf CLK_TCK)
load1() { cut -d' ' -f1 /proc/loadavg; }
# Share of one core over the interval, in percent: of ticks, of nanoseconds.
share() { awk -v t="$1" -v hz="$hz" -v s="$2" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }
nsshare() { awk -v t="$1" -v s="$2" 'BEGIN { printf "%.3f", 100 * t / 1e9 / s }'; }
