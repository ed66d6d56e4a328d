# One section of RESULTS.md per measurement, from its figures in the data
# folder. Sourced by bench/write-results.sh, whose shared figures it uses.
# shellcheck shell=bash disable=SC2154 # figures read by write-results.sh

throughput_section() {
  local report_bytes
  report_bytes=$(figure report-bytes)
  cat <<END

## Throughput

The 1,000,000-setup field file is $(fmt_bytes "$(figure field-bytes-1000000)"); its report is
$(fmt_bytes "$report_bytes"). The floor reads the field file twice, as the two
passes do, and writes as many bytes as the report holds.

Each command ran $throughput_runs times after a warm-up in each of $rounds
rounds, every other round in reverse order; the figure is the median of
the round medians.

| Command | Median |
|---|---|
| quarrow-adjust | $(secs "$tool_s") |
| floor: cat field field >/dev/null; head -c $report_bytes /dev/zero >file | $(secs "$floor_s") |
END
}

outputs_section() {
  [ -f "$data/outputs.txt" ] || return 0
  local alone csv png
  alone=$(med outputs 1)
  csv=$(med outputs 2)
  png=$(med outputs 3)
  cat <<END

## Outputs beside the report

quarrow-adjust on the 1,000,000-setup field file, side by side as above.
Target: a CSV export within 1.3 x the report alone; a profile within 2 s
more than the report alone.

| Command | Median | Against the report alone |
|---|---|---|
| report alone | $(secs "$alone") | 1.00 |
| with --export x.csv | $(secs "$csv") | $(ratio "$csv" "$alone") ($(verdict "$(ratio "$csv" "$alone")" 1.3)) |
| with --profile x.png | $(secs "$png") | +$(secs "$(awk -v a="$png" -v b="$alone" 'BEGIN { print a - b }')") |
END
}

memory_section() {
  cat <<END

## Peak resident memory

| Setups | Field file | Peak RSS |
|---|---|---|
| 1,000 | $(fmt_bytes "$(figure field-bytes-1000)") | $(mib "$rss_small") |
| 100,000 | $(fmt_bytes "$(figure field-bytes-100000)") | $(mib "$(figure peak-rss-kib-100000)") |
| 1,000,000 | $(fmt_bytes "$(figure field-bytes-1000000)") | $(mib "$rss_big") |

The field file is streamed in 64 KiB chunks and the report written in
64 KiB pieces. What grows is ShotPattern, one byte per foresight, which the
report pass needs to know side shots from turning points.
END
}

# "N instructions, P % of them in the dynamic linker" for a start-up profile.
startup_instructions() {
  echo "$(thousands "$(figure "$1-instructions")") instructions, $(figure "$1-linker-percent") % of them in the dynamic linker"
}

startup_section() {
  cat <<END

## Start-up

Medians of $rounds rounds of $startup_runs runs each, the fastest run in
brackets; between fastest runs the ratio to cat is $(ratio "$(low startup 2)" "$(low startup 1)").

| Command | Median |
|---|---|
| cat examples/run.txt | $(ms "$cat_s") ($(ms "$(low startup 1)")) |
| quarrow-adjust on examples/run.txt, report on disk | $(ms "$startup_s") ($(ms "$(low startup 2)")) |
| Qt Core alone: load it, make a QCoreApplication, end (bench/qt_core_probe.cpp) | $(ms "$(med startup 3)") ($(ms "$(low startup 3)")) |
| quarrow-adjust --version | $(ms "$(med startup 4)") ($(ms "$(low startup 4)")) |
END
  # A fifth command ran when /dev/shm was there to write the report to.
  if [ -n "$(med startup 5)" ]; then
    echo "| quarrow-adjust on examples/run.txt, report on tmpfs (/dev/shm) | $(ms "$(med startup 5)") ($(ms "$(low startup 5)")) |"
  fi
  if has_figure startup-tool-instructions; then
    cat <<END

Under callgrind, quarrow-adjust on the example executes $(startup_instructions startup-tool);
the Qt Core probe executes $(startup_instructions startup-qt).
END
  fi
}

paint_section() {
  cat <<END

## First paint

Each program is started with QT_QPA_PLATFORM=offscreen and a preloaded
hook (bench/first_paint_hook.cpp) that lets the first QBackingStore::flush
through and then ends the process, so the whole-process time is the time to
the first painted frame. The empty window is bench/first_paint_probe.cpp.

END
  case $paint_outcome in
    measured)
      cat <<END
Medians of $rounds rounds of $paint_runs runs each, the fastest run in
brackets; between fastest runs the ratio is $(ratio "$(low paint 2)" "$(low paint 1)").

| Program | Median |
|---|---|
| Empty QMainWindow | $(ms "$empty_paint_s") ($(ms "$(low paint 1)")) |
| Quarrow window (build/bench/app/quarrow) | $(ms "$window_paint_s") ($(ms "$(low paint 2)")) |
END
      ;;
    failed) echo "The first-paint runs failed: a window that never painted was stopped by timeout." ;;
    no-window)
      echo "The window (build/bench/app/quarrow) was not built on this machine: the empty"
      echo "QMainWindow probe is ready, and the comparison is left to be filled."
      ;;
    no-widgets) echo "Qt Widgets is not installed: neither window could be built." ;;
    *) echo "bench: paint-outcome $paint_outcome is none of those this script knows" >&2; return 1 ;;
  esac
}

latency_section() {
  cat <<END

## Adjust latency

bench/adjust_latency.cpp runs what the Adjust handler runs on the generated
500-setup run (data/run-500.txt), through the Qt platform, with the report
written beside it, $latency_runs times after three warm-up runs:

\`\`\`
$(cat "$data/latency.txt")
\`\`\`

The check of the field file the handler makes first adds almost nothing
(median $(figure latency-checked-median-ms) ms with it).

## Engine micro-benchmarks

\`quarrow-engine-bench\` (Google Benchmark, in memory, no disk):

\`\`\`
$(cat "$data/engine-bench.txt")
\`\`\`
END
}
