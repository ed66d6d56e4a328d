#!/usr/bin/env bash
# Throughput: quarrow-adjust on the 1,000,000-setup field file, side by side
# with the floor of reading the field file twice (as the two passes do) and
# writing a file of the report's size. Leaves throughput.txt, the report's
# size and both commands in the data folder.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

big=$data/run-1000000.txt
read -r -a big_args <"$data/run-1000000.args"
big_report=$data/run-1000000.adj
"$adjust" "${big_args[@]}" --force --output "$big_report" "$big"
report_bytes=$(stat -c %s "$big_report")
tool_command=$(quoted "$adjust" "${big_args[@]}" --force --output "$big_report" "$big")
floor_script="cat $(quoted "$big" "$big")>/dev/null; head -c $report_bytes /dev/zero >$(quoted "$data/floor.out")"
floor_command=$(quoted sh -c "$floor_script")
side_by_side throughput "$throughput_runs" 1 "$tool_command" "$floor_command"
rm -f "$data/floor.out"

record report-bytes "$report_bytes"
record throughput-command "$tool_command"
record floor-script "$floor_script"
