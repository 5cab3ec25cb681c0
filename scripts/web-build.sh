#!/bin/sh
# Builds the web page with Emscripten: web-build.sh DATA_DIR [BUILD_DIR]
# DATA_DIR is the data set to pack (the native build's build/data); BUILD_DIR defaults to
# build-web. VREX_WERROR=ON makes compiler warnings errors. Third-party sources fetched for the
# native build (GLU's) are taken from its cache beside the data set.
set -eu
data=$(realpath "$1")
out=${2:-build-web}
source=$(dirname "$0")/..
[ -d "$data" ] || { echo "web-build: no data set in $1 (build the native tools first)" >&2; exit 1; }
command -v emcmake >/dev/null || { echo "web-build: Emscripten is missing (Debian package emscripten)" >&2; exit 1; }
# Emscripten's own scripts look for their Node modules where Debian puts them, which a Node
# installed elsewhere does not search.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S "$source" -B "$out" -DCMAKE_BUILD_TYPE=Release -DVREX_WERROR="${VREX_WERROR:-OFF}" \
    -DVREX_WEB_DATA_DIR="$data" -DVREX_DEPS_CACHE="$(dirname "$data")/deps" >/dev/null
cmake --build "$out" -j2
