# The "Quarrow Office" part of RESULTS.md, from the figures measure-office.sh
# left. Sourced by bench/write-results.sh.
# shellcheck shell=bash disable=SC2154 # figures read by write-results.sh

office_section() {
  has_figure office-outcome || return 0
  echo
  echo "## Quarrow Office"
  echo
  if [ "$(figure office-outcome)" != measured ]; then
    echo "Not measured: this build has no Qt Widgets, so no office window."
    return 0
  fi
  local network_s office_s ratio gap paint_row
  network_s=$(med office 1)
  office_s=$(med office 2)
  ratio=$(ratio "$office_s" "$network_s")
  gap=$(figure office-gap-ms)
  paint_row="| First paint vs empty QMainWindow (offscreen) | not measured | 1.5 x | to be filled |"
  if [ "$(figure office-paint-outcome)" = measured ]; then
    local empty_s window_s paint_ratio
    empty_s=$(med office-paint 1)
    window_s=$(med office-paint 2)
    paint_ratio=$(ratio "$window_s" "$empty_s")
    paint_row="| First paint vs empty QMainWindow (offscreen) | $(ms "$window_s") vs $(ms "$empty_s"): **$paint_ratio x** | 1.5 x | $(verdict "$paint_ratio" 1.5) |"
  fi
  cat <<END
| Target | Measured | Limit | |
|---|---|---|---|
| Opening and adjusting 2,000 runs of 500 setups vs quarrow-network on the same files | $(secs "$office_s") vs $(secs "$network_s"): **$ratio x** | 1.5 x | $(verdict "$ratio" 1.5) |
| Longest the window's event loop was kept busy meanwhile | **$gap ms** | 100 ms | $(verdict "$gap" 100) |
$paint_row

The network is bench/make_network.cpp's (2,000 runs of 500 setups in loops
on a grid, 1,000,000 setups, metric, a priori sigma 1.4 mm); it was adjusted
as a $(figure office-adjusted-as). quarrow-network reads it from the command
line and writes its report; \`quarrow-office-bench PROJECT\`
(bench/office_bench.cpp) starts the office window offscreen, opens the
project file listing the same runs and marks, presses F5 (the window reads
the runs, on every core, then adjusts) and ends when the results are shown.
Whole processes, side by side, as the throughput figures are. A timer that
should fire every 10 ms ran in the window's event loop meanwhile; the figure
is the most it was ever late, the worst of three runs. First paint is timed
as for the Quarrow window, the office opened with no project and no
remembered layout.
END
}
