#!/usr/bin/env bash
# Installs what is missing, builds everything under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUORVEL_SANITIZE=ON -DQUORVEL_WERROR=ON
cmake --build build-test
cd build-test
ctest --output-on-failure --timeout 600 "$@"
