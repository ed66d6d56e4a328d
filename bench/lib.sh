# Shared by the benchmark scripts, which source it: where the programs and
# the data folder are, how many runs each measurement takes, the figures
# file, running commands side by side, and the helpers that put figures
# into words.
# shellcheck shell=bash disable=SC2034 # the paths are for the scripts

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/bench
data=$build/data
adjust=$build/cli/quarrow-adjust
window=$build/app/quarrow
empty_window=$build/bench/quarrow-first-paint-probe
hook=$build/bench/libquarrow_first_paint_hook.so
example=$root/examples/run.txt
example_args=(--begin 100 --end 99.91 --units metric --force)

# Figures are lines "NAME VALUE" in $data/figures.txt, which bench/run.sh
# empties before measuring; a later line for a name wins.
#   record NAME VALUE...
record() {
  local name=$1
  shift
  printf '%s %s\n' "$name" "$*" >>"$data/figures.txt"
}
# Prints the figure NAME; fails, saying so, when it was never recorded.
figure() {
  awk -v name="$1" 'index($0, name " ") == 1 { value = substr($0, length(name) + 2); found = 1 }
    END { if (!found) exit 1; print value }' "$data/figures.txt" ||
    { echo "bench: no figure $1 in $data/figures.txt" >&2; return 1; }
}
# Whether the figure NAME was recorded: the profiles are not always taken.
has_figure() { grep -q "^$1 " "$data/figures.txt"; }

# Waits up to QUARROW_BENCH_WAIT seconds (default 600) for the one-minute
# load average to fall to QUARROW_BENCH_MAX_LOAD (default 1.0): figures are
# only worth comparing on a quiet machine.
wait_for_quiet() {
  local max_load=${QUARROW_BENCH_MAX_LOAD:-1.0} wait_limit=${QUARROW_BENCH_WAIT:-600} waited=0
  while awk -v l="$(cut -d' ' -f1 /proc/loadavg)" -v m="$max_load" 'BEGIN { exit !(l > m) }' &&
    [ $waited -lt "$wait_limit" ]; do
    [ $waited -eq 0 ] && echo "Waiting for the load average to fall below $max_load..."
    sleep 10
    waited=$((waited + 10))
  done
}

# How many runs each measurement takes, from the figure "quick" (1 after
# --quick, which takes fewer runs and skips callgrind).
load_settings() {
  quick=$(figure quick)
  if [ "$quick" -eq 1 ]; then
    rounds=2 throughput_runs=2 startup_runs=10 paint_runs=5 latency_runs=50 min_time=0.05
  else
    rounds=4 throughput_runs=3 startup_runs=25 paint_runs=10 latency_runs=200 min_time=0.2
  fi
}

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

# Records quarrow-make-network's account of the network it wrote ("... on
# a 32 x 32 grid, 977 loops, in ...") as the figures PREFIX-grid and
# PREFIX-loops.
#   record_network_made PREFIX LINE
record_network_made() {
  record "$1-grid" "$(sed -E 's/.* on a ([0-9]+ x [0-9]+) grid.*/\1/' <<<"$2")"
  record "$1-loops" "$(sed -E 's/.* grid, ([0-9]+) loops.*/\1/' <<<"$2")"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v s="$1" 'BEGIN { printf "%.1f ms", s * 1000 }'; }
secs() { awk -v s="$1" 'BEGIN { printf "%.3f s", s }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
fmt_bytes() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit ? "met" : "**missed**") }'; }
thousands() { echo "$1" | sed -E ':a; s/([0-9])([0-9]{3})($|,)/\1,\2\3/; ta'; }
# The words as one line a shell would split back into them.
quoted() {
  local words
  printf -v words '%q ' "$@"
  printf '%s' "${words% }"
}
