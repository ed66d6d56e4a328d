#!/usr/bin/env bash
# Measures Quarrow on this machine and writes bench/RESULTS.md.
#
#   bench/run.sh [--quick]
#
# Builds the programs and the benchmarks in build/bench, generates field
# files of 500, 1,000, 100,000 and 1,000,000 setups, then measures, each
# comparison side by side in the same run:
#   - throughput of quarrow-adjust on 1,000,000 setups against the floor of
#     reading the field file twice and writing a file of the report's size;
#   - peak resident memory for 1,000, 100,000 and 1,000,000 setups;
#   - start-up of quarrow-adjust on the five-line example against cat;
#   - the window's first paint (offscreen) against an empty QMainWindow;
#   - Adjust latency on a realistic 500-setup run through the Qt platform;
# and runs the engine's micro-benchmarks and a callgrind profile.
#
# Figures are only worth comparing on a quiet machine: the script waits up
# to QUARROW_BENCH_WAIT seconds (default 600) for the one-minute load
# average to fall below QUARROW_BENCH_MAX_LOAD (default 1.0), and records
# the load it measured under. --quick takes fewer runs and skips callgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/bench
data=$build/data
results=$root/bench/RESULTS.md

quick=0
[ "${1:-}" = "--quick" ] && quick=1
if [ $quick -eq 1 ]; then
  rounds=2 throughput_runs=2 startup_runs=10 paint_runs=5 latency_runs=50 min_time=0.05
else
  rounds=4 throughput_runs=3 startup_runs=25 paint_runs=10 latency_runs=200 min_time=0.2
fi

# --- Tools -----------------------------------------------------------------
# hyperfine, GNU time, valgrind and Google Benchmark besides the build's own.
tools/install-packages.sh hyperfine time valgrind libbenchmark-dev

# --- Build -----------------------------------------------------------------
# The shipped build type, so that the figures are the user's; the window is
# built too when Qt Widgets is there.
configure() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARROW_BUILD_BENCH=ON -DQUARROW_BUILD_TESTS=OFF -DQUARROW_BUILD_APP="$1" >/dev/null
}
configure ON || configure OFF
cmake --build "$build" --target quarrow-adjust quarrow-make-field-file quarrow-engine-bench \
  quarrow-adjust-latency quarrow-qt-core-probe quarrow_first_paint_hook
cmake --build "$build" --target quarrow-first-paint-probe 2>/dev/null || true
cmake --build "$build" --target quarrow 2>/dev/null || true

adjust=$build/cli/quarrow-adjust
window=$build/app/quarrow
empty_window=$build/bench/quarrow-first-paint-probe
hook=$build/bench/libquarrow_first_paint_hook.so

# --- Field files -----------------------------------------------------------
mkdir -p "$data"
for setups in 500 1000 100000 1000000; do
  "$build/bench/quarrow-make-field-file" --setups "$setups" "$data/run-$setups.txt" \
    >"$data/run-$setups.args"
done
fmt_bytes() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }

# --- Wait for a quiet machine ------------------------------------------------
max_load=${QUARROW_BENCH_MAX_LOAD:-1.0}
wait_limit=${QUARROW_BENCH_WAIT:-600}
one_minute_load() { cut -d' ' -f1 /proc/loadavg; }
waited=0
while awk -v l="$(one_minute_load)" -v m="$max_load" 'BEGIN { exit !(l > m) }' &&
  [ $waited -lt "$wait_limit" ]; do
  [ $waited -eq 0 ] && echo "Waiting for the load average to fall below $max_load..."
  sleep 10
  waited=$((waited + 10))
done
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Measuring at load $load_before"

# Helpers over hyperfine's CSV: the median and the fastest of row N
# (1-based), in seconds.
median() { awk -F, -v row="$2" 'NR == row + 1 { print $(NF - 4) }' "$1"; }
fastest() { awk -F, -v row="$2" 'NR == row + 1 { print $(NF - 1) }' "$1"; }

