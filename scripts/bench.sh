#!/usr/bin/env bash
# Builds the game and its benchmarks, then measures under Xvfb (Mesa's
# software renderer) from build/run and prints one table: the update tick
# for several roster sizes, the frame loop's pass rate beside a loop that
# only clears and presents, its cost and pace at the display's rate and on
# the still screens, the start-up time against a floor program, and the
# frames a second of exporting a clip in each kind of file.
# Usage: scripts/bench.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" --target nombre_bench nombre_floor nombre assets -j "$(nproc)" > "$dir/bench-build.log" 2>&1 ||
  { tail -40 "$dir/bench-build.log"; exit 1; }

work=$(mktemp -d /tmp/nombre-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
# Sound is mixed as for a real device, into nothing, so the mixer's thread
# takes its share of the machine as it would in play.
printf '[general]\ndrivers = null\n' > "$work/alsoft.conf"

cat > "$work/run.sh" <<'RUN'
set -euo pipefail
bench=../bench/nombre_bench
$bench --table
$bench --frames 2.5
$bench --replayed-fight
(NOMBRE_LAUNCH_NS=$(date +%s%N) exec $bench --startup)
timeout 300 $bench --watch-launch ../nombre 5
timeout 600 $bench --against-floor 12 ../bench/nombre_floor ../nombre
RUN

echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg) before the run"
printf '%-68s %10s  %s\n' "measurement" "figure" "unit"
cd "$dir/run"
ALSOFT_CONF="$work/alsoft.conf" xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000" \
  bash "$work/run.sh" 2> "$work/stderr.txt" || { echo "benchmark failed:"; tail -20 "$work/stderr.txt"; exit 1; }
