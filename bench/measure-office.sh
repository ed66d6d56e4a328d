#!/usr/bin/env bash
# Quarrow Office: opening and adjusting a project of 2,000 runs of 500
# setups (the network of bench/make_network.cpp), side by side with
# quarrow-network on the same files; the longest the window's event loop
# was kept busy meanwhile (a probe timer in bench/office_bench.cpp); and
# the office window's first paint against an empty QMainWindow, by the
# preloaded hook of measure-paint.sh. Leaves office.txt and
# office-paint.txt (side by side medians) and the figures office-outcome
# (measured, or no-office when Qt Widgets is missing), office-gap-ms,
# office-adjusted-as and office-paint-outcome.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings
office=$build/office/quarrow-office
office_bench=$build/bench/quarrow-office-bench
network=$build/cli/quarrow-network
if [ ! -x "$office_bench" ] || [ ! -x "$office" ]; then
  record office-outcome no-office
  exit 0
fi

# The network of measure-network.sh, a priori sigma 1.4 mm (what the
# generator's pointing noise gives) in the tool and in the project alike.
net=$data/office-network
rm -rf "$net"
mkdir -p "$net"
"$build/bench/quarrow-make-network" "$net" 2000 500 >/dev/null
"$office_bench" --make-project "$net" 1.4
runs=("$net"/run-*.txt)
side_by_side office "$throughput_runs" 1 \
  "$(quoted "$network" --force --units metric --sigma 1.4 --marks "$net/marks.csv" \
    --output "$net/net.adj" "${runs[@]}")" \
  "$(quoted "$office_bench" "$net/project.qproject")"
record office-outcome measured

# The longest the event loop waited, over a few runs.
gap=0
for ((i = 0; i < 3; i++)); do
  output=$("$office_bench" "$net/project.qproject")
  this=$(awk '$1 == "event-loop-gap-ms" { print $2 }' <<<"$output")
  record office-adjusted-as "$(awk '$1 == "adjusted-as" { print $2 }' <<<"$output")"
  [ "$this" -gt "$gap" ] && gap=$this
done
record office-gap-ms "$gap"
rm -rf "$net"

if [ -x "$empty_window" ]; then
  xdg=$(mktemp -d)
  paint_env=(timeout 30 env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$xdg"
    XDG_CONFIG_HOME="$xdg" LD_PRELOAD="$hook")
  outcome=measured
  side_by_side office-paint "$paint_runs" 3 \
    "$(quoted "${paint_env[@]}" "$empty_window")" "$(quoted "${paint_env[@]}" "$office")" ||
    outcome=failed
  rm -rf "$xdg"
  record office-paint-outcome "$outcome"
else
  record office-paint-outcome no-widgets
fi
