#!/usr/bin/env bash
# Times fetchPage on loopback pages of several sizes against `curl -s -o /dev/null` on the
# same addresses, whole runs alternating in one run, and reads the peak memory (max RSS) of
# each run. Goals at every size: fetchPage within 1.3 times curl's wall time (medians), and
# the peak memory that the body adds at most 3 times the body. What the body adds is the
# peak beyond that of the same program fetching a one-byte page: the program and its
# libraries alone take some 12 MB, more than a 1 MB body's whole allowance.
#
# Usage: benchmarks/fetch-page-vs-curl.sh [BUILD_DIR] [ROUNDS] [SIZES_MB]
# BUILD_DIR (default build-bench) gets an optimised build without sanitizers; SIZES_MB is a
# list such as "1 4 32" (the default).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-15}
sizes_mb=${3:-"1 4 32"}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCHMARKS=ON \
    -DQUORVEL_TESTS=OFF >/dev/null
cmake --build "$build" --target page_body_server fetch_page_once >/dev/null

work=$(mktemp -d)
sizes_bytes=1
for mb in $sizes_mb; do
    sizes_bytes="$sizes_bytes $((mb * 1024 * 1024))"
done
# shellcheck disable=SC2086
"$build/benchmarks/page_body_server" $sizes_bytes >"$work/address" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/address" ] && break
    sleep 0.05
done
address=$(cat "$work/address")

# One timed run: appends "microseconds max-rss-kB" to $1.
timed() {
    local out=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(tail -n 1 "$work/rss")" >>"$out"
}

fetch() { timed "$1" "$build/benchmarks/fetch_page_once" "$address/$2"; }
download() { timed "$1" curl -s -o /dev/null "$address/$2"; }

fetch "$work/warm" 1
download "$work/warm" 1
for _ in $(seq "$rounds"); do
    fetch "$work/baseline" 1
    for mb in $sizes_mb; do
        bytes=$((mb * 1024 * 1024))
        download "$work/curl-$mb" "$bytes"
        fetch "$work/fetch-$mb" "$bytes"
    done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
baseline_kb=$(cut -d' ' -f2 "$work/baseline" | median)
printf '%d rounds, medians of whole runs; fetchPage of a one-byte page peaks at %.1f MB\n' \
    "$rounds" "$(awk -v k="$baseline_kb" 'BEGIN { print k / 1024 }')"
printf '%-8s %9s %9s %7s %-8s %13s %13s %7s %s\n' body "curl ms" "fetch ms" ratio "(<=1.3)" \
    "fetch peak MB" "body adds MB" ratio "(<=3.0)"
failed=0
for mb in $sizes_mb; do
    curl_us=$(cut -d' ' -f1 "$work/curl-$mb" | median)
    fetch_us=$(cut -d' ' -f1 "$work/fetch-$mb" | median)
    fetch_kb=$(cut -d' ' -f2 "$work/fetch-$mb" | median)
    awk -v mb="$mb" -v cu="$curl_us" -v fu="$fetch_us" -v fk="$fetch_kb" -v bk="$baseline_kb" '
    BEGIN {
        time_ratio = fu / cu
        added_kb = fk - bk
        memory_ratio = added_kb / (mb * 1024)
        printf "%-8s %9.1f %9.1f %7.2f %-8s %13.1f %13.1f %7.2f %s\n", mb " MB", cu / 1000,
            fu / 1000, time_ratio, time_ratio <= 1.3 ? "met" : "NOT MET", fk / 1024,
            added_kb / 1024, memory_ratio, memory_ratio <= 3 ? "met" : "NOT MET"
        exit (time_ratio <= 1.3 && memory_ratio <= 3) ? 0 : 1
    }' || failed=1
done
exit "$failed"
