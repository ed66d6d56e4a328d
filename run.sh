#!/usr/bin/env bash
# Installs what is missing, builds, and opens Quarrow on the bundled example.
# Without a display it adjusts the example headlessly and prints the report.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-packages.sh
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null

example="$PWD/examples/run.txt"
window="build/default/app/quarrow"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$window" ]; then
  exec "$window" "$example"
fi

echo "No display: adjusting $example (100.000 to 99.910, metric) headlessly."
echo
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
build/default/cli/quarrow-adjust --begin 100 --end 99.91 --units metric \
  --output "$scratch/run.adj" "$example" || status=$?
cat "$scratch/run.adj"
exit "$status"
