#!/usr/bin/env bash
# quarrow-network end to end from 100,000 short run files, against cat
# reading the same files. Leaves in the data folder network-files.txt, side
# by side (as lib.sh's side_by_side):
#   1. xargs cat over the files of the list, the floor of reading them;
#   2. quarrow-network --runs-from the list, the report alone;
#   3. the same with the CSV export;
#   4. the same with the JSON export;
# and the figures network-files-runs, network-files-bytes, the sizes of the
# exports (network-files-csv-bytes, network-files-json-bytes) and
# network-files-exit-status.
# The runs are quarrow-make-network's, 10 setups each on a grid of about
# 50,000 junction marks. The a priori sigma is 1.45 mm, not the 1.4 mm of
# measure-network.sh's 500-setup runs: the readings' rounding to the
# millimetre weighs a little more per root km on a short run, and with
# 50,000 redundant observations the global test tells 1.4 from 1.45.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

network=$build/cli/quarrow-network
runs=100000
[ "$quick" -eq 1 ] && runs=20000
folder=$data/network-files
rm -rf "$folder"
mkdir -p "$folder"
record_network_made network-files "$("$build/bench/quarrow-make-network" "$folder" "$runs" 10)"
cd "$folder"
find . -name 'run-*.txt' | sort >runs.list
record network-files-runs "$(wc -l <runs.list)"
record network-files-bytes "$(xargs -a runs.list cat | wc -c)"

base=("$network" --force --units metric --sigma 1.45 --marks marks.csv
  --output "$data/files.adj" --runs-from runs.list)
status=0
"${base[@]}" --export "$data/files.csv" --export "$data/files.json" >/dev/null 2>&1 || status=$?
record network-files-exit-status "$status"
record network-files-csv-bytes "$(stat -c %s "$data/files.csv")"
record network-files-json-bytes "$(stat -c %s "$data/files.json")"

# Fewer repeats than the throughput runs: each command reads 100,000 files.
side_by_side network-files 2 1 \
  "$(quoted xargs -a runs.list cat)" \
  "$(quoted "${base[@]}")" \
  "$(quoted "${base[@]}" --export "$data/files.csv")" \
  "$(quoted "${base[@]}" --export "$data/files.json")"
cd "$root"
rm -rf "$folder" "$data/files.adj" "$data/files.csv" "$data/files.json"
