#!/usr/bin/env bash
# First paint: the Quarrow window side by side with an empty QMainWindow,
# both offscreen and ended at their first painted frame by the preloaded
# hook. Leaves paint.txt and the figure paint-outcome: measured, failed (a
# window never painted and was stopped), no-window (only the empty window
# was built) or no-widgets (Qt Widgets is missing, so neither was).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
load_settings

if [ -x "$window" ] && [ -x "$empty_window" ]; then
  xdg=$(mktemp -d)
  paint_env=(timeout 30 env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$xdg" LD_PRELOAD="$hook")
  outcome=measured
  side_by_side paint "$paint_runs" 3 \
    "$(quoted "${paint_env[@]}" "$empty_window")" "$(quoted "${paint_env[@]}" "$window")" ||
    outcome=failed
  rm -rf "$xdg"
elif [ -x "$empty_window" ]; then
  outcome=no-window
else
  outcome=no-widgets
fi
record paint-outcome "$outcome"
