#!/usr/bin/env bash
# Measures strennix.exe under Wine beside the reference painter, in one run on
# one Wine desktop (its own Xvfb display and Wine prefix) that holds N quiet
# 500 x 300 test-driver windows:
#
#  1. CPU: for priority 4 and 9, with "draw on all windows" off and on, the
#     share of one core used over an interval by strennix.exe alone and
#     together with wineserver and Xvfb; in the same run the reference
#     painter refpaint.exe (tools/bench/refpaint.cpp, built with the
#     edition's preset) at the same timer interval (600 / 100 ms) and mode (0 foreground
#     window, 1 every window), and its idle mode 2 as the do-nothing baseline. Strennix
#     and refpaint take turns, in alternating order, to even out drifting load.
#  2. Start-up: the time from CreateProcess to Strennix's main window and tray
#     icon, beside the time to the window of a do-nothing Win32 program, timed
#     from inside Wine by starttimer.exe; several runs each.
#  3. Repaint latency: at priority 0, 4 and 9, the time from making one of two
#     test-driver windows the foreground window to its rightmost button being
#     back on the screen (repaintlatency.exe), for Strennix and the baseline.
#  4. Hook cost: the time msgcost.exe takes to send its own window a million
#     messages with nothing running, with Strennix and with the baseline,
#     in alternating rounds.
#
# CPU time is utime + stime of /proc/<pid>/stat (all threads), in clock ticks.
#
# Before measuring, pixelcheck.exe shows on one of the windows that the program
# paints exactly the pixels of the plain sequence of DrawIconEx calls (needs
# the win32 build's static libraries beside --bin); a difference stops the run.
#
# Either edition is measured, each in a prefix of its own kind and with the
# helper programs (do-nothing program, timers, test driver) of its bitness:
# --edition 32 (the default) the 32-bit program with hook.dll in a 32-bit
# prefix, --edition 64 the 64-bit program with hook64.dll in a 64-bit one.
#
# Usage: tools/bench/measure-wine.sh [--edition 32|64] [--bin DIR] [--out DIR]
#            [--work DIR] [--seconds S] [--windows N] [--start-runs R] [--baseline DIR]
#            [--skip-cpu] [--skip-start] [--skip-latency] [--skip-msgcost]
#            [--activations A] [--msg-rounds M] [--pixels-only]
#   --bin      strennix.exe, hook.dll, testdriver.exe, refpaint.exe (default:
#              $STRENNIX_WIN32_BIN or build/win32/bin); with --edition 64
#              strennix.exe, hook64.dll, testdriver64.exe, refpaint.exe
#              (default: $STRENNIX_WIN64_BIN or build/win64/bin); the build
#              directory is its parent
#   --out      where the result tables go (default: ./bench-results)
#   --work     scratch directory with the Wine prefix (default: build/bench-work)
#   --baseline another strennix.exe's directory (with its hook.dll), measured
#              beside it as "baseline" in every configuration (before/after)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
edition=32
bin=
out=$PWD/bench-results
work=$root/build/bench-work
seconds=60
windows=50
start_runs=21
do_cpu=1
do_start=1
do_latency=1
do_msgcost=1
activations=24
msg_rounds=5
pixels_only=0
baseline=

while [[ $# -gt 0 ]]; do
  case $1 in
    --edition) edition=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --start-runs) start_runs=$2; shift 2 ;;
    --skip-cpu) do_cpu=0; shift ;;
    --skip-start) do_start=0; shift ;;
    --skip-latency) do_latency=0; shift ;;
    --skip-msgcost) do_msgcost=0; shift ;;
    --activations) activations=$2; shift 2 ;;
    --msg-rounds) msg_rounds=$2; shift 2 ;;
    --baseline) baseline=$2; shift 2 ;;
    --pixels-only) pixels_only=1; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

# shellcheck source=SCRIPTDIR/winedesktop.sh
source "$here/winedesktop.sh"
edition_files "$edition" "$root"
for f in strennix.exe $hook $testdriver refpaint.exe; do
  [[ -f $bin/$f ]] || { echo "missing $bin/$f (build the $preset preset)" >&2; exit 1; }
