#!/usr/bin/env bash
# Mutation check: makes each one-edit change listed in tools/mutants.txt to
# the engine or the field-file check, rebuilds, and runs the normal suite.
# A change the suite does not notice (a survivor) is a fault that would ship
# unnoticed; every one needs a test, or a reason in the list why no test can
# see it (an equivalent mutant).
#
#   tools/mutants.sh [--list FILE] [--only TEXT]
#
# --only runs just the mutants whose list line contains TEXT. Each changed
# file is put back from a copy taken at the start, after every mutant and on
# any exit, Ctrl-C included; at the end the untouched program is rebuilt.
# Exit status: 0 when every mutant was killed or is explained, 1 when one
# survived, did not build or is explained but was killed, 2 when the list or
# the unchanged suite is at fault.
set -uo pipefail
cd "$(dirname "$0")/.."

list=tools/mutants.txt
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --list) list="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    *) echo "usage: tools/mutants.sh [--list FILE] [--only TEXT]" >&2; exit 2 ;;
  esac
done
export QT_QPA_PLATFORM=offscreen

# --- Reading the list -------------------------------------------------------
paths=() originals=() mutations=() reasons=() numbers=()
problems=0
number=0
bar=$'\x1f'  # stands in for an escaped bar while a line is split
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  line="${line%$'\r'}"
  case "$line" in '' | '#'*) continue ;; esac
  [ -n "$only" ] && [[ "$line" != *"$only"* ]] && continue
  IFS='|' read -r -a fields <<<"${line//\\|/$bar}"
  if [ "${#fields[@]}" -lt 3 ] || [ "${#fields[@]}" -gt 4 ]; then
    echo "$list:$number: expected path|original|mutated|reason, got: $line" >&2
    problems=$((problems + 1))
    continue
  fi
  paths+=("${fields[0]}")
  originals+=("${fields[1]//$bar/|}")
  mutations+=("${fields[2]//$bar/|}")
  reasons+=("${fields[3]:-}")
  reasons[-1]="${reasons[-1]//$bar/|}"
  numbers+=("$number")
done <"$list"

# The original text as a pattern that survives reformatting: blanks and line
# breaks may come and go between tokens (clang-format moves them), though
# never inside a name or a number.
pattern_of='
  my @chars = split //, $ENV{ORIGINAL};
  my $pattern = "";
  for (my $i = 0; $i < @chars; ++$i) {
    if ($chars[$i] =~ /\s/) {
      ++$i while $i + 1 < @chars && $chars[$i + 1] =~ /\s/;
      my $before = $pattern =~ /\w\z/;
      my $after = $i + 1 < @chars && $chars[$i + 1] =~ /\w/;
      $pattern .= $before && $after ? "\\s+" : "\\s*";
      next;
    }
    $pattern .= "\\s*" if $pattern ne "" && $pattern !~ /\\s[*+]\z/ &&
                          ($chars[$i] !~ /\w/ || $chars[$i - 1] !~ /\w/);
    $pattern .= quotemeta $chars[$i];
  }
  $pattern = qr/$pattern/;
'

# Counts the places the original text stands in the file.
occurrences() {
  ORIGINAL="$2" perl -0777 -ne "$pattern_of"' my $n = () = /$pattern/g; print $n' "$1"
}

for i in "${!paths[@]}"; do
  where="$list:${numbers[$i]}: ${paths[$i]}"
  if [ ! -f "${paths[$i]}" ]; then
    echo "$where: no such file (moved? correct the path in the list)" >&2
    problems=$((problems + 1))
  elif [ "${originals[$i]}" = "${mutations[$i]}" ]; then
    echo "$where: the mutated text is the original" >&2
    problems=$((problems + 1))
  else
    found=$(occurrences "${paths[$i]}" "${originals[$i]}")
    if [ "$found" != 1 ]; then
      echo "$where: original text found $found times, not once: ${originals[$i]}" >&2
      problems=$((problems + 1))
    fi
  fi
done
if [ "$problems" -gt 0 ]; then
  echo "mutants: $problems problem(s) in $list; nothing was changed" >&2
  exit 2
