#!/usr/bin/env bash
# Installs, with apt-get, whatever this project needs that the machine lacks,
# together with any further packages named on the command line:
#
#   tools/install-packages.sh [PACKAGE...]
#
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

for package in "$@"; do
  case $package in
    -*) echo "install-packages: $package is not a package name" >&2; exit 2 ;;
  esac
done

packages=(
  cmake ninja-build g++ pkg-config dpkg-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-svg-dev
  googletest libgtest-dev
  libeigen3-dev
  libgraphviz-dev
  libsuitesparse-dev libopenblas0-serial
  fonts-liberation
  lintian appstream desktop-file-utils poppler-utils
  clang libclang-rt-14-dev
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
