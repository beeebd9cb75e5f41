#!/bin/sh
# Runs each fuzz target for a given time and reports executions, coverage and findings.
#
#   bench/run_fuzzers.sh BUILD_DIR SECONDS [TARGET...]
#
# BUILD_DIR is a build configured with clang and -DKURABOX_TESTS=ON -DKURABOX_FUZZ=ON, e.g.
#   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
#         -DKURABOX_TESTS=ON -DKURABOX_FUZZ=ON
#   cmake --build build/fuzz --target fuzz_Profile ...
# Each target starts from its seeds in tests/fuzz/corpus/TARGET and grows a working corpus in
# BUILD_DIR/fuzz-work/TARGET (the seeds in the repository stay as they are). Crashing inputs are
# written to BUILD_DIR/fuzz-work/TARGET-findings/. Exits 1 when any target found something.
set -u
if [ $# -lt 2 ]; then
    sed -n '2,12p' "$0"
    exit 2
fi
build=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 0 ]; then
    set -- $(ls "$root/tests/fuzz/corpus")
fi
status=0
printf '%-20s %12s %8s %8s %s\n' target executions cov features findings
for target in "$@"; do
    program="$build/tests/fuzz/fuzz_$target"
    if [ ! -x "$program" ]; then
        echo "$target: $program not built" >&2
        status=1
        continue
    fi
    work="$build/fuzz-work/$target"
    findings="$build/fuzz-work/$target-findings"
    mkdir -p "$work" "$findings"
    log="$build/fuzz-work/$target.log"
    "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=4096 \
        -artifact_prefix="$findings/" "$work" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    last=$(grep -E '(DONE|pulse|NEW|REDUCE) +cov:' "$log" | tail -n 1)
    cov=$(echo "$last" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    features=$(echo "$last" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
    found=$(ls "$findings" | wc -l)
    printf '%-20s %12s %8s %8s %s\n' "$target" "${executions:-?}" "${cov:-?}" "${features:-?}" "$found"
    if [ "$found" -ne 0 ]; then
        status=1
    fi
done
exit $status
