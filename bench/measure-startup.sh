#!/usr/bin/env bash
# Start-up: quarrow-adjust on the five-line example, side by side with cat
# of the same file, a program that only starts Qt Core, the tool's
# --version, and (where /dev/shm is writable) the tool again with its
# report on tmpfs. Leaves startup.txt and the commands, one a line, in
# startup-commands.txt.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

startup_commands=(
  "$(quoted cat "$example")"
  "$(quoted "$adjust" "${example_args[@]}" --output "$data/example.adj" "$example")"
  "$(quoted "$build/bench/quarrow-qt-core-probe")"
  "$(quoted "$adjust" --version)"
)
tmpfs_report=""
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  tmpfs_report=/dev/shm/quarrow-bench-example.adj
  startup_commands+=("$(quoted "$adjust" "${example_args[@]}" --output "$tmpfs_report" "$example")")
fi
side_by_side startup "$startup_runs" 5 "${startup_commands[@]}"
printf '%s\n' "${startup_commands[@]}" >"$data/startup-commands.txt"
if [ -n "$tmpfs_report" ]; then rm -f "$tmpfs_report"; fi
