#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for SECONDS, one after the other, from the seeds in fuzz/corpus/
# and what earlier runs found (kept in build-fuzz/corpus/). MAX_RUNS, when given, ends a
# target sooner once it has run that many inputs. Prints executions and corpus size per
# target; exits non-zero when a target crashed, leaked or hung (the input is kept in
# build-fuzz/findings/).
#
# Usage: scripts/fuzz.sh SECONDS [MAX_RUNS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [MAX_RUNS] [TARGET...]}
max_runs=${2:--1}
shift $(($# < 2 ? $# : 2))

bash scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEL_FUZZ=ON >/dev/null
cmake --build build-fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(text_primitives text_between url_parts cookies code_pages regex_object
             response_headers http_exchange)
fi

mkdir -p build-fuzz/findings
passed=0 failed=0
printf '%-18s %12s %8s %15s %12s  %s\n' target executions seconds "corpus files" "corpus bytes" \
    result
for name in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$name
    log=build-fuzz/$name.log
    mkdir -p "$corpus"
    options=(-max_total_time="$seconds" -runs="$max_runs" -max_len=4096 -timeout=10
             -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="build-fuzz/findings/$name-")
    run=(build-fuzz/fuzz/${name}_fuzzer)
    case $name in
    response_headers) options+=(-dict=fuzz/http.dict) ;;
    http_exchange)
        # Per-input leak checks stop every thread, the server's too, and cost two thirds of
        # the speed; leaks are still looked for when the run ends.
        options+=(-dict=fuzz/http.dict -detect_leaks=0)
        # It talks only to its own loopback server; as root it also runs in a network
        # namespace that has nothing but loopback.
        if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null; then
            run=(unshare --net sh -c 'ip link set lo up && exec "$@"' isolated "${run[@]}")
        fi
        ;;
    esac
    start=$(date +%s)
    result=ok
    nice -n 10 "${run[@]}" "${options[@]}" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1 ||
        result="FAILED: see $log"
    if [ "$result" = ok ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    printf '%-18s %12s %8s %15s %12s  %s\n' "$name" "${runs:-?}" $(($(date +%s) - start)) \
        "$(find "$corpus" -type f | wc -l)" "$(du -sb "$corpus" | cut -f1)" "$result"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
