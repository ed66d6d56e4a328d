# The "Level networks" section of RESULTS.md and its rows of the targets
# table, from bench/measure-network.sh's figures. Sourced by
# bench/write-results.sh, whose shared figures it uses.
# shellcheck shell=bash disable=SC2154 # figures read by write-results.sh

# An awk function that writes 1234567 as 1,234,567.
awk_commas='function commas(n,  s, out) {
  s = sprintf("%d", n)
  out = ""
  while (length(s) > 3) {
    out = "," substr(s, length(s) - 2) out
    s = substr(s, 1, length(s) - 3)
  }
  return s out
}
'

# Field N of the solver's row for MARKS (the first column, as printed).
solver_field() { awk -v marks="$1" -v field="$2" '$1 == marks { print $field }' "$data/network-solver.txt"; }
# The solver's rows by size, smallest first: their marks.
solver_sizes() { awk 'NR > 1 { print $1 }' "$data/network-solver.txt"; }
largest_size() { solver_sizes | tail -1; }
hundred_thousand_size() { solver_sizes | awk '$1 >= 100000 { print; exit }'; }
gb() { awk -v k="$1" 'BEGIN { printf "%.2f GB", k * 1024 / 1e9 }'; }
# "missed by X (Y %)" or nothing, for a value against its limit.
missed_by() {
  awk -v v="$1" -v limit="$2" -v unit="$3" 'BEGIN {
    if (v > limit) printf " (missed by %.2f%s, %.0f %%)", v - limit, unit, 100 * (v - limit) / limit }'
}

network_target_rows() {
  local big hundred e2e csv adjust_s
  hundred=$(hundred_thousand_size)
  big=$(largest_size)
  adjust_s=$(med network 1)
  e2e=$(ratio "$(med network 2)" "$adjust_s")
  csv=$(ratio "$(med network 3)" "$adjust_s")
  local t100 t1m rss1m
  t100=$(solver_field "$hundred" 4)
  t1m=$(solver_field "$big" 4)
  rss1m=$(solver_field "$big" 9)
  cat <<END
| quarrow-network, 2,000 runs of 500 setups, vs quarrow-adjust on 1,000,000 setups | $(secs "$(med network 2)") vs $(secs "$adjust_s"): **$e2e x** | 1.5 x | $(verdict "$e2e" 1.5) |
| the same with the CSV export | $(secs "$(med network 3)"): **$csv x** | 1.5 x | $(verdict "$csv" 1.5) |
| Network solver, every statistic, $(thousands "$hundred") marks / $(thousands "$(solver_field "$hundred" 2)") runs | **$(secs "$t100")** | 0.5 s | $(verdict "$t100" 0.5)$(missed_by "$t100" 0.5 " s") |
| Network solver, every statistic, $(thousands "$big") marks / $(thousands "$(solver_field "$big" 2)") runs | **$(secs "$t1m")** | 10 s | $(verdict "$t1m" 10)$(missed_by "$t1m" 10 " s") |
| Network solver, peak memory, $(thousands "$big") marks | **$(gb "$rss1m")** | 2 GB | $(verdict "$((rss1m * 1024))" 2000000000) |
$(network_files_target_rows)
END
}

# " (missed by N points)" or nothing, for a percentage against its limit.
points_over() { awk -v v="$1" -v limit="$2" 'BEGIN { if (v > limit) printf " (missed by %d points)", v - limit }'; }

# The rows of the targets for the network read from 100,000 run files.
network_files_target_rows() {
  local floor_s report_s csv_s json_s runs
  floor_s=$(med network-files 1)
  report_s=$(med network-files 2)
  csv_s=$(med network-files 3)
  json_s=$(med network-files 4)
  runs=$(thousands "$(figure network-files-runs)")
  local files csv json
  files=$(ratio "$report_s" "$floor_s")
  csv=$(awk -v a="$csv_s" -v b="$report_s" 'BEGIN { printf "%.0f", 100 * (a - b) / b }')
  json=$(awk -v a="$json_s" -v b="$report_s" 'BEGIN { printf "%.0f", 100 * (a - b) / b }')
  cat <<END
| quarrow-network --runs-from, $runs run files of 10 setups, vs xargs cat on them | $(secs "$report_s") vs $(secs "$floor_s"): **$files x** | 1.5 x | $(verdict "$files" 1.5) |
| the same with the CSV export, against the report alone | $(secs "$csv_s"): **+$csv %** | +30 % | $(verdict "$csv" 30)$(points_over "$csv" 30) |
| the same with the JSON export, against the report alone | $(secs "$json_s"): **+$json %** | +30 % | $(verdict "$json" 30)$(points_over "$json" 30) |
END
}