done
[[ -z $baseline || -f $baseline/strennix.exe ]] || { echo "missing $baseline/strennix.exe" >&2; exit 1; }
mkdir -p "$out" "$work"
out=$(cd "$out" && pwd)
bin=$(cd "$bin" && pwd)
build=$(dirname "$bin")
work=$(cd "$work" && pwd)

# --- helper programs -------------------------------------------------------------
helpers=$work/helpers
mkdir -p "$helpers"
cxx+=(-std=c++20 -O2 -static)
"${cxx[@]}" -mwindows -o "$helpers/donothing.exe" "$here/donothing.cpp"
"${cxx[@]}" -I"$root" -o "$helpers/starttimer.exe" "$here/starttimer.cpp"
"${cxx[@]}" -I"$root" -o "$helpers/repaintlatency.exe" "$here/repaintlatency.cpp" -lgdi32
"${cxx[@]}" -o "$helpers/msgcost.exe" "$here/msgcost.cpp"
# The layers it uses, each before the ones below it.
libs=("$build/platform/win32/libstrennix_win32.a" "$build/libstrennix_buttons.a"
  "$build/libstrennix_eligibility.a" "$build/libstrennix_core.a" "$build/libstrennix_platform.a")
have_pixelcheck=1
for lib in "${libs[@]}"; do [[ -f $lib ]] || have_pixelcheck=0; done
if ((have_pixelcheck)); then
  "${cxx[@]}" -DNOMINMAX -DSTRICT -I"$root" -o "$helpers/pixelcheck.exe" "$here/pixelcheck.cpp" \
    -Wl,--start-group "${libs[@]}" -Wl,--end-group -luser32 -lgdi32 -lshell32 -ladvapi32 -lcomctl32
fi

# --- desktop: Xvfb and a prefix of the edition's bitness with one 1024 x 768
# virtual desktop
start_desktop "$work" "$preset"

run=$work/run
rm -rf "$run"
mkdir -p "$run"
cp "$bin/strennix.exe" "$bin/$hook" "$helpers/donothing.exe" "$run/"
if [[ -n $baseline ]]; then
  mkdir -p "$run/baseline"
  # Its own hook library: the hooks are part of what is compared.
  baseline_hook=$baseline/$hook
  [[ -f $baseline_hook ]] || baseline_hook=$bin/$hook
  cp "$baseline/strennix.exe" "$baseline_hook" "$run/baseline/"
fi
if [[ -d $root/lang ]]; then
  cp -r "$root/lang" "$run/"
  if [[ -n $baseline ]]; then cp -r "$root/lang" "$run/baseline/"; fi
fi
winpath() { winepath -w "$1" 2>/dev/null; }
driver() { "$loader" "$bin/$testdriver" "$@"; }
starttimer() { "$loader" "$helpers/starttimer.exe" "$@"; }

# --- the quiet windows -----------------------------------------------------------
log "opening $windows test-driver windows"
for i in $(seq 1 "$windows"); do
  x=$(((i * 37) % 524))
  y=$(((i * 23) % 448))
  driver open --title "Quiet $i" --rect "$x,$y,500,300" >/dev/null 2>&1 &
  started_pids+=($!)
  # A few at a time: every one is a Wine process of its own.
  if ((i % 5 == 0 || i == windows)); then
    for _ in $(seq 600); do
      n=$(driver list --visible 2>/dev/null | grep -c 'Quiet ' || true)
      ((n >= i)) && break
      sleep 0.5
    done
  fi
done
log "$n quiet windows open"
foreground() { driver foreground --title "Quiet $windows" >/dev/null; }

if ((have_pixelcheck)); then
  log "comparing the program's pixels with plain DrawIconEx calls"
  if ! "$loader" "$helpers/pixelcheck.exe" "Quiet 1" "$(winpath "$root/resources/icons")" \
    >"$out/pixelcheck.txt" 2>&1; then
    cat "$out/pixelcheck.txt" >&2
    echo "the program paints other pixels than the plain calls: not measuring" >&2
    exit 1
  fi
  log "$(tail -1 "$out/pixelcheck.txt")"
else
  log "no $preset static libraries beside $bin: pixel comparison skipped"
fi
if ((pixels_only)); then exit 0; fi

