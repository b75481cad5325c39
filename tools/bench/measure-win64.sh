#!/usr/bin/env bash
# Measures what the 64-bit helper costs, in one run on one Wine desktop of its
# own with a 64-bit prefix, where strennix.exe runs under WoW64 and starts
# strennix64.exe:
#
#  1. CPU: the share of one core used by strennix64.exe (and, beside it, by
#     strennix.exe) over an interval of idling, with a 64-bit window in the
#     foreground, from utime + stime of /proc/<pid>/stat and, finer, the
#     threads' run time in /proc/<pid>/task/*/schedstat.
#  2. Click to action: the time from a real click (XTest) on the shade button
#     of a 64-bit window (testdriver64.exe) to the window's new height on the
#     X display, beside the same for a 32-bit window (testdriver.exe), timed
#     by clicklatency.py, which polls about every millisecond; a roll-up and
#     a roll-down a window and round. The 32-bit window is clicked with the
#     helper running and, in the same round, with strennix.exe started
#     without it, as on 32-bit Windows.
#
# Usage: tools/bench/measure-win64.sh [--bin DIR] [--bin64 DIR] [--out DIR]
#            [--work DIR] [--seconds S] [--rounds R]
#   --bin      strennix.exe, hook.dll, testdriver.exe (default: $STRENNIX_WIN32_BIN
#              or build/win32/bin)
#   --bin64    strennix64.exe, hook64.dll, testdriver64.exe (default:
#              $STRENNIX_WIN64_BIN or build/win64/bin)
#   --out      where the result tables go (default: ./bench-results)
#   --work     scratch directory with the Wine prefix, kept for the next run
#              (default: build/bench-win64)
#   --rounds   rounds of clicks; each clicks every window twice (default 10)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=${STRENNIX_WIN32_BIN:-$root/build/win32/bin}
bin64=${STRENNIX_WIN64_BIN:-$root/build/win64/bin}
out=$PWD/bench-results
work=$root/build/bench-win64
seconds=60
rounds=10

while [[ $# -gt 0 ]]; do
  case $1 in
    --bin) bin=$2; shift 2 ;;
    --bin64) bin64=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

for f in "$bin"/{strennix.exe,hook.dll,testdriver.exe} \
  "$bin64"/{strennix64.exe,hook64.dll,testdriver64.exe}; do
  [[ -f $f ]] || { echo "missing $f (build the win32 and win64 presets)" >&2; exit 1; }
done
mkdir -p "$out" "$work"
out=$(cd "$out" && pwd)
work=$(cd "$work" && pwd)
# shellcheck source=SCRIPTDIR/winedesktop.sh
source "$here/winedesktop.sh"

start_desktop "$work" win64

run=$work/run
rm -rf "$run"
mkdir -p "$run"
cp "$bin/strennix.exe" "$bin/hook.dll" "$bin64/strennix64.exe" "$bin64/hook64.dll" "$run/"
cp -r "$root/lang" "$run/"
driver() { wine "$bin/testdriver.exe" "$@"; }

# A window of each bitness, 440 x 330, title bars apart; prints its handle.
open_window() {  # LOADER DRIVER TITLE X Y
  local output=$work/$3.out
  "$1" "$2" open --title "$3" --rect "$4,$5,440,330" >"$output" 2>&1 &
  started_pids+=($!)
  for _ in $(seq 600); do
    grep -q '^hwnd=' "$output" 2>/dev/null && break
    sleep 0.1
  done
  sed -n 's/^hwnd=0x\([0-9a-f]*\).*/\1/p' "$output"
}
wine64_loader=${STRENNIX_WINE64_LOADER:-/usr/lib/wine/wine64}
hwnd64=$(open_window "$wine64_loader" "$bin64/testdriver64.exe" "Sixty-four" 60 100)
hwnd32=$(open_window wine "$bin/testdriver.exe" "Thirty-two" 520 100)
[[ -n $hwnd64 && -n $hwnd32 ]] || { echo "the test windows did not open" >&2; exit 1; }

