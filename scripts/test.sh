#!/usr/bin/env bash
# Installs what is missing, builds everything under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, and runs every test, the benchmarks once
# each for their own checks. The version page is a host of the end-to-end tests' local internet.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUORVEL_SANITIZE=ON -DQUORVEL_WERROR=ON -DQUORVEL_BENCHMARKS=ON \
    -DQUORVEL_VERSION_PAGE=http://version.quorvel.test/quorvel.html
cmake --build build-test
cd build-test
ctest --output-on-failure --timeout 600 "$@"
