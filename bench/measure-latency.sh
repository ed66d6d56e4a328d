#!/usr/bin/env bash
# Adjust latency: what the Adjust handler runs, through the Qt platform, on
# the generated 500-setup run. Leaves the program's own table in
# latency.txt and its medians and 90th percentile (ms) as figures.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

read -r -a latency_args <"$data/run-500.args"
"$build/bench/quarrow-adjust-latency" "${latency_args[@]}" --runs "$latency_runs" \
  "$data/run-500.txt" >"$data/latency.txt"
rm -f "$data/run-500.adj"

record latency-median-ms "$(awk '$1 == "AdjustLevelRun" { print $3 }' "$data/latency.txt")"
record latency-p90-ms "$(awk '$1 == "AdjustLevelRun" { print $6 }' "$data/latency.txt")"
record latency-checked-median-ms "$(awk '$1 == "CheckInputFile" { print $5 }' "$data/latency.txt")"
