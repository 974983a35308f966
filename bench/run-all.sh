#!/usr/bin/env bash
# Builds the benchmark programs, runs them all and prints one table of the station's costs.
#
#   bench/run-all.sh [--build DIR] [--soak-minutes N] [--idle-minutes N] [--startup-runs N]
#                    [--latency-seconds N]
#
# --build: the build folder (default: build/ beside this folder; configured when new).
# The real-time soak runs 2 minutes unless told otherwise; bench_soak alone defaults to 10.
set -euo pipefail

src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$src/build"
soak_minutes=2
idle_minutes=3
startup_runs=5
latency_seconds=100

usage() { sed -n '4,8p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --soak-minutes) soak_minutes="$2"; shift 2 ;;
        --idle-minutes) idle_minutes="$2"; shift 2 ;;
        --startup-runs) startup_runs="$2"; shift 2 ;;
        --latency-seconds) latency_seconds="$2"; shift 2 ;;
        -h|--help) usage ;;
        *) echo "run-all.sh: unknown option $1" >&2; usage ;;
    esac
done
build="$(mkdir -p "$build" && cd "$build" && pwd)"

# The test command's build leaves the benchmarks out; they are switched on here.
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAR_BENCH=ON >/dev/null
else
    cmake -S "$src" -B "$build" -DQUILLMAR_BENCH=ON >/dev/null
fi
# Two jobs at most: the machine is shared.
ninja -C "$build" -j2 quillmar quillmar-receiver-sim \
    bench_station bench_schedule bench_audio bench_export bench_signal bench_soak bench_latency >&2

results="$build/bench/results/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$results"
step() { echo "run-all.sh: $*" >&2; }

{
    echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
    echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "commit: $(git -C "$src" rev-parse --short HEAD 2>/dev/null || echo unknown), build: $build, $(date '+%Y-%m-%d %H:%M %Z')"
} > "$results/machine.txt"

export QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1
for b in station schedule audio export signal; do
    step "bench_$b"
    "$build/bench/bench_$b" --benchmark_format=json > "$results/$b.json" 2> "$results/$b.err" || true
done
step "bench_soak --startup $startup_runs"
"$build/bench/bench_soak" --binary-dir "$build" --startup "$startup_runs" > "$results/startup.txt" 2>&1 || true
step "bench_soak --idle --minutes $idle_minutes"
"$build/bench/bench_soak" --binary-dir "$build" --idle --minutes "$idle_minutes" \
    --logs-to "$results/idle-logs" > "$results/idle.txt" 2>&1 || true
step "bench_soak --minutes $soak_minutes"
"$build/bench/bench_soak" --binary-dir "$build" --minutes "$soak_minutes" \
    --logs-to "$results/soak-logs" > "$results/soak.txt" 2>&1 || true
step "bench_latency --seconds $latency_seconds (each of 5 cases)"
"$build/bench/bench_latency" --binary-dir "$build" --seconds "$latency_seconds" \
    > "$results/latency.txt" 2>&1 || true
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)" >> "$results/machine.txt"

python3 "$src/bench/summarize.py" "$results"
echo "raw results: $results"
