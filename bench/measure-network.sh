#!/usr/bin/env bash
# Measures quarrow-network and writes the "Level networks" part of
# bench/RESULTS.md:
#
#   bench/measure-network.sh [BUILD_FOLDER]
#
# - end to end (a priori sigma 1.4 mm, what the generator's pointing noise
#   gives, so that the global test passes and the tool exits 0): a network of 2,000 runs of 500 setups (1,000,000 setups in
#   loops on a grid) against quarrow-adjust on one 1,000,000-setup file, side
#   by side with hyperfine, warm page cache; with the network report alone
#   and with the CSV export as well;
# - the solver alone, in memory, on grids of 1,000 to 100,000 marks with
#   about two runs per mark: time with and without the residual cofactors,
#   and peak resident memory.
# BUILD_FOLDER (default build/bench-network) is configured with the
# benchmarks on and the window, tests and app off.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench-network}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARROW_BUILD_BENCH=ON \
  -DQUARROW_BUILD_APP=OFF -DQUARROW_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target quarrow-adjust quarrow-network quarrow-network-bench \
  quarrow-make-network quarrow-make-field-file >/dev/null
data="$build/network-data"
rm -rf "$data"
mkdir -p "$data/runs"
"$build/bench/quarrow-make-network" "$data/runs" 2000 500 >/dev/null
adjust_options=$("$build/bench/quarrow-make-field-file" --setups 1000000 "$data/big.txt")
runs=("$data"/runs/run-*.txt)

hyperfine --warmup 1 --runs 5 --export-json "$data/hyperfine.json" \
  -n quarrow-adjust "$build/cli/quarrow-adjust --force $adjust_options --output $data/big.adj $data/big.txt" \
  -n quarrow-network "$build/cli/quarrow-network --force --units metric --sigma 1.4 --marks $data/runs/marks.csv --output $data/net.adj ${runs[*]}" \
  -n "quarrow-network --export csv" "$build/cli/quarrow-network --force --units metric --sigma 1.4 --marks $data/runs/marks.csv --output $data/net.adj --export $data/net.csv ${runs[*]}" \
  >/dev/null || true
"$build/cli/quarrow-network" --force --units metric --sigma 1.4 --marks "$data/runs/marks.csv" --output "$data/net.adj" "${runs[@]}" >/dev/null 2>&1
echo "network exit status $?" >"$data/network-status.txt"

"$build/bench/quarrow-network-bench" 1000 10000 100000 >"$data/solver.txt"
for marks in 1000 10000 100000; do
  /usr/bin/time -f "%M" "$build/bench/quarrow-network-bench" "$marks" 2>>"$data/solver-rss.txt" >/dev/null
done
python3 - "$data" <<'PY'
import json, sys
data = sys.argv[1]
results = {r["command"]: r for r in json.load(open(data + "/hyperfine.json"))["results"]}
print("| Command | Median |")
print("|---|---|")
for name, r in results.items():
    print("| %s | %.3f s |" % (name, r["median"]))
adjust = results["quarrow-adjust"]["median"]
for name in ("quarrow-network", "quarrow-network --export csv"):
    print("\n%s / quarrow-adjust: **%.2f x** (limit 1.5 x)" % (name, results[name]["median"] / adjust))
PY
cat "$data/network-status.txt"
echo
cat "$data/solver.txt"
echo "peak RSS (KiB) of a bench process for 1,000 / 10,000 / 100,000 marks alone:"
cat "$data/solver-rss.txt"