# The first start writes the defaults and shows the settings window; later
# starts are hidden, with only the tray icon.
(cd "$run" && starttimer strennix 1 "$(winpath "$run/strennix.exe")" >/dev/null)
settings='HKCU\Software\Corvane inc.\Strennix'

# --- measuring -------------------------------------------------------------------
cpu_table=$out/wine-cpu.tsv
start_table=$out/wine-start.tsv

measure() {  # measure PROGRAM INTERVAL MODE PID
  local program=$1 interval=$2 mode=$3 pid=$4
  foreground
  sleep 3  # the first ticks after the start and the foreground change
  local p0 w0 x0 p1 w1 x1 n0 n1 s0 s1 t0 t1 l0 l1 wall
  l0=$(load1)
  t0=$(date +%s.%N); p0=$(ticks "$pid"); w0=$(ticks "$wineserver_pid"); x0=$(ticks "$xvfb_pid")
  n0=$(runtime_ns "$pid"); s0=$(($(runtime_ns "$wineserver_pid") + $(runtime_ns "$xvfb_pid")))
  sleep "$seconds"
  t1=$(date +%s.%N); p1=$(ticks "$pid"); w1=$(ticks "$wineserver_pid"); x1=$(ticks "$xvfb_pid")
  n1=$(runtime_ns "$pid"); s1=$(($(runtime_ns "$wineserver_pid") + $(runtime_ns "$xvfb_pid")))
  l1=$(load1)
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
  local own=$((p1 - p0)) all=$((p1 - p0 + w1 - w0 + x1 - x0))
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$program" "$interval" "$mode" \
    "$wall" "$own" "$((w1 - w0))" "$((x1 - x0))" "$(share "$own" "$wall")" \
    "$(share "$all" "$wall")" "$(nsshare $((n1 - n0)) "$wall")" "$(nsshare $((n1 - n0 + s1 - s0)) "$wall")" \
    "$l0" "$l1" >>"$cpu_table"
  log "$program interval=$interval mode=$mode: $(share "$own" "$wall") % alone," \
    "$(share "$all" "$wall") % with wineserver and Xvfb (load $l0 .. $l1)"
}

