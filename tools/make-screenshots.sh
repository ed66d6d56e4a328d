#!/usr/bin/env bash
# Renews the README's pictures: the tests draw the two windows and the
# diagram of the example network offscreen into the build tree, the build
# draws Quarrow Office on the example network for the field guide, and this
# copies them into docs/pictures/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default >/dev/null
QT_QPA_PLATFORM=offscreen ctest --preset default -R WindowPictures >/dev/null
cp build/default/tests/app/pictures/frmMain.png docs/pictures/quarrow-window.png
cp build/default/tests/app/pictures/frmAbout.png docs/pictures/quarrow-about.png
QT_QPA_PLATFORM=offscreen ctest --preset default -R DrawsDiagramsForTheEye >/dev/null
cp build/default/tests/plot-pictures/network-example.png docs/pictures/network-example.png
cp build/default/docs/guide-figures/quarrow-office.png docs/pictures/quarrow-office.png
echo "docs/pictures/ renewed."
