#!/usr/bin/env bash
# Builds build/quorvel and runs it on this desktop inside a small local internet that serves
# sample pages and players of the three services, so it can be tried without them or without
# any network. The local internet is a network and mount namespace: this step needs root and
# asks for it through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_TESTS=OFF
cmake --build build
version_page=$(sed -n 's/^QUORVEL_VERSION_PAGE:STRING=//p' build/CMakeCache.txt)

demo=(/usr/bin/python3 tests/e2e/demo.py --program build/quorvel
      "--version-page=$version_page")
if [ "$(id -u)" -ne 0 ]; then
    export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
    demo=(sudo --preserve-env=DISPLAY,XAUTHORITY,LANG "${demo[@]}")
fi
exec "${demo[@]}"
