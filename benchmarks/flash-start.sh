#!/usr/bin/env bash
# How fast movies start, as a person sees it: launches the optimised program in the local
# internet of the end-to-end tests (pages and movies on loopback) beside mpv, plays movies one
# after another, weighs the processes and reads a demanding movie's frame rate. Prints each
# figure beside its goal. Needs root (network namespace); installs mpv for the comparison.
#
# Usage: benchmarks/flash-start.sh [BUILD_DIR] [LAUNCHES] [MOVIES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
launches=${2:-5}
movies=${3:-30}

bash scripts/install-deps.sh --tests
if ! command -v mpv >/dev/null; then
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q mpv
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCHMARKS=ON \
    -DQUORVEL_TESTS=OFF -DQUORVEL_VERSION_PAGE=http://version.quorvel.test/quorvel.html >/dev/null
cmake --build "$build" --target quorvel screen_watch >/dev/null
exec python3 benchmarks/flash_start.py --program "$build/quorvel" \
    --watch "$build/benchmarks/screen_watch" --launches "$launches" --movies "$movies"
