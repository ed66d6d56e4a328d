# The head of RESULTS.md: when and on what it was measured, and the targets
# table. Sourced by bench/write-results.sh, whose shared figures it uses.
# shellcheck shell=bash disable=SC2154 # figures read by write-results.sh

head_and_targets() {
  local commit throughput_ratio rss_growth_kib startup_ratio paint_row
  commit=$(figure commit)
  [ "$(figure uncommitted)" = yes ] && commit="$commit (with uncommitted changes)"
  throughput_ratio=$(ratio "$tool_s" "$floor_s")
  rss_growth_kib=$((rss_big - rss_small))
  startup_ratio=$(ratio "$startup_s" "$cat_s")
  paint_row="| Window first paint vs empty QMainWindow (offscreen) | not measured (see below) | 1.5 x | to be filled |"
  if [ "$paint_outcome" = measured ]; then
    local paint_ratio
    paint_ratio=$(ratio "$window_paint_s" "$empty_paint_s")
    paint_row="| Window first paint vs empty QMainWindow (offscreen) | $(ms "$window_paint_s") vs $(ms "$empty_paint_s"): **$paint_ratio x** | 1.5 x | $(verdict "$paint_ratio" 1.5) |"
  fi
  cat <<END
# Performance results

Written by \`bench/run.sh\` on $(figure date) at commit $commit. Every
figure below comes from this one run, and each ratio compares commands
measured side by side in it (hyperfine medians, warm page cache). Load
average (1, 5, 15 min) when measuring began: $(figure load-before); when it ended:
$(figure load-after). Rerun \`bench/run.sh\` on a quiet machine to refresh this file.

## Machine

| | |
|---|---|
| Processors (nproc) | $(figure processors) |
| CPU | $(figure cpu) |
| Memory | $(awk -v k="$(figure memory-kib)" 'BEGIN { printf "%.1f GiB", k / 1048576 }') |
| Kernel | $(figure kernel) |
| Compiler | $(figure compiler) |
| Qt | $(figure qt) |
| Build | RelWithDebInfo (-O2 -g), as shipped |

## Targets

| Target | Measured | Limit | |
|---|---|---|---|
| Throughput, 1,000,000 setups, vs floor | $(secs "$tool_s") vs $(secs "$floor_s"): **$throughput_ratio x** | 3 x | $(verdict "$throughput_ratio" 3) |
| Peak memory, 1,000,000 vs 1,000 setups | +$(mib "$rss_growth_kib") ($(mib "$rss_small") to $(mib "$rss_big")) | +16 MiB | $(verdict "$rss_growth_kib" 16384) |
| Start-up on the five-line example vs cat | $(ms "$startup_s") vs $(ms "$cat_s"): **$startup_ratio x** | 3 x | $(verdict "$startup_ratio" 3) |
$paint_row
| Adjust latency, 500 setups (median) | **$latency_ms ms** (90th percentile $(figure latency-p90-ms) ms) | 20 ms | $(verdict "$latency_ms" 20) |
$(network_target_rows)
END
}
