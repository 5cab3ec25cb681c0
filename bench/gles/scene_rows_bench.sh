#!/usr/bin/env bash
# scene_rows_bench.sh [BUILD_DIR] [RUNS]
#
# Per scene row, the show drawn by our GL over shaders (vrex-capture-gles) against the system's
# fixed-function GL (vrex-capture) on the same driver: milliseconds per frame (drawing and
# glFinish, on the wall clock and in CPU time of every thread of the process, the driver's
# rasterisers included) and, for the shader path, draw calls, primitives and bytes handed to the
# driver per frame (counted by our GL, the same on every machine). Both tools skip
# ahead to the same 40 frames of every row; the two run in turn, A B then B A, RUNS times
# (default 5), so a change in the machine's load falls on both. Prints each row's median of
# the runs and the ratio shaders / fixed function. The first frames after each skip fill our
# GL's buffers, so its bytes and times include them; scene_frame_bench leaves them out. Run from
# the source tree:
#     bench/gles/scene_rows_bench.sh build 5
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-5}
# 40 frames a little into every row (rows start at 0, 2858, 4286, 6429, 7143, 7857, 8572, 11429).
frames=300-339,2900-2939,4300-4339,6430-6469,7150-7189,7860-7899,8600-8639,11430-11469
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run() {  # run TOOL N: one timed pass, its table kept as OUT/TOOL.N
    (cd "$build/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/bin/$1" --bench --skip-ahead \
        --frames "$frames" 2>/dev/null | grep -E '^[0-9]' >"$out/$1.$2")
}
for ((n = 1; n <= runs; ++n)); do
    if ((n % 2)); then run vrex-capture "$n"; run vrex-capture-gles "$n"; else run vrex-capture-gles "$n"; run vrex-capture "$n"; fi
done

# Row lines: row, name (words), frames, ms/frame, cpu ms/frame, draws/frame, prims/frame, bytes/frame.
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
column() {  # column TOOL ROW FIELD-FROM-END
    for ((n = 1; n <= runs; ++n)); do awk -v row="$2" -v k="$3" '$1 == row {print $(NF - k)}' "$out/$1.$n"; done | median
}
printf '%-4s %-20s %9s %9s %6s %9s %9s %6s %12s %12s %12s\n' row scene "fixed ms" "shader ms" ratio \
    "fixed cpu" "shader cpu" ratio "draws/frame" "prims/frame" "bytes/frame"
for row in $(awk '{print $1}' "$out/vrex-capture.1"); do
    name=$(awk -v row="$row" '$1 == row {$1 = ""; NF -= 6; sub(/^ /, ""); print}' "$out/vrex-capture.1")
    fixed=$(column vrex-capture "$row" 4)
    shader=$(column vrex-capture-gles "$row" 4)
    fixedCpu=$(column vrex-capture "$row" 3)
    shaderCpu=$(column vrex-capture-gles "$row" 3)
    draws=$(column vrex-capture-gles "$row" 2)
    prims=$(column vrex-capture-gles "$row" 1)
    bytes=$(column vrex-capture-gles "$row" 0)
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN {print a / b}'; }
    printf '%-4s %-20s %9.2f %9.2f %6.2f %9.2f %9.2f %6.2f %12s %12s %12s\n' "$row" "$name" "$fixed" "$shader" \
        "$(ratio "$shader" "$fixed")" "$fixedCpu" "$shaderCpu" "$(ratio "$shaderCpu" "$fixedCpu")" "$draws" "$prims" \
        "$bytes"
done
echo "median of $runs runs of each, 40 frames a row, 800 x 600, SDL offscreen driver"
