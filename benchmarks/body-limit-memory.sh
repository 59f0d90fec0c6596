#!/usr/bin/env bash
# Peak memory of fetchPage while a loopback server streams a body far over the 64 MiB limit
# (1 GiB by default), against the peak of fetching a one-byte page: the difference is what
# reading the body held. Whole runs, alternating; medians.
# Goals: the request fails (the empty result); reading holds at most 1.5 times the limit
# (the body, plus the old storage while it grows one last time); it fails within 10 s.
#
# Usage: benchmarks/body-limit-memory.sh [BUILD_DIR] [ROUNDS] [BODY_MB]
# BUILD_DIR (default build-bench) gets an optimised build without sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-7}
body_mb=${3:-1024}
limit_mb=64

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCHMARKS=ON \
    -DQUORVEL_TESTS=OFF >/dev/null
cmake --build "$build" --target page_body_server fetch_page_once >/dev/null

work=$(mktemp -d)
servers=()
trap 'kill "${servers[@]}" 2>/dev/null; wait "${servers[@]}" 2>/dev/null; rm -rf "$work"' EXIT
serve() { # BYTES NAME: starts a server, the body's address in $work/NAME
    "$build/benchmarks/page_body_server" "$1" >"$work/$2.server" &
    servers+=($!)
    for _ in $(seq 100); do
        if [ -s "$work/$2.server" ]; then
            echo "$(cat "$work/$2.server")/$1" >"$work/$2"
            return
        fi
        sleep 0.05
    done
}
serve $((body_mb * 1024 * 1024)) large
serve 1 small

# One run: appends "milliseconds max-rss-kB exit-code" to $1.
timed() {
    local out=$1 code=0 start end
    shift
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null || code=$?
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $(tail -n 1 "$work/rss") $code" >>"$out"
}

for _ in $(seq "$rounds"); do
    timed "$work/small.runs" "$build/benchmarks/fetch_page_once" "$(cat "$work/small")"
    timed "$work/large.runs" "$build/benchmarks/fetch_page_once" "$(cat "$work/large")"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
small_kb=$(cut -d' ' -f2 "$work/small.runs" | median)
large_kb=$(cut -d' ' -f2 "$work/large.runs" | median)
large_ms=$(cut -d' ' -f1 "$work/large.runs" | median)
# fetch_page_once exits 1 on an empty result.
failed=$(awk '$3 == 1' "$work/large.runs" | wc -l)

awk -v mb="$body_mb" -v limit="$limit_mb" -v rounds="$rounds" -v sk="$small_kb" \
    -v lk="$large_kb" -v ms="$large_ms" -v failed="$failed" 'BEGIN {
    held = (lk - sk) / 1024
    ratio = held / limit
    printf "body %d MiB streamed, limit %d MiB, %d rounds, medians of whole runs\n", mb, limit, rounds
    printf "peak RSS: one-byte page %.1f MiB, large body %.1f MiB\n", sk / 1024, lk / 1024
    printf "empty result: %d of %d runs (goal: all): %s\n", failed, rounds,
        failed == rounds ? "met" : "NOT MET"
    printf "held while reading %.1f MiB = %.2f x limit (goal <= 1.50): %s\n", held, ratio,
        ratio <= 1.5 ? "met" : "NOT MET"
    printf "time to fail %.2f s (goal <= 10): %s\n", ms / 1000, ms <= 10000 ? "met" : "NOT MET"
    exit (failed == rounds && ratio <= 1.5 && ms <= 10000) ? 0 : 1
}'
