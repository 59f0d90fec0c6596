#!/usr/bin/env bash
# Unpacks the Debian package in FOLDER into a throwaway root, where dpkg would put its files,
# and runs the end-to-end main group against the program found there, checking too that the
# window has the class its menu entry names.
#
#   installed-main.sh FOLDER [run.py options...]
set -euo pipefail
folder=$1
shift
packages=("$folder"/quorvel_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "expected one package in $folder, found: ${packages[*]}"
    exit 1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "${packages[0]}" "$root"
/usr/bin/python3 "$(dirname "$0")/../e2e/run.py" main --program "$root/usr/bin/quorvel" \
    --desktop-entry "$root/usr/share/applications/io.github.quorvel.Quorvel.desktop" "$@"
