#!/usr/bin/env bash
# Peak resident memory of quarrow-adjust on 1,000, 100,000 and 1,000,000
# setups, as GNU time reports it (KiB).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

for setups in 1000 100000 1000000; do
  read -r -a run_args <"$data/run-$setups.args"
  /usr/bin/time -f %M -o "$data/rss-$setups" \
    "$adjust" "${run_args[@]}" --force --output "$data/run-$setups.adj" "$data/run-$setups.txt"
  record "peak-rss-kib-$setups" "$(tail -1 "$data/rss-$setups")"
done
rm -f "$data"/run-*.adj
