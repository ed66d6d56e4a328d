#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest: first
# the normal build and its Debian package (which tools/check-package.sh has
# judged by lintian, appstreamcli and desktop-file-validate, failing on any
# error or warning, and then checks installed), then the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzer for a
# minute.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-packages.sh
export QT_QPA_PLATFORM=offscreen

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
tools/check-package.sh

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

fuzz/run.sh "${QUARROW_FUZZ_SECONDS:-60}"
