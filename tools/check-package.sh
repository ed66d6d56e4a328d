#!/usr/bin/env bash
# Builds the Debian package from build/default, has lintian judge it, unpacks
# it into a scratch root, validates the AppStream metadata and the desktop
# files it ships, and checks the installed programs: the tool adjusts an
# example, the converter converts one, the network tool adjusts the example
# network, the office window answers, and the field guide sits beside the
# window programs.
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
# Debian 12's lintian with its default profile: an error or a warning fails.
# Overrides, if ever needed, go in packaging/ with the reason beside them.
lintian --allow-root --fail-on error,warning "$deb" ||
  { echo "check-package: lintian found errors or warnings in $deb" >&2; exit 1; }
root="$out/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/quarrow usr/bin/quarrow-adjust usr/bin/quarrow-convert usr/bin/quarrow-network \
            usr/bin/quarrow-office usr/lib/quarrow/quarrow usr/lib/quarrow/quarrow-office \
            usr/share/applications/quarrow-office.desktop usr/share/man/man1/quarrow-office.1.gz \
            usr/share/metainfo/com.example.quarrow.office.metainfo.xml \
            "usr/lib/quarrow/Trimble Level Run.pdf" usr/share/applications/quarrow.desktop \
            usr/share/icons/hicolor/48x48/apps/quarrow.png usr/share/mime/packages/quarrow.xml \
            usr/share/man/man1/quarrow.1.gz usr/share/man/man1/quarrow-adjust.1.gz \
            usr/share/man/man1/quarrow-convert.1.gz usr/share/man/man1/quarrow-network.1.gz \
            usr/share/doc/quarrow/copyright \
            usr/share/doc/quarrow/changelog.gz usr/share/metainfo/com.example.quarrow.metainfo.xml \
            usr/share/bash-completion/completions/quarrow-adjust \
            usr/share/bash-completion/completions/quarrow-convert \
            usr/share/bash-completion/completions/quarrow-network \
            usr/lib/quarrow/modules/quarrow-profile.so \
            usr/lib/quarrow/modules/quarrow-diagram.so; do
  [ -e "$root/$file" ] || { echo "check-package: $file is missing" >&2; exit 1; }
done
# The guide's figures: the setup drawing, both windows and the profile.
guide="$root/usr/lib/quarrow/Trimble Level Run.pdf"
[ "$(pdfimages -list "$guide" | tail -n +3 | wc -l)" -ge 4 ] ||
  { echo "check-package: the field guide lacks its figures" >&2; exit 1; }
for desktop in quarrow.desktop quarrow-office.desktop; do
  desktop-file-validate "$root/usr/share/applications/$desktop" ||
    { echo "check-package: desktop-file-validate rejects $desktop" >&2; exit 1; }
done
# --strict fails on anything above a pedantic hint; validate-tree also checks
# that the metadata's launchable desktop file and icon are in the package.
appstreamcli validate --no-net --strict "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null &&
  appstreamcli validate-tree --no-net "$root" >/dev/null ||
  { echo "check-package: appstreamcli rejects the metadata" >&2; appstreamcli validate --no-net \
    --strict "$root"/usr/share/metainfo/*.metainfo.xml >&2; exit 1; }
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml ||
  { echo "check-package: the metadata does not list release $version" >&2; exit 1; }
zcat "$root/usr/share/doc/quarrow/changelog.gz" | head -1 | grep -qF "quarrow ($version)" ||
  { echo "check-package: the changelog does not start with $version" >&2; exit 1; }
[ "$("$root/usr/bin/quarrow-adjust" --version)" = "quarrow-adjust $version" ]
# The report as it always was, with every output beside it: the profile
# through the drawing module installed beside the program.
SOURCE_DATE_EPOCH=1796558400 LC_ALL=C "$root/usr/bin/quarrow-adjust" --begin 100 --end 99.91 \
  --units metric --export "$out/run.csv" --export "$out/run.json" --profile "$out/run.png" \
  --output "$out/run.adj" examples/run.txt
for output in run.csv run.json run.png; do
  [ -s "$out/$output" ] || { echo "check-package: $output was not written" >&2; exit 1; }
done
sed -e "s#  run.txt#  examples/run.txt#" -e "s#  run.adj#  $out/run.adj#" tests/golden/example.adj |
  cmp - "$out/run.adj"
[ "$("$root/usr/bin/quarrow-convert" --version)" = "quarrow-convert $version" ]
"$root/usr/bin/quarrow-convert" --output "$out/run-from-jxl.txt" examples/convert/run.jxl >/dev/null
cmp examples/convert/run-from-jxl.txt "$out/run-from-jxl.txt"
[ "$("$root/usr/bin/quarrow-network" --version)" = "quarrow-network $version" ]
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/quarrow-office" --version)" = "Quarrow Office $version" ]
SOURCE_DATE_EPOCH=1796558400 LC_ALL=C "$root/usr/bin/quarrow-network" --marks examples/network/marks.csv \
  --output "$out/network.adj" --export "$out/network.csv" examples/network/run*.txt
grep -q "This level network MEETS third order" "$out/network.adj"
echo "Package $deb: lintian, AppStream and desktop files clean; installs the programs, the guide"
echo "beside the windows, the manual pages, completion and metadata; adjusts and converts the"
echo "examples, adjusts the example network, and the office window answers."