fi
if [ "${#paths[@]}" -eq 0 ]; then
  echo "mutants: no mutant in $list${only:+ matches \"$only\"}" >&2
  exit 2
fi

# --- Pristine copies, put back whatever happens -------------------------------
pristine=$(mktemp -d "${TMPDIR:-/tmp}/quarrow-mutants.XXXXXX")
mapfile -t files < <(printf '%s\n' "${paths[@]}" | sort -u)
for path in "${files[@]}"; do
  mkdir -p "$pristine/$(dirname "$path")"
  cp "$path" "$pristine/$path"
done

restore() {
  local path
  for path in "${files[@]}"; do
    # Copied, not moved, with a fresh time, so the next build recompiles it.
    cmp -s "$pristine/$path" "$path" || cp "$pristine/$path" "$path"
  done
}
finish() {
  restore
  rm -rf "$pristine"
}
trap finish EXIT
trap 'echo; echo "mutants: interrupted; every file is put back" >&2; exit 130' INT TERM

build() { cmake --build --preset default -j2 >"$log" 2>&1; }
suite() { ctest --preset default -j2 --stop-on-failure --timeout 120 >>"$log" 2>&1; }

# Each mutant's build and test output stays here for a look afterwards.
logs=build/mutants
rm -rf "$logs"
mkdir -p "$logs"
log="$logs/unchanged.log"
[ -d build/default ] || cmake --preset default >/dev/null || exit 2
echo "mutants: building and testing the unchanged program"
if ! build || ! suite; then
  cat "$log" >&2
  echo "mutants: the unchanged program fails to build or to pass; fix that first" >&2
  exit 2
fi

# --- One mutant at a time -----------------------------------------------------
killed=0 survived=0 equivalent=0 unbuilt=0 stale=0
report=()
total=${#paths[@]}
for i in "${!paths[@]}"; do
  path="${paths[$i]}"
  log="$logs/mutant-$((i + 1)).log"
  what="$path:  ${originals[$i]}  ->  ${mutations[$i]}"
  by=""
  ORIGINAL="${originals[$i]}" MUTATION="${mutations[$i]}" \
    perl -0777 -pi -e "$pattern_of"' s/$pattern/$ENV{MUTATION}/' "$path"
  if ! build; then
    if grep -q '^FAILED: docs/guide-figures/' "$log"; then
      # It compiled, but the build's own adjustment of the worked example
      # (the field guide's report figure) failed: the fault showed there.
      outcome="killed"
      killed=$((killed + 1))
      by="the build's run of the worked example"
    else
      outcome="DID NOT BUILD"
      unbuilt=$((unbuilt + 1))
    fi
  elif suite; then
    if [ -n "${reasons[$i]}" ]; then
      outcome="survived (equivalent: ${reasons[$i]})"
      equivalent=$((equivalent + 1))
    else
      outcome="SURVIVED"
      survived=$((survived + 1))
    fi
  else
    outcome="killed"
    killed=$((killed + 1))
    # The tests that noticed, from ctest's closing list.
    by=$(sed -n '/tests FAILED:/,$s/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p' "$log" | paste -sd ' ')
    if [ -n "${reasons[$i]}" ]; then
      outcome="killed, yet listed as equivalent: drop its reason"
      stale=$((stale + 1))
    fi
  fi
  cp "$pristine/$path" "$path"
  printf '[%2d/%d] %s%s\n        %s\n' $((i + 1)) "$total" "$outcome" "${by:+ by $by}" "$what"
  [ "$outcome" = killed ] || report+=("$outcome: $what")
done

echo "mutants: rebuilding the unchanged program (logs in $logs)"
log="$logs/unchanged.log"
build || { cat "$log" >&2; exit 2; }

echo
for line in "${report[@]}"; do echo "$line"; done
[ "$unbuilt" -gt 0 ] && echo "$unbuilt mutant(s) did not build: correct them in $list"
summary="$killed killed, $survived survived"
[ "$equivalent" -gt 0 ] && summary+="; $equivalent equivalent, not counted"
echo "$summary"
[ $((survived + unbuilt + stale)) -eq 0 ]
