#!/usr/bin/env bash
# quarrow-network, end to end and its solver alone. Leaves in the data
# folder:
# - network.txt: side by side (as lib.sh's side_by_side), quarrow-adjust on
#   the 1,000,000-setup field file, and quarrow-network on 2,000 generated
#   runs of 500 setups (1,000,000 setups in loops on a grid), with the
#   report alone and with the CSV export (a priori sigma 1.4 mm, the
#   generator's own pointing noise, so that the global test passes and the
#   tool exits 0);
# - network-solver.txt: quarrow-network-bench's row for each grid of 1,000
#   to 1,000,000 marks (about two runs per mark), each size in a process of
#   its own, and GNU time's peak resident memory of that process (KiB) at
#   the end of the row; the sizes up to 100,000 are measured three times
#   and the run with the median time with every statistic is kept;
# - network-orderings.txt: the solver's phases in each fill-reducing
#   ordering on 100,000 and 1,000,000 marks;
# - the figures network-exit-status, network-same-bytes (yes when the
#   solution's digest is the same with one and with four threads allowed
#   to OpenMP and OpenBLAS), network-load-big (the load average before the
#   1,000,000-mark runs) and network-setups-bytes.
# The 1,000,000-mark runs wait for a quiet machine first (lib.sh's
# wait_for_quiet): on two shared cores other work doubles their times.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

network=$build/cli/quarrow-network
solver_bench=$build/bench/quarrow-network-bench
runs_folder=$data/network-runs
rm -rf "$runs_folder"
mkdir -p "$runs_folder"
record_network_made network "$("$build/bench/quarrow-make-network" "$runs_folder" 2000 500)"
record network-setups-bytes "$(cat "$runs_folder"/run-*.txt | wc -c)"
# The runs by their plain names, from their folder: 2,000 full paths would
# pass the length one argument may have (hyperfine takes each command as one).
cd "$runs_folder"
runs=(run-*.txt)

# --- End to end ---------------------------------------------------------------
big=$data/run-1000000.txt
read -r -a big_args <"$data/run-1000000.args"
network_base=("$network" --force --units metric --sigma 1.4 --marks marks.csv
  --output "$data/network.adj")
status=0
"${network_base[@]}" "${runs[@]}" >/dev/null 2>&1 || status=$?
record network-exit-status "$status"
side_by_side network "$throughput_runs" 1 \
  "$(quoted "$adjust" "${big_args[@]}" --force --output "$data/network-big.adj" "$big")" \
  "$(quoted "${network_base[@]}" "${runs[@]}")" \
  "$(quoted "${network_base[@]}" --export "$data/network.csv" "${runs[@]}")"
rm -f "$data/network-big.adj" "$data/network.adj" "$data/network.csv"

# --- The solver alone ---------------------------------------------------------
# One row of quarrow-network-bench for MARKS, with the peak RSS appended.
solver_row() {
  /usr/bin/time -f %M -o "$data/network-rss" "$solver_bench" "$1" | tail -1 |
    tr '\n' ' '
  tail -1 "$data/network-rss"
}
repeats=3
[ "$quick" -eq 1 ] && repeats=1
head -1 < <("$solver_bench") >"$data/network-solver.txt"
for marks in 1000 10000 100000; do
  for ((i = 0; i < repeats; i++)); do solver_row "$marks"; done |
    sort -g -k4 | awk -v n="$repeats" 'NR == int((n + 1) / 2)'
done >>"$data/network-solver.txt"

digest() { "$solver_bench" 100000 | awk 'NR == 2 { print $NF }'; }
one=$(OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 digest)
four=$(OMP_NUM_THREADS=4 OPENBLAS_NUM_THREADS=4 OMP_DYNAMIC=false digest)
record network-same-bytes "$([ "$one" = "$four" ] && echo yes || echo no)"

wait_for_quiet
record network-load-big "$(cut -d' ' -f1-3 /proc/loadavg)"
solver_row 1000000 >>"$data/network-solver.txt"
"$solver_bench" --orderings 100000 1000000 >"$data/network-orderings.txt"
cd "$root"
rm -rf "$runs_folder" "$data/network-rss"
