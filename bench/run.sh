#!/usr/bin/env bash
# Measures Quarrow on this machine and writes bench/RESULTS.md.
#
#   bench/run.sh [--quick]
#
# Builds the programs and the benchmarks in build/bench, generates field
# files of 500, 1,000, 100,000 and 1,000,000 setups, then measures, each
# comparison side by side in the same run:
#   - throughput of quarrow-adjust on 1,000,000 setups against the floor of
#     reading the field file twice and writing a file of the report's size;
#   - peak resident memory for 1,000, 100,000 and 1,000,000 setups;
#   - start-up of quarrow-adjust on the five-line example against cat;
#   - the window's first paint (offscreen) against an empty QMainWindow;
#   - Adjust latency on a realistic 500-setup run through the Qt platform;
#   - quarrow-network end to end on 2,000 runs against quarrow-adjust on one,
#     and its least-squares solver alone on grids of 1,000 to 1,000,000 marks;
#   - quarrow-network on 100,000 short run files against cat reading them,
#     with and without its exports;
#   - Quarrow Office on a 2,000-run network against quarrow-network, its
#     event loop meanwhile, and its first paint;
# and runs the engine's micro-benchmarks and three callgrind profiles.
# Each is a script of its own beside this one (measure-*.sh, profile-*.sh)
# that leaves plain figures in build/bench/data; write-results.sh turns
# them into RESULTS.md.
#
# Figures are only worth comparing on a quiet machine: the script waits up
# to QUARROW_BENCH_WAIT seconds (default 600) for the one-minute load
# average to fall below QUARROW_BENCH_MAX_LOAD (default 1.0), and records
# the load it measured under. --quick takes fewer runs and skips callgrind.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$root"

quick=0
[ "${1:-}" = "--quick" ] && quick=1

# hyperfine, GNU time, valgrind and Google Benchmark besides the build's own.
tools/install-packages.sh hyperfine time valgrind libbenchmark-dev

# --- Build -----------------------------------------------------------------
# The shipped build type, so that the figures are the user's; the window is
# built too when Qt Widgets is there.
configure() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARROW_BUILD_BENCH=ON -DQUARROW_BUILD_TESTS=OFF -DQUARROW_BUILD_APP="$1" >/dev/null
}
configure ON || configure OFF
cmake --build "$build" --target quarrow-adjust quarrow-make-field-file quarrow-engine-bench \
  quarrow-adjust-latency quarrow-qt-core-probe quarrow_first_paint_hook quarrow-network \
  quarrow-network-bench quarrow-make-network
cmake --build "$build" --target quarrow-first-paint-probe 2>/dev/null || true
cmake --build "$build" --target quarrow 2>/dev/null || true
cmake --build "$build" --target quarrow-office quarrow-office-bench quarrow-network \
  quarrow-make-network 2>/dev/null || true

# --- Field files -----------------------------------------------------------
mkdir -p "$data"
: >"$data/figures.txt"
record quick "$quick"
for setups in 500 1000 100000 1000000; do
  "$build/bench/quarrow-make-field-file" --setups "$setups" "$data/run-$setups.txt" \
    >"$data/run-$setups.args"
  record "field-bytes-$setups" "$(stat -c %s "$data/run-$setups.txt")"
done

# --- Wait for a quiet machine ------------------------------------------------
# After the build and the field files, which load the machine themselves.
wait_for_quiet
record load-before "$(cut -d' ' -f1-3 /proc/loadavg)"
echo "Measuring at load $(figure load-before)"

# --- Measurements, in this order --------------------------------------------
bench/measure-throughput.sh
bench/measure-memory.sh
bench/measure-startup.sh
bench/measure-paint.sh
bench/measure-latency.sh
bench/measure-outputs.sh
bench/measure-network.sh
bench/measure-network-files.sh
bench/measure-office.sh
record load-after "$(cut -d' ' -f1-3 /proc/loadavg)"

# --- Micro-benchmarks and profiles (not part of the ratios) -----------------
bench/measure-engine.sh
if [ $quick -eq 0 ] && command -v valgrind >/dev/null; then
  bench/profile-adjust.sh
  bench/profile-startup.sh
  if [ "$(figure paint-outcome)" = measured ]; then bench/profile-paint.sh; fi
fi

# --- Results -----------------------------------------------------------------
bench/describe-machine.sh
bench/write-results.sh
