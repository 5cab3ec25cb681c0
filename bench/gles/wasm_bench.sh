#!/bin/sh
# wasm_bench.sh DATA_DIR [OUT_DIR] [FRAMES] [EXTRA_FLAGS...]
#
# terrain_frame_bench built with Debian's Emscripten for node and run there: our GL in
# WebAssembly over the stub driver (uploads still copy their bytes, as a browser copies them
# out of the module's memory), against the floor of the same calls. EXTRA_FLAGS go to every
# compile and the link, e.g. "-msimd128" or "-flto", to measure what they give:
#     bench/gles/wasm_bench.sh build/data build-bench-wasm 60
#     bench/gles/wasm_bench.sh build/data build-bench-wasm 60 -msimd128 -flto
set -eu
data=$(realpath "$1")
out=$(realpath -m "${2:-build-bench-wasm}")
frames=${3:-60}
shift $(($# < 3 ? $# : 3))
source=$(realpath "$(dirname "$0")/../..")
command -v em++ >/dev/null || { echo "wasm_bench: Emscripten is missing (Debian package emscripten)" >&2; exit 1; }
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$out"
# The library, the terrain's drawing and the bench; GLU is not needed by the terrain.
em++ -std=c++20 -O3 -DNDEBUG "$@" -I"$source" \
    "$source"/gles/*.cpp "$source"/terrain/*.cpp \
    "$source"/bench/gles/terrain_frame_bench.cpp "$source"/bench/gles/stub_driver.cpp \
    -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 \
    -o "$out/terrain_frame_bench.js"
node "$out/terrain_frame_bench.js" "$data" "$frames"
