# The callgrind sections of RESULTS.md: where the window's first paint goes
# and where quarrow-adjust's time goes. Each appears only when its profile
# was taken (not with --quick, nor without valgrind, nor without a painted
# window). Sourced by bench/write-results.sh.
# shellcheck shell=bash disable=SC2154 # figures read by write-results.sh

# "| name | share % |" from the "name<TAB>share" rows of FILE.
share_rows() { awk -F'\t' '{ printf "| %s | %s %% |\n", $1, $2 }' "$1"; }

profile_sections() {
  if has_figure paint-window-instructions; then
    cat <<END

## Where the window's first paint goes (callgrind)

Instructions to the first frame: empty QMainWindow $(thousands "$(figure paint-empty-window-instructions)"),
Quarrow window $(thousands "$(figure paint-window-instructions)"). Shares of the window's, with callees:

| Part | Share |
|---|---|
END
    share_rows "$data/paint-profile.txt"
  fi
  if has_figure profile-instructions; then
    cat <<END

## Where the time goes (callgrind)

quarrow-adjust on the 100,000-setup file: $(thousands "$(figure profile-instructions)") instructions.

Own cost (self), all code:

| Function | Share |
|---|---|
END
    share_rows "$data/profile-self.txt"
    cat <<END

With callees (inclusive), engine code:

| Function | Share |
|---|---|
END
    share_rows "$data/profile-engine.txt"
  fi
}