# Runs commands side by side: $rounds rounds of hyperfine, every other one
# in reverse order, so that a change of load during the run weighs on all
# of them alike. Writes NAME.txt: per command, in the order given, the
# median of its round medians and its fastest run.
#   side_by_side NAME RUNS WARMUP COMMAND...
side_by_side() {
  local name=$1 runs=$2 warmup=$3
  shift 3
  local commands=("$@") count=$# round i order
  for ((round = 1; round <= rounds; round++)); do
    order=()
    for ((i = 0; i < count; i++)); do
      if ((round % 2)); then order+=("${commands[i]}"); else order+=("${commands[count - 1 - i]}"); fi
    done
    hyperfine -N --warmup "$warmup" --runs "$runs" \
      --export-csv "$data/$name-$round.csv" "${order[@]}" >/dev/null || return 1
  done
  for ((i = 1; i <= count; i++)); do
    for ((round = 1; round <= rounds; round++)); do
      local row=$i
      ((round % 2)) || row=$((count + 1 - i))
      echo "$(median "$data/$name-$round.csv" $row) $(fastest "$data/$name-$round.csv" $row)"
    done | sort -g | awk '{ m[NR] = $1; if (NR == 1 || $2 < low) low = $2 }
      END { n = NR; print (n % 2 ? m[(n + 1) / 2] : (m[n / 2] + m[n / 2 + 1]) / 2), low }'
  done >"$data/$name.txt"
}
# The combined median and the fastest run of command N of NAME.
med() { awk -v row="$2" 'NR == row { print $1 }' "$data/$1.txt"; }
low() { awk -v row="$2" 'NR == row { print $2 }' "$data/$1.txt"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v s="$1" 'BEGIN { printf "%.1f ms", s * 1000 }'; }
secs() { awk -v s="$1" 'BEGIN { printf "%.3f s", s }'; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit ? "met" : "**missed**") }'; }
thousands() { echo "$1" | sed -E ':a; s/([0-9])([0-9]{3})($|,)/\1,\2\3/; ta'; }
quoted() {
  local words
  printf -v words '%q ' "$@"
  printf '%s' "${words% }"
}

# --- Throughput --------------------------------------------------------------
big=$data/run-1000000.txt
read -r -a big_args <"$data/run-1000000.args"
big_report=$data/run-1000000.adj
"$adjust" "${big_args[@]}" --force --output "$big_report" "$big"
report_bytes=$(stat -c %s "$big_report")
field_bytes=$(stat -c %s "$big")
tool_command=$(quoted "$adjust" "${big_args[@]}" --force --output "$big_report" "$big")
floor_script="cat $(quoted "$big" "$big")>/dev/null; head -c $report_bytes /dev/zero >$(quoted "$data/floor.out")"
floor_command=$(quoted sh -c "$floor_script")
side_by_side throughput $throughput_runs 1 "$tool_command" "$floor_command"
tool_s=$(med throughput 1)
floor_s=$(med throughput 2)
throughput_ratio=$(ratio "$tool_s" "$floor_s")
rm -f "$data/floor.out"

# --- Peak memory -------------------------------------------------------------
declare -A rss
for setups in 1000 100000 1000000; do
  read -r -a run_args <"$data/run-$setups.args"
  /usr/bin/time -f %M -o "$data/rss-$setups" \
    "$adjust" "${run_args[@]}" --force --output "$data/run-$setups.adj" "$data/run-$setups.txt"
  rss[$setups]=$(tail -1 "$data/rss-$setups")
done
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
rss_growth_kib=$((rss[1000000] - rss[1000]))
rm -f "$data"/run-*.adj

