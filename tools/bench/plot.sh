#!/usr/bin/env bash
# Draws the benchmark plots with gnuplot (apt-get install gnuplot-nox).
#
#   tools/bench/plot.sh --cpu wine-cpu.tsv --out FILE.png [--title TEXT]
#       Share of one core under Wine per configuration, from the table of
#       measure-wine.sh: refpaint, and the baseline and strennix where the
#       table has them, each alone and with wineserver and Xvfb.
#   tools/bench/plot.sh --host strennix_bench.json --out FILE.png
#       CPU time of one redraw tick per window on the simulated desktop, from
#       strennix_bench --benchmark_out=... --benchmark_out_format=json (the
#       medians when it was run with repetitions).
set -euo pipefail

cpu=
host=
out=
title="Redraw timer under Wine: share of one core (50 quiet windows, one run)"
while [[ $# -gt 0 ]]; do
  case $1 in
    --cpu) cpu=$2; shift 2 ;;
    --host) host=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --title) title=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
[[ -n $out && ( -n $cpu || -n $host ) ]] || { echo "usage: see the head of $0" >&2; exit 2; }
command -v gnuplot >/dev/null || { echo "gnuplot is not installed" >&2; exit 1; }
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

if [[ -n $cpu ]]; then
  # One row per configuration, one column pair (alone, with the servers) per
  # program in the order refpaint, baseline, strennix; the idle rows go.
  programs=$(awk -F'\t' 'NR > 1 { seen[$1] = 1 }
    END { printf "refpaint%s%s", ("baseline" in seen) ? " baseline" : "",
                                 ("strennix" in seen) ? " strennix" : "" }' "$cpu")
  awk -F'\t' -v programs="$programs" '
    NR == 1 { next }
    $3 == 2 { next }
    {
      key = $2 " ms\t" ($3 == 0 ? "foreground window" : "all windows")
      if (!(key in seen)) { seen[key] = 1; order[++n] = key }
      own[key, $1] = $8; all[key, $1] = $9
    }
    END {
      count = split(programs, p, " ")
      for (i = 1; i <= n; i++) {
        k = order[i]
        printf "%s", k
        for (j = 1; j <= count; j++) printf "\t%s", own[k, p[j]]
        for (j = 1; j <= count; j++) printf "\t%s", all[k, p[j]]
        printf "\n"
      }
    }' "$cpu" >"$data/cpu.dat"
  read -r -a names <<<"$programs"
  count=${#names[@]}
  light=("#9ecae1" "#bdbdbd" "#fdae6b")
  dark=("#3182bd" "#636363" "#e6550d")
  color() { case $1 in refpaint) echo 0 ;; baseline) echo 1 ;; *) echo 2 ;; esac; }
  label() { case $1 in baseline) echo "strennix before" ;; *) echo "$1" ;; esac; }
  series=()
  for ((j = 0; j < count; j++)); do
    c=$(color "${names[j]}")
    tics=
    if ((j == 0)); then tics=':xtic(sprintf("%s\n%s", strcol(1), strcol(2)))'; fi
    series+=("\"$data/cpu.dat\" using $((j + 3))$tics title \"$(label "${names[j]}") alone\" lc rgb \"${light[c]}\"")
  done
  for ((j = 0; j < count; j++)); do
    c=$(color "${names[j]}")
    series+=("\"$data/cpu.dat\" using $((j + 3 + count)) title \"$(label "${names[j]}") + wineserver + Xvfb\" lc rgb \"${dark[c]}\"")
  done
  # The value above each bar: clustered bars sit at cluster + (k - (n - 1) / 2) / (n + gap).
  bars=$((2 * count))
  for ((k = 0; k < bars; k++)); do
    series+=("\"$data/cpu.dat\" using (\$0 + ($k - ($bars - 1) / 2.0) / ($bars + 1)):$((k + 3)):(sprintf(\"%.2g\", \$$((k + 3)))) with labels offset 0,0.7 font \",8\" notitle")
  done
  gnuplot <<EOF
set terminal pngcairo size 1000,580 font "DejaVu Sans,11"
set output "$out"
set title "$title"
set ylabel "% of one core"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set key top left
set grid ytics
set yrange [0:*]
set offsets 0, 0, graph 0.05, 0
set bmargin 4
set datafile separator "\t"
plot $(IFS=,; echo "${series[*]}")
EOF
fi

if [[ -n $host ]]; then
  python3 - "$host" "$data" <<'EOF'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
series = {}
for run in runs:
    if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
        continue
    name, windows = run["name"].split("/")[0], run.get("windows")
    if not name.startswith("BM_Redraw") or windows is None:
        continue
    # CPU time: on a shared machine the wall clock also counts waiting.
    ns_per_window = run["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[run["time_unit"]] / windows
    series.setdefault(name[len("BM_Redraw"):], {})[int(windows)] = ns_per_window
for name, points in series.items():
    with open(f"{sys.argv[2]}/host-{name}.dat", "w") as f:
        for windows in sorted(points):
            f.write(f"{windows}\t{points[windows]:.1f}\n")
EOF
  plots=()
  for entry in "FileListOff:file-name list off" "Psapi:PSAPI (NT)" "Toolhelp:Toolhelp (9x)" \
    "PerformanceData:performance data (NT without psapi.dll)"; do
    name=${entry%%:*}
    [[ -f $data/host-$name.dat ]] || continue
    plots+=("\"$data/host-$name.dat\" using 1:2 with linespoints lw 2 pt 7 title \"${entry#*:}\"")
  done
  gnuplot <<EOF
set terminal pngcairo size 1000,560 font "DejaVu Sans,11"
set output "$out"
set title "One redraw tick of every window on the simulated desktop: CPU time per window"
set xlabel "top-level windows (each in a process of its own, beside 40 system processes)"
set ylabel "ns per window"
set logscale xy
set xrange [7:1400]
set xtics (10, 100, 1000)
set grid xtics ytics mytics
set key top left
plot $(IFS=,; echo "${plots[*]}")
EOF
fi
