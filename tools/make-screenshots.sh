#!/usr/bin/env bash
# Renews the README's pictures of the two windows and the diagram of the
# example network: the tests draw them offscreen into the build tree, and
# this copies them into docs/pictures/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default >/dev/null
QT_QPA_PLATFORM=offscreen ctest --preset default -R WindowPictures >/dev/null
cp build/default/tests/app/pictures/frmMain.png docs/pictures/quarrow-window.png
cp build/default/tests/app/pictures/frmAbout.png docs/pictures/quarrow-about.png
QT_QPA_PLATFORM=offscreen ctest --preset default -R DrawsDiagramsForTheEye >/dev/null
cp build/default/tests/plot-pictures/network-example.png docs/pictures/network-example.png
echo "docs/pictures/ renewed."
