#!/usr/bin/env bash
# Measures the two ways of showing the buttons beside each other, in one run
# on one Wine desktop (its own Xvfb display and a prefix that reports
# Windows 10, so that the desktop composes and button windows can be used),
# with N quiet 500 x 300 test-driver windows that all show buttons ("draw on
# all windows", priority 4):
#
#  1. CPU: the program's CPU time over an interval with ButtonLook <painted>,
#     with <windows>, and that of donothing.exe (a window and a message loop),
#     in alternating order, several rounds. Nothing moves meanwhile.
#  2. Move: the time from the end of a move of a window to its buttons at the
#     new place (lookcost.exe move), in each way.
#  3. Objects: the program's GDI objects and windows (testdriver guiresources:
#     Wine's GetGuiResources is a stub, so the GDI handle table and the
#     process's windows are counted) before and after 1,000 windows were
#     opened and closed in front (lookcost.exe churn), in each way.
#
# CPU time is utime + stime (ticks) and the summed thread run time (ns) of
# /proc/<pid>; it is the process's own time, so the load of other programs
# moves it less than wall time would.
#
# Usage: tools/bench/measure-buttonlook.sh [--edition 32|64] [--bin DIR] [--out DIR]
#            [--work DIR] [--seconds S] [--rounds R] [--windows N] [--moves M] [--churn C]
#            [--skip-cpu] [--skip-move] [--skip-objects]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
edition=64
bin=
out=$PWD/bench-results
work=$root/build/bench-look
seconds=30
rounds=3
windows=50
moves=24
churn=1000
do_cpu=1
do_move=1
do_objects=1

while [[ $# -gt 0 ]]; do
  case $1 in
    --edition) edition=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --moves) moves=$2; shift 2 ;;
    --churn) churn=$2; shift 2 ;;
    --skip-cpu) do_cpu=0; shift ;;
    --skip-move) do_move=0; shift ;;
    --skip-objects) do_objects=0; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

# shellcheck source=SCRIPTDIR/winedesktop.sh
source "$here/winedesktop.sh"
edition_files "$edition" "$root"
for f in strennix.exe $hook $testdriver; do
  [[ -f $bin/$f ]] || { echo "missing $bin/$f (build the $preset preset)" >&2; exit 1; }
done
mkdir -p "$out" "$work"
out=$(cd "$out" && pwd)
bin=$(cd "$bin" && pwd)
work=$(cd "$work" && pwd)

helpers=$work/helpers
mkdir -p "$helpers"
cxx+=(-std=c++20 -O2 -static)
"${cxx[@]}" -mwindows -o "$helpers/donothing.exe" "$here/donothing.cpp"
"${cxx[@]}" -I"$root" -o "$helpers/lookcost.exe" "$here/lookcost.cpp" -lgdi32

start_desktop "$work" "$preset"
wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null

run=$work/run
rm -rf "$run"
mkdir -p "$run"
cp "$bin/strennix.exe" "$bin/$hook" "$helpers/donothing.exe" "$run/"
[[ -d $root/lang ]] && cp -r "$root/lang" "$run/"
winpath() { winepath -w "$1" 2>/dev/null; }
driver() { "$loader" "$bin/$testdriver" "$@"; }
lookcost() { wine "$helpers/lookcost.exe" "$@" 2>/dev/null | tr -d '\r'; }

log "opening $windows test-driver windows"
for i in $(seq 1 "$windows"); do
  driver open --title "Quiet $i" --rect "$(((i * 37) % 524)),$(((i * 23) % 448)),500,300" \
    >/dev/null 2>&1 &
  started_pids+=($!)
  if ((i % 5 == 0 || i == windows)); then
    for _ in $(seq 600); do
      n=$(driver list --visible 2>/dev/null | grep -c 'Quiet ' || true)
      ((n >= i)) && break
      sleep 0.5
    done
  fi
done
log "$n quiet windows open"

settings='HKCU\Software\Corvane inc.\Strennix'
# The first start writes the defaults and shows the settings window (in a
# prefix kept from an earlier run the settings are there before the window).
(cd "$run" && exec wine strennix.exe) >/dev/null 2>&1 &
wine_pid=$!
for _ in $(seq 600); do
  wine reg query "$settings" /v ButtonXOffset >/dev/null 2>&1 &&
    driver ping --class TStrennix >/dev/null 2>&1 && break
  sleep 0.5
