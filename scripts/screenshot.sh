#!/usr/bin/env bash
# Builds build/quorvel and takes data/screenshots/playing.png, the picture the software centre
# shows, on a private X desktop in the end-to-end tests' local internet. Needs root for the
# network namespace; asks for it through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_TESTS=OFF
cmake --build build

shot=(/usr/bin/python3 tests/e2e/screenshot.py --program build/quorvel
      --output data/screenshots/playing.png)
if [ "$(id -u)" -ne 0 ]; then
    shot=(sudo "${shot[@]}")
fi
"${shot[@]}"
