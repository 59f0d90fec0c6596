#!/usr/bin/env bash
# Builds the Debian package dist/quorvel_<version>_<arch>.deb and checks it
# (scripts/check-package.sh).
#
#   package.sh [--build FOLDER] [--out FOLDER] [cmake options...]
#
# The build folder is build-package/ unless given; cmake options such as
# -DQUORVEL_VERSION_PAGE=... are passed on when configuring.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-package"
out="dist"
while [ $# -gt 0 ]; do
    case "$1" in
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) break ;;
    esac
done

bash scripts/install-deps.sh --package
# Debian's flags with every hardening option; --as-needed leaves out libraries the program never
# calls, so that they do not become dependencies.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS) -Wl,--as-needed"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DQUORVEL_TESTS=OFF \
    "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
    "$@"
cmake --build "$build"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
name="quorvel_${version}_$(dpkg --print-architecture).deb"
(cd "$build" && cpack -G DEB)
mkdir -p "$out"
mv "$build/$name" "$out/$name"
bash scripts/check-package.sh "$out/$name"
echo "Built $out/$name"