done
driver close --class TStrennix >/dev/null
wait "$wine_pid" 2>/dev/null || true
wine reg add "$settings" /v Priority /d 4 /f >/dev/null
wine reg add "$settings" /v DrawOn /d '<all>' /f >/dev/null

start_look() {  # LOOK: starts the program and waits until it runs
  wine reg add "$settings" /v ButtonLook /d "<$1>" /f >/dev/null
  (cd "$run" && exec wine strennix.exe) >/dev/null 2>&1 &
  wine_pid=$!
  for _ in $(seq 600); do
    if driver ping --class TStrennix >/dev/null 2>&1; then
      program_pid=$(windows_pid strennix.exe)
      return 0
    fi
    sleep 0.2
  done
  echo "the program did not start" >&2
  exit 1
}
stop_look() {
  driver close --class TStrennix >/dev/null
  wait "$wine_pid" 2>/dev/null || true
}
# The Linux process that runs the Windows program: not always the one
# started (Wine's 32-bit loader hands a 64-bit program to the 64-bit one).
windows_pid() { prefix_pids "$1" | tail -1; }
measure_cpu() {  # LABEL ROUND PID
  sleep 5  # the start-up and the first ticks over every window
  local t0 t1 p0 p1 n0 n1 l0 l1 wall
  l0=$(load1)
  t0=$(date +%s.%N); p0=$(ticks "$3"); n0=$(runtime_ns "$3")
  sleep "$seconds"
  t1=$(date +%s.%N); p1=$(ticks "$3"); n1=$(runtime_ns "$3")
  l1=$(load1)
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$wall" "$((p1 - p0))" "$((n1 - n0))" \
    "$(nsshare $((n1 - n0)) "$wall")" "$l0" "$l1" >>"$cpu_table"
  log "$1 round $2 ($(cat "/proc/$3/comm")): $(nsshare $((n1 - n0)) "$wall") % of a core," \
    "$((p1 - p0)) ticks (load $l0 .. $l1)"
}

cpu_table=$out/look-cpu.tsv
((do_cpu)) && printf 'program\tround\twall_s\tproc_ticks\tproc_ns\tproc_ns_pct\tload_start\tload_end\n' \
  >"$cpu_table"
for round in $(seq 1 "$((do_cpu ? rounds : 0))"); do
  list=(painted windows donothing)
  if ((round % 2 == 0)); then list=(donothing windows painted); fi
  for what in "${list[@]}"; do
    if [[ $what == donothing ]]; then
      (cd "$run" && exec wine donothing.exe) >/dev/null 2>&1 &
      wine_pid=$!
      for _ in $(seq 600); do
        driver ping --class StrennixBenchNothing >/dev/null 2>&1 && break
        sleep 0.2
      done
      measure_cpu donothing "$round" "$(windows_pid donothing.exe)"
      driver close --class StrennixBenchNothing >/dev/null
      wait "$wine_pid" 2>/dev/null || true
    else
      start_look "$what"
      measure_cpu "$what" "$round" "$program_pid"
      stop_look
    fi
  done
done

move_table=$out/look-move.txt
objects_table=$out/look-objects.txt
if ((do_move)); then
  : >"$move_table"
  driver open --title "Moved" --rect "300,300,500,300" >/dev/null 2>&1 &
  started_pids+=($!)
  for _ in $(seq 120); do
    driver query --title Moved >/dev/null 2>&1 && break
    sleep 0.5
  done
  for what in windows painted; do
    start_look "$what"
    echo "look=$what" >>"$move_table"
    lookcost move Moved "$moves" "$what" >>"$move_table" || true
    log "move, $what: $(tail -1 "$move_table")"
    stop_look
  done
  driver close --title Moved >/dev/null
fi

looks=()
if ((do_objects)); then
  : >"$objects_table"
  looks=(windows painted)
fi
for what in "${looks[@]}"; do
  start_look "$what"
  sleep 5  # every quiet window has its buttons
  echo "look=$what before $(driver guiresources --class TStrennix)" >>"$objects_table"
  echo "look=$what churn $(lookcost churn "$churn" "$what" || true)" >>"$objects_table"
  sleep 5  # the last closed window's buttons are gone
  echo "look=$what after $(driver guiresources --class TStrennix)" >>"$objects_table"
  log "objects, $what: $(tail -3 "$objects_table" | tr '\n' ' ')"
  stop_look
done
log "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"
log "results in $out"
