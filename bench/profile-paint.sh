#!/usr/bin/env bash
# Where the window's extra start-up goes: both first-paint programs under
# callgrind, each ended at its first frame by the hook. Leaves their
# instructions as figures and, in paint-profile.txt, "part<TAB>share %"
# rows for the window, with callees.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

xdg=$(mktemp -d)
#   paint_profile NAME PROGRAM
paint_profile() {
  # Deliberate: a program that fails under callgrind leaves its rows empty
  # rather than ending the benchmark this late.
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$xdg" LD_PRELOAD="$hook" \
    valgrind --tool=callgrind --callgrind-out-file="$data/paint-$1.out" \
    "$2" 2>"$data/paint-$1.log" || true
  record "paint-$1-instructions" "$(awk '/Collected :/ { print $NF }' "$data/paint-$1.log")"
}
paint_profile empty-window "$empty_window"
paint_profile window "$window"
rm -rf "$xdg"

callgrind_annotate --inclusive=yes "$data/paint-window.out" 2>/dev/null | awk '
  function row(label, pattern) {
    if (!(label in done) && index($0, pattern) > 0) {
      percent = $0; sub(/^[^(]*\( */, "", percent); sub(/%\).*/, "", percent)
      printf "%s\t%s\n", label, percent; done[label] = 1
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
  }' >"$data/paint-profile.txt"
