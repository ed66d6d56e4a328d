#!/usr/bin/env bash
# Writes bench/RESULTS.md from the figures the measurements left in the data
# folder, and the hand-written notes in bench/notes.md. Measures nothing.
#
#   bench/write-results.sh [DATA_FOLDER [RESULTS_FILE]]
#
# The defaults are build/bench/data and bench/RESULTS.md. The text of each
# part is in results-summary.sh, results-measurements.sh,
# results-profiles.sh and results-network.sh.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/results-summary.sh"
source "$(dirname "$0")/results-measurements.sh"
source "$(dirname "$0")/results-profiles.sh"
source "$(dirname "$0")/results-network.sh"
source "$(dirname "$0")/results-office.sh"
data=${1:-$data}
results=${2:-$root/bench/RESULTS.md}

# Every figure the text needs, checked before a line is written: inside the
# text a missing one would only leave a blank. Besides these figures the
# data folder holds throughput.txt, startup.txt and paint.txt (side by side
# medians), startup-commands.txt, latency.txt, engine-bench.txt,
# run-500.args, network.txt, network-solver.txt, network-orderings.txt and
# the profiles' rows.
for name in quick date commit uncommitted processors cpu memory-kib kernel compiler qt \
  load-before load-after field-bytes-1000 field-bytes-100000 field-bytes-1000000 \
  report-bytes throughput-command floor-script \
  peak-rss-kib-1000 peak-rss-kib-100000 peak-rss-kib-1000000 paint-outcome \
  latency-median-ms latency-p90-ms latency-checked-median-ms network-exit-status \
  network-same-bytes network-load-big network-setups-bytes network-files-runs \
  network-files-bytes network-files-csv-bytes network-files-json-bytes \
  network-files-exit-status network-grid network-loops network-files-grid network-files-loops; do
  figure "$name" >/dev/null
done
load_settings

# Figures the targets table shares with the sections.
tool_s=$(med throughput 1)
floor_s=$(med throughput 2)
rss_small=$(figure peak-rss-kib-1000)
rss_big=$(figure peak-rss-kib-1000000)
cat_s=$(med startup 1)
startup_s=$(med startup 2)
paint_outcome=$(figure paint-outcome)
if [ "$paint_outcome" = measured ]; then
  empty_paint_s=$(med paint 1)
  window_paint_s=$(med paint 2)
fi
latency_ms=$(figure latency-median-ms)

# How each figure was measured.
commands_section() {
  local startup_commands latency_args
  mapfile -t startup_commands <"$data/startup-commands.txt"
  read -r -a latency_args <"$data/run-500.args"
  cat <<END

## Commands

\`\`\`
bench/run.sh$([ "$quick" -eq 1 ] && echo " --quick")
hyperfine -N --warmup 1 --runs $throughput_runs '$(figure throughput-command)' "sh -c '$(figure floor-script)'"   # $rounds rounds, alternate ones reversed
/usr/bin/time -f %M quarrow-adjust <elevations> --force --output run-N.adj run-N.txt   # N = 1000, 100000, 1000000
hyperfine -N --warmup 5 --runs $startup_runs $(printf "'%s' " "${startup_commands[@]}")  # likewise
hyperfine -N --warmup 3 --runs $paint_runs 'timeout 30 env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=<scratch folder> LD_PRELOAD=$hook $empty_window' '(the same) $window'
$build/bench/quarrow-adjust-latency ${latency_args[*]} --runs $latency_runs $data/run-500.txt
$build/bench/quarrow-engine-bench --benchmark_min_time=$min_time
valgrind --tool=callgrind quarrow-adjust <elevations> --force --output run-100000.adj run-100000.txt
quarrow-make-network <folder> 2000 500
hyperfine -N ... 'quarrow-network --force --units metric --sigma 1.4 --marks <folder>/marks.csv --output network.adj <folder>/run-*.txt'   # and with --export network.csv, beside quarrow-adjust on run-1000000.txt, as above
/usr/bin/time -f %M quarrow-network-bench N   # N = 1000, 10000, 100000, 1000000
quarrow-network-bench --orderings 100000 1000000
quarrow-make-network <folder> 100000 10; find <folder> -name 'run-*.txt' | sort >runs.list
hyperfine -N ... 'xargs -a runs.list cat' 'quarrow-network --force --units metric --sigma 1.45 --marks marks.csv --output files.adj --runs-from runs.list'   # and with --export files.csv, --export files.json

\`\`\`

Field files: \`quarrow-make-field-file --setups N OUTPUT\` (seed 1, metric,
degree sign 176, CR LF); it prints the elevations to adjust them with.
END
}

# Written beside RESULTS.md and moved over it whole, so that a failure
# leaves the previous results as they were.
draft=$results.draft
trap 'rm -f "$draft"' EXIT
{
  head_and_targets
  throughput_section
  outputs_section
  memory_section
  startup_section
  paint_section
  latency_section
  office_section
  profile_sections
  network_section
  echo
  sed '1,/-->$/d' "$root/bench/notes.md"
  commands_section
} >"$draft"
# Paths in the report are shown relative to the repository.
sed -i "s|$root/||g" "$draft"
mv "$draft" "$results"
echo "Wrote $results"
