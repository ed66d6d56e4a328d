#!/usr/bin/env bash
# Builds the fuzzers and shares the given number of seconds (default 60)
# among them, each on both cores from its seed corpus: the level-run fuzzer
# (the engine, from field files) and the converter's (every reader of
# quarrow-convert) a third each, then the digital levels' readers and the
# network's marks and lines files a sixth each. Findings land in build/fuzz/findings/; each one
# becomes a regression test under tests/data/bug/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
third=$((seconds / 3))
sixth=$((seconds / 6))
last=$((seconds - 2 * third - sixth))
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target level_run_fuzzer convert_fuzzer levelling_fuzzer \
  network_files_fuzzer >/dev/null
findings=build/fuzz/findings
mkdir -p "$findings"

# Runs fuzzer $1 for $2 seconds on the working corpus $3, seeded from $4.
run_fuzzer() {
  local name=$1 time=$2 work=$3 seeds=$4
  local log=build/fuzz/$name.log
  mkdir -p "$work"
  rm -f fuzz-*.log
  "build/fuzz/fuzz/$name" "$work" "$seeds" \
    -max_total_time="$time" -jobs=2 -workers=2 -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -artifact_prefix="$findings/" -print_final_stats=1 \
    > "$log" 2>&1 || {
    cat "$log" fuzz-*.log 2>/dev/null | tail -60
    echo "The $name found a problem: see $findings/" >&2
    exit 1
  }
  grep -h -E '^stat::number_of_executed_units|Done [0-9]+ runs' "$log" fuzz-*.log 2>/dev/null |
    tail -4 || true
  rm -f fuzz-*.log
  echo "$name: ${time}s without a finding."
}

run_fuzzer level_run_fuzzer "$third" build/fuzz/corpus fuzz/corpus
run_fuzzer convert_fuzzer "$third" build/fuzz/convert-corpus fuzz/convert-corpus
run_fuzzer levelling_fuzzer "$sixth" build/fuzz/levelling-corpus fuzz/levelling-corpus
run_fuzzer network_files_fuzzer "$last" build/fuzz/network-corpus fuzz/network-corpus
echo "Fuzzed ${seconds}s without a finding."