# Starts strennix.exe from the run folder and waits for its tray menu form
# and, when strennix64.exe is in that folder, for its helper.
start_strennix() {
  (cd "$run" && exec wine strennix.exe) >/dev/null 2>&1 &
  strennix_pid=$!
  started_pids+=("$strennix_pid")
  for _ in $(seq 600); do
    helper_pid=$(prefix_pids strennix64.exe)
    if [[ -n $helper_pid || ! -f $run/strennix64.exe ]] &&
      driver query --class TTrayForm >/dev/null 2>&1; then
      return
    fi
    sleep 0.1
  done
  echo "strennix.exe (and its helper) did not start" >&2
  exit 1
}
stop_strennix() {
  driver close --class TStrennix >/dev/null
  wait "$strennix_pid" 2>/dev/null || true
  for _ in $(seq 600); do
    [[ -z $(prefix_pids strennix64.exe) ]] && return
    sleep 0.1
  done
}
# The first start writes the defaults and shows the settings window; the
# measured start is the usual hidden one.
start_strennix
stop_strennix
start_strennix
log "strennix.exe $strennix_pid, strennix64.exe $helper_pid"

# --- CPU over an idle interval ------------------------------------------------------
driver foreground --hwnd "$hwnd64" >/dev/null
sleep 3  # the first ticks after the start and the foreground change
l0=$(load1)
t0=$(date +%s.%N)
h0=$(ticks "$helper_pid") hn0=$(runtime_ns "$helper_pid")
s0=$(ticks "$strennix_pid") sn0=$(runtime_ns "$strennix_pid")
sleep "$seconds"
t1=$(date +%s.%N)
h1=$(ticks "$helper_pid") hn1=$(runtime_ns "$helper_pid")
s1=$(ticks "$strennix_pid") sn1=$(runtime_ns "$strennix_pid")
l1=$(load1)
wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
cpu_table=$out/win64-cpu.tsv
{
  printf 'program\twall_s\tticks\tpct\tns\tns_pct\tload_start\tload_end\n'
  printf 'strennix64\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$wall" $((h1 - h0)) \
    "$(share $((h1 - h0)) "$wall")" $((hn1 - hn0)) "$(nsshare $((hn1 - hn0)) "$wall")" "$l0" "$l1"
  printf 'strennix\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$wall" $((s1 - s0)) \
    "$(share $((s1 - s0)) "$wall")" $((sn1 - sn0)) "$(nsshare $((sn1 - sn0)) "$wall")" "$l0" "$l1"
} >"$cpu_table"
log "strennix64.exe over ${wall} s idling: $((h1 - h0)) ticks, $((hn1 - hn0)) ns on a CPU" \
  "(load $l0 .. $l1)"

# --- click to action --------------------------------------------------------------
# Each round clicks with the helper running (the 64-bit window, and the
# 32-bit one as long as its clicks take effect), then restarts strennix.exe
# without the helper, as on 32-bit Windows, for the 32-bit window's baseline,
# and starts it again with the helper: both meet the same load.
click_table=$out/win64-click.tsv
printf 'window\tround\tclick\tfrom\tto\tms\n' >"$click_table"
clicks() {  # LABEL HWND ROUND
  local rect output
  rect=$(driver query --hwnd "$2" | sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p')
  output=$("$here/clicklatency.py" "$rect" 2) || {
    log "$1: $(tail -1 <<<"$output"): no action within 10 s"
    return 1
  }
  sed -n "s/^click=\([0-9]*\) from=\([0-9]*\) to=\([0-9]*\) ms=\([0-9.]*\)/$1\t$3\t\1\t\2\t\3\t\4/p" \
    <<<"$output" >>"$click_table"
}
restart_with_helper() {  # 0 or 1
  stop_strennix
  if (($1)); then
    mv "$run/strennix64.exe.off" "$run/strennix64.exe"
  else
    mv "$run/strennix64.exe" "$run/strennix64.exe.off"
  fi
  start_strennix
}
try32=1
for round in $(seq 1 "$rounds"); do
  clicks 64 "$hwnd64" "$round"
  ((try32)) && { clicks 32-with-helper "$hwnd32" "$round" || try32=0; }
  restart_with_helper 0
  clicks 32 "$hwnd32" "$round"
  restart_with_helper 1
done
for window in 64 32-with-helper 32; do
  summary=$(awk -v w="$window" '$1 == w { print $6 }' "$click_table" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR) printf "%d clicks, median %.2f ms, worst %.2f ms", NR,
      (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[NR]; else print "no clicks" }')
  log "$window window: $summary"
done
log "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"
log "results in $out"
