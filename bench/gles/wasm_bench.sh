#!/usr/bin/env bash
# wasm_bench.sh DATA_DIR [OUT_DIR] [FRAMES] [EXTRA_FLAGS...]
#
# scene_frame_bench built with Debian's Emscripten for node and run there: our GL in
# WebAssembly drawing every scene row over the stub driver (uploads still copy their bytes, as
# a browser copies them out of the module's memory), and the terrain's floor of the same
# calls. DATA_DIR is the native build's data set (build/data); GLU's sources are taken from
# that build's cache beside it, as the page's build takes them. EXTRA_FLAGS go to every compile
# and the link, e.g. "-msimd128" or "-flto", to measure what they give:
#     bench/gles/wasm_bench.sh build/data build-bench-wasm 60
#     bench/gles/wasm_bench.sh build/data build-bench-wasm 60 -msimd128 -flto
set -euo pipefail
data=$(realpath "$1")
out=$(realpath -m "${2:-build-bench-wasm}")
frames=${3:-60}
shift $(($# < 3 ? $# : 3))
source=$(realpath "$(dirname "$0")/../..")
command -v em++ >/dev/null || { echo "wasm_bench: Emscripten is missing (Debian package emscripten)" >&2; exit 1; }
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
glu=$("$source/gles/glu-source.sh" "$(dirname "$data")/deps/libglu")
mkdir -p "$out/glu"

# As the page's release build compiles (-O3, exceptions caught: its command line's parser throws).
flags=(-O3 -DNDEBUG -sDISABLE_EXCEPTION_CATCHING=0 "$@")

# GLU's quadrics, projections and mipmaps, compiled as C the way gles/CMakeLists.txt does.
glu_objects=()
for name in error glue mipmap project quad registry; do
    emcc "${flags[@]}" -w -I"$glu/include" -I"$glu/src/include" -c "$glu/src/libutil/$name.c" -o "$out/glu/$name.o"
    glu_objects+=("$out/glu/$name.o")
done

# The show's drawing and start-up without the pieces that need a window or sound: the frame
# presented on the window, the start-up that makes the window's context, and the music.
show_sources=()
for file in "$source"/{scenes,resources,model3ds,terrain}/*.cpp "$source/app/view.cpp"; do
    case ${file##*/} in
        draw_frame.cpp | init_demo.cpp | music.cpp) ;;
        *) show_sources+=("$file") ;;
    esac
done

# The module is compiled at once: this Emscripten would fetch() it by path, which a recent
# node refuses.
em++ -std=c++20 "${flags[@]}" -I"$source" \
    "$source"/gles/*.cpp "${show_sources[@]}" "${glu_objects[@]}" \
    "$source"/bench/gles/scene_frame_bench.cpp "$source"/bench/gles/stub_driver.cpp \
    -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 \
    -sWASM_ASYNC_COMPILATION=0 \
    -o "$out/scene_frame_bench.js"
node "$out/scene_frame_bench.js" "$data" "$frames"