# --- Start-up ----------------------------------------------------------------
example=$root/examples/run.txt
example_args=(--begin 100 --end 99.91 --units metric --force)
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
side_by_side startup $startup_runs 5 "${startup_commands[@]}"
cat_s=$(med startup 1)
startup_s=$(med startup 2)
qt_core_s=$(med startup 3)
version_s=$(med startup 4)
startup_ratio=$(ratio "$startup_s" "$cat_s")
startup_fastest_ratio=$(ratio "$(low startup 2)" "$(low startup 1)")
[ -n "$tmpfs_report" ] && tmpfs_s=$(med startup 5) && rm -f "$tmpfs_report"

# --- First paint -------------------------------------------------------------
paint_note=""
if [ -x "$window" ] && [ -x "$empty_window" ]; then
  xdg=$(mktemp -d)
  paint_env=(timeout 30 env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$xdg" LD_PRELOAD="$hook")
  if side_by_side paint $paint_runs 3 \
    "$(quoted "${paint_env[@]}" "$empty_window")" "$(quoted "${paint_env[@]}" "$window")"; then
    empty_paint_s=$(med paint 1)
    window_paint_s=$(med paint 2)
    paint_ratio=$(ratio "$window_paint_s" "$empty_paint_s")
    paint_fastest_ratio=$(ratio "$(low paint 2)" "$(low paint 1)")
  else
    paint_note="The first-paint runs failed: a window that never painted was stopped by timeout."
  fi
  rm -rf "$xdg"
elif [ -x "$empty_window" ]; then
  paint_note="The window (build/bench/app/quarrow) was not built on this machine: the empty
QMainWindow probe is ready, and the comparison is left to be filled."
else
  paint_note="Qt Widgets is not installed: neither window could be built."
fi

# --- Adjust latency ------------------------------------------------------------
read -r -a latency_args <"$data/run-500.args"
"$build/bench/quarrow-adjust-latency" "${latency_args[@]}" --runs $latency_runs \
  "$data/run-500.txt" >"$data/latency.txt"
latency_ms=$(awk '$1 == "AdjustLevelRun" { print $3 }' "$data/latency.txt")
latency_p90_ms=$(awk '$1 == "AdjustLevelRun" { print $6 }' "$data/latency.txt")
handler_ms=$(awk '$1 == "CheckInputFile" { print $5 }' "$data/latency.txt")
rm -f "$data/run-500.adj"

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# --- Micro-benchmarks and profile (not part of the ratios) ---------------------
"$build/bench/quarrow-engine-bench" --benchmark_min_time=$min_time 2>/dev/null |
  sed -n '/^Benchmark/,$p' | grep -v '^---' >"$data/engine-bench.txt"

profile=""
if [ $quick -eq 0 ] && command -v valgrind >/dev/null; then
  read -r -a mid_args <"$data/run-100000.args"
  valgrind --tool=callgrind --callgrind-out-file="$data/callgrind.out" \
    "$adjust" "${mid_args[@]}" --force --output "$data/run-100000.adj" "$data/run-100000.txt" \
    2>"$data/callgrind.log"
  total_ir=$(awk '/Collected :/ { print $NF }' "$data/callgrind.log")
  # Function name: after the file's ":", up to the arguments or the library.
  rows() {
    awk -v engine="$root/engine/" -v only_engine="$1" -v limit="$2" '
      match($0, /^ *[0-9,]+ \( *[0-9.]+%\)  /) {
        head = substr($0, 1, RLENGTH); rest = substr($0, RLENGTH + 1)
        if (only_engine && index(rest, engine) != 1) next
        percent = head; sub(/^.*\( */, "", percent); sub(/%\).*/, "", percent)
        if (rest ~ /^PROGRAM TOTALS/) next
        name = rest; sub(/^[^:]*:/, "", name); sub(/ \[.*$/, "", name)
        gsub(/\(anonymous namespace\)::/, "", name); sub(/\(.*$/, "", name)
        if (seen[name]++) next
        printf "| %s | %s %% |\n", name, percent
        if (++n == limit) exit
      }'
  }
  profile=$(
    echo "quarrow-adjust on the 100,000-setup file: $(thousands "$total_ir") instructions."
    echo
    echo "Own cost (self), all code:"
    echo
    echo "| Function | Share |"
    echo "|---|---|"
    callgrind_annotate --inclusive=no "$data/callgrind.out" 2>/dev/null | rows 0 14
    echo
    echo "With callees (inclusive), engine code:"
    echo
    echo "| Function | Share |"
    echo "|---|---|"
    callgrind_annotate --inclusive=yes "$data/callgrind.out" 2>/dev/null | rows 1 16
  )
  rm -f "$data/run-100000.adj"
fi

# Where start-up goes: the tool on the example and the Qt Core probe, in
# instructions, with the dynamic linker's share of each.
startup_profile=""
if [ $quick -eq 0 ] && command -v valgrind >/dev/null; then
  startup_ir() {
    local name=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file="$data/$name.out" "$@" 2>"$data/$name.log" >/dev/null
    local total linker
    total=$(awk '/Collected :/ { print $NF }' "$data/$name.log")
    linker=$(callgrind_annotate --inclusive=yes "$data/$name.out" 2>/dev/null |
      awk 'index($0, "rtld.c:_dl_start ") { p = $0; sub(/^[^(]*\( */, "", p); sub(/%\).*/, "", p); print p; exit }')
    echo "$(thousands "$total") instructions, $linker % of them in the dynamic linker"
  }
  startup_profile="Under callgrind, quarrow-adjust on the example executes $(startup_ir \
    startup-tool "$adjust" "${example_args[@]}" --output "$data/example.adj" "$example");
the Qt Core probe executes $(startup_ir startup-qt "$build/bench/quarrow-qt-core-probe")."
fi

# Where the window's extra start-up goes: both programs under callgrind,
# each ended at its first frame by the hook.
paint_profile=""
if [ $quick -eq 0 ] && [ -n "${paint_ratio:-}" ] && command -v valgrind >/dev/null; then
  xdg=$(mktemp -d)
  for program in empty_window window; do
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$xdg" LD_PRELOAD="$hook" \
      valgrind --tool=callgrind --callgrind-out-file="$data/paint-$program.out" \
      "${!program}" 2>"$data/paint-$program.log" || true
  done
  rm -rf "$xdg"
  paint_ir() { awk '/Collected :/ { print $NF }' "$data/paint-$1.log"; }
  empty_ir=$(paint_ir empty_window)
  window_ir=$(paint_ir window)
  paint_profile=$(
    echo "Instructions to the first frame: empty QMainWindow $(thousands "$empty_ir"),"
    echo "Quarrow window $(thousands "$window_ir"). Shares of the window's, with callees:"
    echo
    echo "| Part | Share |"
    echo "|---|---|"
    callgrind_annotate --inclusive=yes "$data/paint-window.out" 2>/dev/null | awk '
      function row(label, pattern) {
        if (!(label in done) && index($0, pattern) > 0) {
          percent = $0; sub(/^[^(]*\( */, "", percent); sub(/%\).*/, "", percent)
          printf "| %s | %s %% |\n", label, percent; done[label] = 1
        }
      }
      {
        row("loading the libraries (dynamic linker)", "rtld.c:_dl_start ")
        row("QApplication", "QApplication::QApplication(")
        row("building frmMain", "frmMain::frmMain(")
        row("font database (fontconfig)", "QFontDatabasePrivate::ensureFontDatabase(")
        row("icons: QIcon::addFile", "QIcon::addFile(")
        row("decoding images: QImageReader::read", "QImageReader::read(QImage")
        row("painting the first frame", "QWidgetRepaintManager::paintAndFlush(")
      }'
  )
fi

# --- Report --------------------------------------------------------------------
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
memory=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
compiler=$(c++ --version | head -1)
qt_version=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
dirty=$(git -C "$root" status --porcelain engine cli platform app 2>/dev/null | head -1)
[ -n "$dirty" ] && commit="$commit (with uncommitted changes)"

if [ -n "${paint_ratio:-}" ]; then
  paint_row="| Window first paint vs empty QMainWindow (offscreen) | $(ms "$window_paint_s") vs $(ms "$empty_paint_s"): **$paint_ratio x** | 1.5 x | $(verdict "$paint_ratio" 1.5) |"
else
  paint_row="| Window first paint vs empty QMainWindow (offscreen) | not measured (see below) | 1.5 x | to be filled |"
fi

{
  cat <<EOF
# Performance results

Written by \`bench/run.sh\` on $(date -u +%Y-%m-%d) at commit $commit. Every
figure below comes from this one run, and each ratio compares commands
measured side by side in it (hyperfine medians, warm page cache). Load
average (1, 5, 15 min) when measuring began: $load_before; when it ended:
$load_after. Rerun \`bench/run.sh\` on a quiet machine to refresh this file.

## Machine

| | |
|---|---|
| Processors (nproc) | $(nproc) |
| CPU | $cpu |
| Memory | $memory |
| Kernel | $(uname -sr) |
| Compiler | $compiler |
| Qt | $qt_version |
| Build | RelWithDebInfo (-O2 -g), as shipped |

## Targets

| Target | Measured | Limit | |
|---|---|---|---|
| Throughput, 1,000,000 setups, vs floor | $(secs "$tool_s") vs $(secs "$floor_s"): **$throughput_ratio x** | 3 x | $(verdict "$throughput_ratio" 3) |
| Peak memory, 1,000,000 vs 1,000 setups | +$(mib "$rss_growth_kib") ($(mib "${rss[1000]}") to $(mib "${rss[1000000]}")) | +16 MiB | $(verdict "$rss_growth_kib" 16384) |
| Start-up on the five-line example vs cat | $(ms "$startup_s") vs $(ms "$cat_s"): **$startup_ratio x** | 3 x | $(verdict "$startup_ratio" 3) |
$paint_row
| Adjust latency, 500 setups (median) | **$latency_ms ms** (90th percentile $latency_p90_ms ms) | 20 ms | $(verdict "$latency_ms" 20) |

## Throughput

The 1,000,000-setup field file is $(fmt_bytes "$field_bytes"); its report is
$(fmt_bytes "$report_bytes"). The floor reads the field file twice, as the two
passes do, and writes as many bytes as the report holds.

Each command ran $throughput_runs times after a warm-up in each of $rounds
rounds, every other round in reverse order; the figure is the median of
the round medians.

| Command | Median |
|---|---|
| quarrow-adjust | $(secs "$tool_s") |
| floor: cat field field >/dev/null; head -c $report_bytes /dev/zero >file | $(secs "$floor_s") |

## Peak resident memory

| Setups | Field file | Peak RSS |
|---|---|---|
| 1,000 | $(fmt_bytes "$(stat -c %s "$data/run-1000.txt")") | $(mib "${rss[1000]}") |
| 100,000 | $(fmt_bytes "$(stat -c %s "$data/run-100000.txt")") | $(mib "${rss[100000]}") |
| 1,000,000 | $(fmt_bytes "$field_bytes") | $(mib "${rss[1000000]}") |

The field file is streamed in 64 KiB chunks and the report written in
64 KiB pieces. What grows is ShotPattern, one byte per foresight, which the
report pass needs to know side shots from turning points.

## Start-up

Medians of $rounds rounds of $startup_runs runs each, the fastest run in
brackets; between fastest runs the ratio to cat is $startup_fastest_ratio.

| Command | Median |
|---|---|
| cat examples/run.txt | $(ms "$cat_s") ($(ms "$(low startup 1)")) |
| quarrow-adjust on examples/run.txt, report on disk | $(ms "$startup_s") ($(ms "$(low startup 2)")) |
| Qt Core alone: load it, make a QCoreApplication, end (bench/qt_core_probe.cpp) | $(ms "$qt_core_s") ($(ms "$(low startup 3)")) |
| quarrow-adjust --version | $(ms "$version_s") ($(ms "$(low startup 4)")) |
EOF
  [ -n "$tmpfs_report" ] && echo "| quarrow-adjust on examples/run.txt, report on tmpfs (/dev/shm) | $(ms "$tmpfs_s") ($(ms "$(low startup 5)")) |"
  [ -n "$startup_profile" ] && printf '\n%s\n' "$startup_profile"
  cat <<EOF

## First paint

Each program is started with QT_QPA_PLATFORM=offscreen and a preloaded
hook (bench/first_paint_hook.cpp) that lets the first QBackingStore::flush
through and then ends the process, so the whole-process time is the time to
the first painted frame. The empty window is bench/first_paint_probe.cpp.

EOF
  if [ -n "${paint_ratio:-}" ]; then
    cat <<EOF
Medians of $rounds rounds of $paint_runs runs each, the fastest run in
brackets; between fastest runs the ratio is $paint_fastest_ratio.

| Program | Median |
|---|---|
| Empty QMainWindow | $(ms "$empty_paint_s") ($(ms "$(low paint 1)")) |
| Quarrow window (build/bench/app/quarrow) | $(ms "$window_paint_s") ($(ms "$(low paint 2)")) |
EOF
  else
    echo "$paint_note"
  fi
  cat <<EOF

## Adjust latency

bench/adjust_latency.cpp runs what the Adjust handler runs on the generated
500-setup run (data/run-500.txt), through the Qt platform, with the report
written beside it, $latency_runs times after three warm-up runs:

\`\`\`
$(cat "$data/latency.txt")
\`\`\`

The check of the field file the handler makes first adds almost nothing
(median $handler_ms ms with it).

## Engine micro-benchmarks

\`quarrow-engine-bench\` (Google Benchmark, in memory, no disk):

\`\`\`
$(cat "$data/engine-bench.txt")
\`\`\`
EOF
  if [ -n "$paint_profile" ]; then
    cat <<EOF

## Where the window's first paint goes (callgrind)

$paint_profile
EOF
  fi
  if [ -n "$profile" ]; then
    cat <<EOF

## Where the time goes (callgrind)

$profile
EOF
  fi
  echo
  sed '1,/-->$/d' "$root/bench/notes.md"
  cat <<EOF

## Commands

\`\`\`
bench/run.sh$([ $quick -eq 1 ] && echo " --quick")
hyperfine -N --warmup 1 --runs $throughput_runs '$tool_command' "sh -c '$floor_script'"   # $rounds rounds, alternate ones reversed
/usr/bin/time -f %M quarrow-adjust <elevations> --force --output run-N.adj run-N.txt   # N = 1000, 100000, 1000000
hyperfine -N --warmup 5 --runs $startup_runs $(printf "'%s' " "${startup_commands[@]}")  # likewise
hyperfine -N --warmup 3 --runs $paint_runs 'timeout 30 env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=<scratch folder> LD_PRELOAD=$hook $empty_window' '(the same) $window'
$build/bench/quarrow-adjust-latency ${latency_args[*]} --runs $latency_runs $data/run-500.txt
$build/bench/quarrow-engine-bench --benchmark_min_time=$min_time
valgrind --tool=callgrind quarrow-adjust <elevations> --force --output run-100000.adj run-100000.txt
\`\`\`

Field files: \`quarrow-make-field-file --setups N OUTPUT\` (seed 1, metric,
degree sign 176, CR LF); it prints the elevations to adjust them with.
EOF
} >"$results"

# Paths in the report are shown relative to the repository.
sed -i "s|$root/||g" "$results"
echo "Wrote $results"
