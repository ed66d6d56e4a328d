#!/usr/bin/env bash
# The engine's micro-benchmarks (Google Benchmark, in memory): their table,
# without the banner and rules, in engine-bench.txt.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

"$build/bench/quarrow-engine-bench" --benchmark_min_time="$min_time" 2>/dev/null |
  sed -n '/^Benchmark/,$p' | grep -v '^---' >"$data/engine-bench.txt"
