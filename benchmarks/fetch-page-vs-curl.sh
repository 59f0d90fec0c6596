#!/usr/bin/env bash
# Times fetchPage on a large loopback page against `curl -s -o /dev/null` on the same
# address, whole runs alternating, and reads the peak memory (max RSS) of each run.
# Goals: fetchPage within 1.3 times curl's wall time, peak memory at most 3 times the body.
#
# Usage: benchmarks/fetch-page-vs-curl.sh [BUILD_DIR] [ROUNDS] [BODY_MB]
# BUILD_DIR (default build-bench) gets an optimised build without sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-21}
body_mb=${3:-32}
body_bytes=$((body_mb * 1024 * 1024))

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCHMARKS=ON \
    -DQUORVEL_TESTS=OFF >/dev/null
cmake --build "$build" --target page_body_server fetch_page_once >/dev/null

work=$(mktemp -d)
"$build/benchmarks/page_body_server" "$body_bytes" >"$work/address" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/address" ] && break
    sleep 0.05
done
address=$(cat "$work/address")

# One timed run: appends "milliseconds max-rss-kB" to $1.
timed() {
    local out=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(tail -n 1 "$work/rss")" >>"$out"
}

timed "$work/warm" curl -s -o /dev/null "$address"
timed "$work/warm" "$build/benchmarks/fetch_page_once" "$address"
for _ in $(seq "$rounds"); do
    timed "$work/curl" curl -s -o /dev/null "$address"
    timed "$work/fetch" "$build/benchmarks/fetch_page_once" "$address"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
curl_us=$(cut -d' ' -f1 "$work/curl" | median)
fetch_us=$(cut -d' ' -f1 "$work/fetch" | median)
curl_kb=$(cut -d' ' -f2 "$work/curl" | sort -n | tail -n 1)
fetch_kb=$(cut -d' ' -f2 "$work/fetch" | sort -n | tail -n 1)

awk -v mb="$body_mb" -v rounds="$rounds" -v cu="$curl_us" -v fu="$fetch_us" \
    -v ck="$curl_kb" -v fk="$fetch_kb" 'BEGIN {
    body_kb = mb * 1024
    time_ratio = fu / cu
    memory_ratio = fk / body_kb
    printf "body %d MB, %d rounds, medians of whole runs\n", mb, rounds
    printf "%-12s %10s %14s\n", "", "wall ms", "max RSS MB"
    printf "%-12s %10.1f %14.1f\n", "curl", cu / 1000, ck / 1024
    printf "%-12s %10.1f %14.1f\n", "fetchPage", fu / 1000, fk / 1024
    printf "time  fetchPage / curl = %.2f (goal <= 1.30): %s\n", time_ratio,
        time_ratio <= 1.3 ? "met" : "NOT MET"
    printf "peak  fetchPage / body = %.2f (goal <= 3.00): %s\n", memory_ratio,
        memory_ratio <= 3 ? "met" : "NOT MET"
    exit (time_ratio <= 1.3 && memory_ratio <= 3) ? 0 : 1
}'
