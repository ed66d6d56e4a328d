#!/usr/bin/env bash
# Builds the Debian package from build/default, unpacks it into a scratch
# root, and checks the installed programs: the tool adjusts an example, the
# converter converts one, the network tool adjusts the example network, and
# the field guide sits beside the window program.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/package
rm -rf "$out"
mkdir -p "$out"
cpack --config build/default/CPackConfig.cmake -B "$out" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/default/CMakeCache.txt)
deb="$out/quarrow_${version}_amd64.deb"
[ -f "$deb" ] || { echo "check-package: $deb was not built" >&2; exit 1; }

dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 ||
  { echo "check-package: the package does not declare Qt 6 Widgets" >&2; exit 1; }
root="$out/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/quarrow usr/bin/quarrow-adjust usr/bin/quarrow-convert usr/bin/quarrow-network usr/lib/quarrow/quarrow \
            "usr/lib/quarrow/Trimble Level Run.pdf" usr/share/applications/quarrow.desktop \
            usr/share/icons/hicolor/48x48/apps/quarrow.png usr/share/mime/packages/quarrow.xml \
            usr/share/man/man1/quarrow.1 usr/share/man/man1/quarrow-adjust.1 \
            usr/share/man/man1/quarrow-convert.1 usr/share/man/man1/quarrow-network.1; do
  [ -e "$root/$file" ] || { echo "check-package: $file is missing" >&2; exit 1; }
done
[ "$("$root/usr/bin/quarrow-adjust" --version)" = "quarrow-adjust $version" ]
SOURCE_DATE_EPOCH=1796558400 LC_ALL=C "$root/usr/bin/quarrow-adjust" --begin 100 --end 99.91 \
  --units metric --output "$out/run.adj" examples/run.txt
sed -e "s#  run.txt#  examples/run.txt#" -e "s#  run.adj#  $out/run.adj#" tests/golden/example.adj |
  cmp - "$out/run.adj"
[ "$("$root/usr/bin/quarrow-convert" --version)" = "quarrow-convert $version" ]
"$root/usr/bin/quarrow-convert" --output "$out/run-from-jxl.txt" examples/convert/run.jxl >/dev/null
cmp examples/convert/run-from-jxl.txt "$out/run-from-jxl.txt"
[ "$("$root/usr/bin/quarrow-network" --version)" = "quarrow-network $version" ]
SOURCE_DATE_EPOCH=1796558400 LC_ALL=C "$root/usr/bin/quarrow-network" --marks examples/network/marks.csv \
  --output "$out/network.adj" --export "$out/network.csv" examples/network/run*.txt
grep -q "This level network MEETS third order" "$out/network.adj"
echo "Package $deb: installs the programs, the guide beside quarrow, adjusts, converts and adjusts the example network."