# "| marks | runs | ... |" rows of the solver table, with the growth from
# the size before.
solver_rows() {
  awk "$awk_commas"'NR > 1 {
    growth = ""
    if (marks_before) {
      e = log($1 / marks_before)
      growth = sprintf("x%.0f marks: time n^%.2f, nnz(L) n^%.2f, memory n^%.2f", $1 / marks_before,
                       log($4 / time_before) / e, log($5 / fill_before) / e, log($9 / rss_before) / e)
    }
    printf "| %s | %s | %.3f s | %.3f s | %s | %s | %.1f MiB | %s |\n", commas($1), commas($2),
           $3, $4, commas($5), commas($6), $9 / 1024, growth
    marks_before = $1; time_before = $4; fill_before = $5; rss_before = $9
  }' "$data/network-solver.txt"
}

ordering_rows() {
  awk "$awk_commas"'NR > 1 {
    printf "| %s | %s | %.3f s | %.3f s | %.3f s | **%.3f s** | %.1f M | %.1f M | %.2g |\n", commas($1), $2,
           $3, $4, $5, $3 + $4 + $5, $6 / 1e6, $7 / 1e6, $8
  }' "$data/network-orderings.txt"
}

# Where the solver's time goes on the largest grid, in its own ordering, and
# how minimum degree alone compares there.
phases_sentence() {
  awk "$awk_commas"'$2 == "nesdis" { small = small ? small : $1; nesdis[$1] = $6 }
    $2 == "amd" { amd[$1] = $6 }
    $1 == big && $2 == "nesdis" { order = $3; solve = $4; invert = $5; stored = $7 }
    $1 == big && $2 == "amd" { amd_sum = $3 + $4 + $5; amd_stored = $7 }
    END {
      e = log(big / small)
      abs_gap = amd_sum - order - solve - invert
      if (abs_gap < 0) abs_gap = -abs_gap
      printf "On %s marks, in the solver'"'"'s ordering, ordering and factorising take %.2f s,\n", commas(big), order
      printf "solving %.2f s and the selected inverse %.2f s: the statistics cost %.0f %% of what\n", solve, invert, 100 * invert / (order + solve)
      printf "the factorisation and solution cost. Minimum degree alone takes %.0f %% %s time\n", 100 * abs_gap / (order + solve + invert), (amd_sum > order + solve + invert ? "more" : "less")
      printf "there and stores %.0f %% more; its fill grows as n^%.2f from %s to %s marks, nested\n", 100 * (amd_stored - stored) / stored, log(amd[big] / amd[small]) / e, commas(small), commas(big)
      printf "dissection'"'"'s as n^%.2f, so that the gap widens with the network.", log(nesdis[big] / nesdis[small]) / e
    }' big="$(largest_size)" "$data/network-orderings.txt"
}

