#!/usr/bin/env bash
# Outputs beside the report: quarrow-adjust on the 1,000,000-setup field file
# alone, with a CSV export, and with a PNG profile, side by side. Leaves
# outputs.txt in the data folder.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

big=$data/run-1000000.txt
read -r -a big_args <"$data/run-1000000.args"
base=("$adjust" "${big_args[@]}" --force --output "$data/outputs.adj")
side_by_side outputs "$throughput_runs" 1 "$(quoted "${base[@]}" "$big")" \
  "$(quoted "${base[@]}" --export "$data/outputs.csv" "$big")" \
  "$(quoted "${base[@]}" --profile "$data/outputs.png" "$big")"
rm -f "$data/outputs.adj" "$data/outputs.csv" "$data/outputs.png"
