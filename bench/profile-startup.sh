#!/usr/bin/env bash
# Where start-up goes: the tool on the example and the Qt Core probe under
# callgrind. Leaves, for each, its instructions and the dynamic linker's
# share of them (%) as figures.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

#   startup_profile NAME COMMAND...
startup_profile() {
  local name=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file="$data/$name.out" "$@" 2>"$data/$name.log" >/dev/null
  record "$name-instructions" "$(awk '/Collected :/ { print $NF }' "$data/$name.log")"
  record "$name-linker-percent" "$(callgrind_annotate --inclusive=yes "$data/$name.out" 2>/dev/null |
    awk '!found && index($0, "rtld.c:_dl_start ") { p = $0; sub(/^[^(]*\( */, "", p); sub(/%\).*/, "", p); print p; found = 1 }')"
}
startup_profile startup-tool "$adjust" "${example_args[@]}" --output "$data/example.adj" "$example"
startup_profile startup-qt "$build/bench/quarrow-qt-core-probe"
