#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
# --tests adds what the tests drive, --package what makes the Debian package, --fuzz what
# the fuzz targets are built with.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libbenchmark-dev
    libcurl4-openssl-dev libpcre2-dev
    libgtk-3-dev libwebkit2gtk-4.1-dev libx11-dev
    fonts-wqy-zenhei
)
# npm installs Ruffle, the browser control's Flash player (package.json).
command -v npm >/dev/null || packages+=(npm)
# Making the Debian package and checking what it installs; the tests do both.
package_tools=(dpkg-dev file lintian desktop-file-utils appstream)
case "${1:-}" in
--tests)
    packages+=(xvfb xdotool openbox x11-utils imagemagick python3 iproute2 util-linux curl
               xclip dbus at-spi2-core python3-gi gir1.2-atspi-2.0 "${package_tools[@]}")
    ;;
--package)
    packages+=("${package_tools[@]}")
    ;;
# The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
--fuzz)
    packages+=(clang libclang-rt-14-dev iproute2 util-linux)
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
fi

# Ruffle at the version package-lock.json pins, into node_modules/ (git-ignored).
cd "$(dirname "$0")/.."
npm ls --depth=0 >/dev/null 2>&1 || npm ci --no-audit --no-fund
