#!/usr/bin/env bash
# Runs each fuzz target for a bounded time; fails on any crash, leak, timeout or sanitizer report.
set -uo pipefail
build=$1
seconds=${2:-60}
status=0
for target in number time_text last_record store; do
    work="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    mkdir -p "$work" "$artifacts"
    echo "== fuzz_$target for ${seconds}s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "fuzz/corpus/$target" \
        > "$build/fuzz_$target.log" 2>&1
    rc=$?
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$build/fuzz_$target.log" | tail -2
    if [ $rc -ne 0 ]; then
        echo "fuzz_$target FAILED (exit $rc); input kept in $artifacts"
        tail -40 "$build/fuzz_$target.log"
        status=1
    fi
done
exit $status
