#!/usr/bin/env bash
# Installs what is missing, builds build/quorvel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_TESTS=OFF
cmake --build build
if [ -x build/quorvel ]; then
    exec build/quorvel "$@"
fi
echo "build/quorvel is not built yet."
