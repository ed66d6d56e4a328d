#!/usr/bin/env bash
# The bash completion of the headless tools, sourced into this shell and
# asked for completions as bash would ask when the user presses Tab.
#
#   completion_test.sh COMPLETION_SCRIPT QUARROW_ADJUST QUARROW_CONVERT [QUARROW_NETWORK]
#
# The programs are asked for --help, so that an option added to a tool but
# not to its completion fails here.
set -uo pipefail
script=$1 adjust=$2 convert=$3 network=${4:-}
failures=0

# shellcheck source=/dev/null
source "$script" || { echo "FAIL: $script does not source"; exit 1; }

# Completes the last of the given words (the command first) and prints the
# candidates sorted, one line, blank-separated.
complete_words() {
  local function
  function=$(complete -p "$1" 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
  [ -n "$function" ] || { echo "(no completion for $1)"; return; }
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

# expect WANTED WORD...: the completion of WORD... is exactly WANTED.
expect() {
  local wanted=$1 got
  shift
  got=$(complete_words "$@")
  if [ "$got" != "$wanted" ]; then
    echo "FAIL: completing '$*'"
    echo "  wanted: $wanted"
    echo "  got:    $got"
    failures=$((failures + 1))
  fi
}

# Every long option a tool's --help lists is offered after "--".
expect_help_options() {
  local program=$1 binary=$2 offered option
  offered=" $(complete_words "$program" --) "
  for option in $("$binary" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    if [[ $offered != *" $option "* ]]; then
      echo "FAIL: $program --help lists $option, the completion does not offer it"
      failures=$((failures + 1))
    fi
  done
}

adjust=$(realpath "$adjust") convert=$(realpath "$convert")
[ -n "$network" ] && network=$(realpath "$network")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
mkdir jobs
touch jobs/lower.txt jobs/lower.md
touch run.txt RUN.CSV "north road.txt" notes.md old.adj points.csv whole.json \
  profile.svg profile.png profile.pdf job.jxl JOB.GSI run.rw5 job.xml job.sdr job.gt7 line.DAT

# Options: every option of each tool's help, prefixes, and values after options
# that take a choice, also written as --option=value (which bash hands over as
# three words).
expect_help_options quarrow-adjust "$adjust"
expect_help_options quarrow-convert "$convert"
[ -n "$network" ] && expect_help_options quarrow-network "$network"
expect "--profile" quarrow-adjust --pro
expect "--force" quarrow-adjust run.txt --begin 100 --end 99 --f
expect "--dos" quarrow-convert --d
expect "feet metric" quarrow-adjust --units ""
expect "metric" quarrow-adjust --units m
expect "metric" quarrow-adjust --units = m
expect "feet metric" quarrow-adjust --units =
expect "distance setups" quarrow-adjust --distribute ""
expect "setups" quarrow-adjust --distribute = s
expect "dini gsi gsi-level gts7 jobxml landxml rw5 sdr" quarrow-convert --from ""
expect "gts7" quarrow-convert --from gt
expect "feet" quarrow-convert --units f
expect "feet metric" quarrow-network --units ""
expect "" quarrow-adjust --begin ""
expect "" quarrow-adjust --refraction ""
expect "" quarrow-network --sigma ""

# File names: each place takes its own extensions, in either case, and folders.
expect "RUN.CSV jobs north road.txt points.csv run.txt" quarrow-adjust --units metric ""
expect "jobs old.adj" quarrow-adjust --output ""
expect "RUN.CSV jobs points.csv whole.json" quarrow-adjust --export ""
expect "points.csv" quarrow-adjust --export = p
expect "jobs profile.pdf profile.png profile.svg" quarrow-adjust --profile ""
expect "JOB.GSI job.gt7 job.jxl job.sdr job.xml jobs line.DAT run.rw5" quarrow-convert ""
expect "RUN.CSV jobs north road.txt points.csv run.txt" quarrow-convert --output ""
expect "RUN.CSV jobs north road.txt points.csv run.txt" quarrow-network --reports ""
expect "RUN.CSV jobs north road.txt points.csv run.txt" quarrow-network --marks ""
expect "RUN.CSV jobs north road.txt points.csv run.txt" quarrow-network --sigma 2 run.txt ""
expect "jobs/lower.txt" quarrow-adjust jobs/

[ "$failures" -eq 0 ] || { echo "$failures completion checks failed"; exit 1; }
echo "All completion checks passed."
