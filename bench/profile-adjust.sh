#!/usr/bin/env bash
# Where quarrow-adjust's time goes: callgrind on the 100,000-setup file.
# Leaves the instruction count as a figure, and "function<TAB>share %"
# rows in profile-self.txt (own cost, all code, top 14) and
# profile-engine.txt (with callees, engine code only, top 16).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

read -r -a mid_args <"$data/run-100000.args"
valgrind --tool=callgrind --callgrind-out-file="$data/callgrind.out" \
  "$adjust" "${mid_args[@]}" --force --output "$data/run-100000.adj" "$data/run-100000.txt" \
  2>"$data/callgrind.log"
rm -f "$data/run-100000.adj"
record profile-instructions "$(awk '/Collected :/ { print $NF }' "$data/callgrind.log")"

# Function name: after the file's ":", up to the arguments or the library.
# Reads to the end rather than stopping at the limit, so that
# callgrind_annotate is never cut off mid-write.
rows() {
  awk -v engine="$root/engine/" -v only_engine="$1" -v limit="$2" '
    n < limit && match($0, /^ *[0-9,]+ \( *[0-9.]+%\)  /) {
      head = substr($0, 1, RLENGTH); rest = substr($0, RLENGTH + 1)
      if (only_engine && index(rest, engine) != 1) next
      percent = head; sub(/^.*\( */, "", percent); sub(/%\).*/, "", percent)
      if (rest ~ /^PROGRAM TOTALS/) next
      name = rest; sub(/^[^:]*:/, "", name); sub(/ \[.*$/, "", name)
      gsub(/\(anonymous namespace\)::/, "", name); sub(/\(.*$/, "", name)
      if (seen[name]++) next
      printf "%s\t%s\n", name, percent
      n++
    }'
}
callgrind_annotate --inclusive=no "$data/callgrind.out" 2>/dev/null | rows 0 14 >"$data/profile-self.txt"
callgrind_annotate --inclusive=yes "$data/callgrind.out" 2>/dev/null | rows 1 16 >"$data/profile-engine.txt"