run_refpaint() {  # INTERVAL MODE
  "$loader" "$bin/refpaint.exe" "$1" "$2" >/dev/null 2>&1 &
  local pid=$!
  starttimer wait-window RefPaint
  measure refpaint "$1" "$2" "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

run_strennix() {  # PRIORITY DRAWONALL [LABEL DIRECTORY]
  local priority=$1 all=$2 label=${3:-strennix} directory=${4:-$run}
  local draw_on='<one>' interval=$((1000 - 100 * $1))
  if [[ $all == 1 ]]; then draw_on='<all>'; fi
  wine reg add "$settings" /v Priority /d "$priority" /f >/dev/null
  wine reg add "$settings" /v DrawOn /d "$draw_on" /f >/dev/null
  (cd "$directory" && exec "$loader" strennix.exe) >/dev/null 2>&1 &
  local pid=$!
  starttimer wait-strennix
  measure "$label" "$interval" "$all" "$pid"
  driver close --class TStrennix >/dev/null
  wait "$pid" 2>/dev/null || true
}

run_baseline() {  # PRIORITY DRAWONALL
  if [[ -n $baseline ]]; then
    run_strennix "$1" "$2" baseline "$run/baseline"
  fi
}

if ((do_cpu)); then
  printf '%s\t' program interval_ms mode wall_s proc_ticks wineserver_ticks xvfb_ticks proc_pct \
    all_pct proc_ns_pct all_ns_pct load_start >"$cpu_table"
  printf 'load_end\n' >>"$cpu_table"
  order=0
  for config in "4 0" "4 1" "9 0" "9 1"; do
    read -r priority all <<<"$config"
    interval=$((1000 - 100 * priority))
    if ((order++ % 2 == 0)); then
      run_strennix "$priority" "$all"
      run_refpaint "$interval" "$all"
      run_baseline "$priority" "$all"
    else
      run_baseline "$priority" "$all"
      run_refpaint "$interval" "$all"
      run_strennix "$priority" "$all"
    fi
  done
  run_refpaint 600 2
  run_refpaint 100 2
fi

if ((do_start)); then
  printf 'program\trun\tms\n' >"$start_table"
  log "timing $start_runs starts of each program"
  wine reg add "$settings" /v Priority /d 4 /f >/dev/null
  wine reg add "$settings" /v DrawOn /d '<one>' /f >/dev/null
  for round in $(seq 1 "$start_runs"); do
    # One start of each per round, so that both meet the same load.
    (cd "$run" && starttimer window StrennixBenchNothing 1 "$(winpath "$run/donothing.exe")") |
      sed -n "s/^run=1 ms=\([0-9.]*\).*/donothing\t$round\t\1/p" >>"$start_table"
    (cd "$run" && starttimer strennix 1 "$(winpath "$run/strennix.exe")") |
      sed -n "s/^run=1 ms=\([0-9.]*\).*/strennix\t$round\t\1/p" >>"$start_table"
  done
  for program in donothing strennix; do
    median=$(awk -v p="$program" '$1 == p { print $3 }' "$start_table" | sort -n |
      awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
    log "start of $program: median $median ms"
  done
fi
# Starts Strennix (or the baseline) with the priority and waits for it.
start_program() {  # PRIORITY DIRECTORY
  wine reg add "$settings" /v Priority /d "$1" /f >/dev/null
  wine reg add "$settings" /v DrawOn /d '<one>' /f >/dev/null
  (cd "$2" && exec "$loader" strennix.exe) >/dev/null 2>&1 &
  program_pid=$!
  starttimer wait-strennix
}
stop_program() {
  driver close --class TStrennix >/dev/null
  wait "$program_pid" 2>/dev/null || true
}
programs=(strennix)
[[ -n $baseline ]] && programs+=(baseline)
directory_of() { if [[ $1 == baseline ]]; then echo "$run/baseline"; else echo "$run"; fi; }

if ((do_latency)); then
  latency_table=$out/wine-latency.tsv
  printf 'program\tpriority\tactivation\tms\terased\n' >"$latency_table"
  driver open --title "Latency A" --rect "40,40,640,300" >/dev/null 2>&1 &
  started_pids+=($!)
  driver open --title "Latency B" --rect "340,420,640,300" >/dev/null 2>&1 &
  started_pids+=($!)
  for _ in $(seq 120); do
    (($(driver list --visible 2>/dev/null | grep -c 'Latency ' || true) >= 2)) && break
    sleep 0.5
  done
  order=0
  for priority in 0 4 9; do
    list=("${programs[@]}")
    if ((order++ % 2 == 1)); then list=($(printf '%s\n' "${programs[@]}" | tac)); fi
    for program in "${list[@]}"; do
      start_program "$priority" "$(directory_of "$program")"
      "$loader" "$helpers/repaintlatency.exe" "Latency A" "Latency B" "$activations" 2>/dev/null |
        tr -d '\r' >"$work/latency.txt" || true
      stop_program
      sed -n "s/^activation=\([0-9]*\) ms=\([0-9.a-z]*\) erased=\([01]\)/$program\t$priority\t\1\t\2\t\3/p" \
        "$work/latency.txt" >>"$latency_table"
      log "latency of $program at priority $priority: $(tail -1 "$work/latency.txt")"
    done
  done
fi

if ((do_msgcost)); then
  msg_table=$out/wine-msgcost.tsv
  printf 'program\tround\tms\n' >"$msg_table"
  msgcost() {  # LABEL ROUND
    local ms
    ms=$("$loader" "$helpers/msgcost.exe" 2>/dev/null | tr -d '\r' | sed -n 's/^messages=[0-9]* ms=\([0-9.]*\).*/\1/p')
    printf '%s\t%s\t%s\n' "$1" "$2" "$ms" >>"$msg_table"
    log "msgcost round $2 with $1: $ms ms"
  }
  for round in $(seq 1 "$msg_rounds"); do
    list=(none "${programs[@]}")
    if ((round % 2 == 0)); then list=($(printf '%s\n' "${list[@]}" | tac)); fi
    for program in "${list[@]}"; do
      if [[ $program == none ]]; then
        msgcost none "$round"
      else
        start_program 4 "$(directory_of "$program")"
        sleep 3  # its start-up is over
        msgcost "$program" "$round"
        stop_program
      fi
    done
  done
fi
log "load average now: $(cut -d' ' -f1-3 /proc/loadavg)"
log "results in $out"
