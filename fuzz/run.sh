#!/usr/bin/env bash
# Builds the fuzzer and runs it for the given number of seconds (default 60)
# on both cores, starting from the seed corpus. Findings land in
# build/fuzz/findings/; each one becomes a regression test under
# tests/data/bug/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target level_run_fuzzer >/dev/null
work=build/fuzz/corpus
findings=build/fuzz/findings
mkdir -p "$work" "$findings"
build/fuzz/fuzz/level_run_fuzzer "$work" fuzz/corpus \
  -max_total_time="$seconds" -jobs=2 -workers=2 -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -artifact_prefix="$findings/" -print_final_stats=1 \
  > build/fuzz/fuzz.log 2>&1 || {
  cat build/fuzz/fuzz.log fuzz-*.log 2>/dev/null | tail -60
  echo "The fuzzer found a problem: see $findings/" >&2
  exit 1
}
grep -h -E '^stat::number_of_executed_units|Done [0-9]+ runs' build/fuzz/fuzz.log fuzz-*.log 2>/dev/null | tail -4 || true
rm -f fuzz-*.log
echo "Fuzzed ${seconds}s without a finding."
