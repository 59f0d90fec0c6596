#!/usr/bin/env bash
# Checks a Debian package of Quorvel as a distribution would: lintian finds no error, the menu
# entry and the software-centre data it installs pass their validators, every file a desktop
# looks for is there, and no package that only building needs is among its dependencies.
#
#   check-package.sh PACKAGE.deb
set -euo pipefail
deb=$1
id=io.github.quorvel.Quorvel

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

missing=0
for file in usr/bin/quorvel usr/share/quorvel/ruffle/ruffle.js \
    usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/$id.png \
    usr/share/man/man1/quorvel.1.gz \
    usr/share/doc/quorvel/copyright usr/share/doc/quorvel/LICENSE; do
    if [ ! -e "$root/$file" ]; then
        echo "missing from the package: /$file"
        missing=1
    fi
done
if find "$root" -name '*.map' | grep .; then
    echo "source maps in the package"
    missing=1
fi

desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
lintian --allow-root --fail-on error "$deb"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
if grep -oE '[a-z0-9.+-]*(-dev|asan|ubsan|gtest|benchmark)[a-z0-9.+-]*' <<<"$depends"; then
    echo "build-only packages among the dependencies"
    missing=1
fi
exit $missing
