#!/usr/bin/env bash
# run-fuzzers.sh BINDIR SECONDS [CORPUS_ROOT]
# Runs every fuzz target in BINDIR (executables named fuzz_*) for SECONDS each, starting
# from its seed corpus in fuzz/corpus/NAME. Fails on the first crash, leak or slow input.
# Without CORPUS_ROOT the run works in a scratch folder that is removed afterwards (CI).
# With it, each target's corpus lives in CORPUS_ROOT/NAME and is kept, so a long campaign
# can be resumed; `-merge=1` of that folder into an empty one gives the minimised corpus
# that is worth keeping as the seeds.
set -euo pipefail
bindir=$1 seconds=$2 corpusRoot=${3:-}
root="$(cd "$(dirname "$0")/.." && pwd)"
shopt -s nullglob
targets=("$bindir"/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $bindir"; exit 0; }
for target in "${targets[@]}"; do
    name=$(basename "$target"); name=${name#fuzz_}
    seeds="$root/fuzz/corpus/$name"
    if [[ -n "$corpusRoot" ]]; then
        work="$corpusRoot/$name"
        mkdir -p "$work"
    else
        work=$(mktemp -d)
    fi
    [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
    log=$(mktemp)
    echo "fuzzing $name for ${seconds}s"
    rc=0
    "$target" "$work" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
        -print_final_stats=1 >"$log" 2>&1 || rc=$?
    tail -n 12 "$log"
    rm -f "$log"
    [[ -n "$corpusRoot" ]] || rm -rf "$work"
    [[ $rc -eq 0 ]] || { echo "fuzz target $name failed"; exit 1; }
done