network_section() {
  local same
  same="the same bytes"
  [ "$(figure network-same-bytes)" = yes ] || same="**different bytes**"
  cat <<END

## Level networks (quarrow-network)

### End to end: 2,000 runs of 500 setups against one run of 1,000,000

\`quarrow-make-network\` writes 2,000 generated field files of 500 setups
(1,000,000 setups, $(fmt_bytes "$(figure network-setups-bytes)")) along the edges of a $(figure network-grid) grid of
junctions, the runs beyond its edges rerunning edges of it:
$(thousands "$(figure network-loops)") independent loops and the chain between the two fixed corners,
every run checked by one, the middle mark weighted. \`--sigma 1.4\` is the generator's own noise, so the global
test passes (the tool exited $(figure network-exit-status)). Side by side as above.

| Command | Median | Ratio to quarrow-adjust |
|---|---|---|
| quarrow-adjust, 1,000,000 setups, report | $(secs "$(med network 1)") | 1 |
| quarrow-network, report | $(secs "$(med network 2)") | $(ratio "$(med network 2)" "$(med network 1)") |
| quarrow-network, report and CSV export | $(secs "$(med network 3)") | $(ratio "$(med network 3)" "$(med network 1)") |

The network reads each field file once (the closure pass) to learn its
difference and length; the report needs nothing more. The CSV (and JSON,
and \`--reports\`) need each run adjusted between its network marks by the
single-run engine: a second closure pass and the report pass, as
quarrow-adjust does, plus one more read to tell the names' encoding.

### End to end from $(thousands "$(figure network-files-runs)") run files

\`quarrow-make-network <folder> $(figure network-files-runs) 10\` writes as many field files of 10
setups ($(fmt_bytes "$(figure network-files-bytes)") in all) along the edges of a $(figure network-files-grid) grid of
junctions ($(thousands "$(figure network-files-loops)") loops); the
list names them in sorted order and \`--runs-from\` reads it. The floor is
\`xargs -a <list> cat\`, which opens and reads each file once, as
quarrow-network does. The tool exited $(figure network-files-exit-status) (the global test passes at
\`--sigma 1.45\`: short runs carry a little more of the readings' rounding per root km). Side by side as above, 2 runs a round.

| Command | Median | Ratio to cat |
|---|---|---|
| xargs cat over the list | $(secs "$(med network-files 1)") | 1 |
| quarrow-network, report | $(secs "$(med network-files 2)") | $(ratio "$(med network-files 2)" "$(med network-files 1)") |
| quarrow-network, report and CSV export ($(fmt_bytes "$(figure network-files-csv-bytes)")) | $(secs "$(med network-files 3)") | $(ratio "$(med network-files 3)" "$(med network-files 1)") |
| quarrow-network, report and JSON export ($(fmt_bytes "$(figure network-files-json-bytes)")) | $(secs "$(med network-files 4)") | $(ratio "$(med network-files 4)" "$(med network-files 1)") |

The report needs each file's closure pass only, read on both cores from a
copy in memory. An export needs every run adjusted between its network
marks as quarrow-adjust would (a second closure pass and the report pass
over the same copy, again on both cores) and then every point written:
the CSV holds a row per point and the JSON far more per point, so that
these outputs are bound by the bytes they write, not by the solver.

### The solver alone, in memory

\`quarrow-network-bench\` on grids of marks joined east and south (about two
runs per mark), four corners fixed; each size in a process of its own (the
sizes up to 100,000 three times, the median kept). "Solve" is the
elevations, residuals and v'Pv; "with every statistic" adds what the report
shows besides: the a-posteriori sigma, every mark's standard deviation, and
every run's residual cofactor q_vv and redundancy number, from the entries
of N^-1 on the pattern of the factor. nnz(L) counts the entries of the
Cholesky factor; the supernodes store the dense blocks that hold them
("stored", with the zeros that keep them dense). The load average before the
1,000,000-mark runs was $(figure network-load-big).

| Marks | Runs | Solve | With every statistic | nnz(L) | Stored | Peak RSS | Growth from the size before |
|---|---|---|---|---|---|---|---|
$(solver_rows)

Where the time goes, in each fill-reducing ordering CHOLMOD offers:
ordering and factorising, solving once, and the selected inverse (the
Takahashi recursion by supernodes). "nesdis", the solver's, is CHOLMOD's
nested dissection: parts of the network with fewer than 200,000 unknowns
are ordered by constrained minimum degree (CAMD), larger ones are first
split by METIS separators. "metis" is METIS's nested dissection down to
small parts, "amd" minimum degree alone.

| Marks | Ordering | Order and factorise | Solve | Inverse | Sum | nnz(L) | Stored | Factorisation flops |
|---|---|---|---|---|---|---|---|---|
$(ordering_rows)

$(phases_sentence)

The solution of the 100,000-mark grid with OpenMP and OpenBLAS allowed one
thread and four: $same. The solver holds both to the calling thread (the
factor's OpenMP loops only copy and scatter; a threaded OpenBLAS may split
sums differently with the core count), so the figures above use one core.
END
}
