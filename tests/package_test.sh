#!/usr/bin/env bash
# Builds the Debian package from the build directory and checks it: lintian without errors or
# warnings (inside scripts/package), exactly the expected files, a valid desktop entry and
# AppStream metainfo. Usage: package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$src/scripts/package" "$build" "$out" >/dev/null 2>"$out/lint.txt" || { cat "$out/lint.txt"; exit 1; }
deb=$(ls "$out"/geoid_*.deb)
expected="usr/bin/geoid
usr/bin/geoidmodell
usr/bin/varnik
usr/share/applications/de.vennhof.geoid.desktop
usr/share/doc/geoid/changelog.Debian.gz
usr/share/doc/geoid/copyright
usr/share/geoid/egm96-de-15min.bin
usr/share/geoid/geoid.readme
usr/share/geoid/koordinaten-format-1-xyz.txt
usr/share/geoid/koordinaten-format-2-bl-dezimal.txt
usr/share/geoid/koordinaten-format-3-bl-grad-minuten-sekunden.txt
usr/share/geoid/koordinaten-format-4-utm32-nord-ost.txt
usr/share/geoid/koordinaten-format-5-utm32-ost-nord-mit-punktnummer.txt
usr/share/geoid/koordinaten-format-6-utm33-nord-ost.txt
usr/share/geoid/koordinaten-format-7-utm33-ost-nord.txt
usr/share/geoid/koordinaten-format-8-gauss-krueger-dhdn.txt
usr/share/geoid/points-ellipsoidal.txt
usr/share/geoid/points-normal.txt
usr/share/geoid/points.txt
usr/share/icons/hicolor/scalable/apps/geoid.svg
usr/share/lintian/overrides/geoid
usr/share/man/man1/geoid.1.gz
usr/share/man/man1/geoidmodell.1.gz
usr/share/man/man1/varnik.1.gz
usr/share/metainfo/de.vennhof.geoid.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub("^\\./", "", $6); print $6 }' | sort)
if [ "$files" != "$expected" ]; then
  echo "files of the package differ:"; diff <(echo "$expected") <(echo "$files"); exit 1
fi
dpkg-deb -x "$deb" "$out/root"
desktop-file-validate "$out/root/usr/share/applications/de.vennhof.geoid.desktop"
grep -qx "Path=/usr/share/geoid" "$out/root/usr/share/applications/de.vennhof.geoid.desktop"
appstreamcli validate --no-net "$out/root/usr/share/metainfo/de.vennhof.geoid.metainfo.xml" >/dev/null
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6'
# PROJ for Gauß-Krüger, and the data with its BeTA2007 grid.
dpkg-deb -f "$deb" Depends | grep -q 'libproj25'
dpkg-deb -f "$deb" Depends | grep -q 'proj-data'
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes"
