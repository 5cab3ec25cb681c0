#!/usr/bin/env bash
# Runs every fuzz target in BINDIR (executables named fuzz_*) for SECONDS each, starting
# from its seed corpus in fuzz/corpus/NAME. Fails on the first crash, leak or slow input.
set -euo pipefail
bindir=$1 seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"
shopt -s nullglob
targets=("$bindir"/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $bindir"; exit 0; }
for target in "${targets[@]}"; do
    name=$(basename "$target"); name=${name#fuzz_}
    work=$(mktemp -d)
    seeds="$root/fuzz/corpus/$name"
    [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
    echo "fuzzing $name for ${seconds}s"
    rc=0
    "$target" "$work" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
        -print_final_stats=1 >"$work.log" 2>&1 || rc=$?
    tail -n 12 "$work.log"
    rm -f "$work.log"
    rm -rf "$work"
    [[ $rc -eq 0 ]] || { echo "fuzz target $name failed"; exit 1; }
done
