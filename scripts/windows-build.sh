#!/usr/bin/env bash
# windows-build.sh: the 64-bit Windows release, cross-built with mingw-w64 into build-windows/
# and packed as build-windows/vrex-demo-VERSION-win64.zip. The data set is the one the Linux
# build made in build/data. With --tests the Windows tests are built too.
set -euo pipefail
cd "$(dirname "$0")/.."

out=build-windows
targets=(vrex gaudio vrex-capture vrex-inspect)
[[ ${1:-} == --tests ]] && targets+=(gl_recorder_test scenes_test shell_test bmp_test gaudio_dll_test)

[[ -f build/data/musika.mp3 ]] || { echo "windows-build: no data set in build/data (make build first)" >&2; exit 1; }

# The libraries are kept under the build folder, or where VREX_WINDOWS_DEPS_CACHE says (CI keeps
# them beside the pristine root's cache, so a fresh clone does not build them again).
prefix=$(scripts/windows-deps.sh "${VREX_WINDOWS_DEPS_CACHE:-$out/deps}")
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DVREX_WINDOWS_DEPS="$prefix" -DVREX_BENCH=OFF -DVREX_TOOLS=ON -DVREX_WERROR="${VREX_WERROR:-OFF}" >/dev/null
nice -n 10 cmake --build "$out" -j2 --target "${targets[@]}"

# The release folder: the programs, the DLLs they load, the data set beside them (the demo
# opens its files in the folder it starts in) and the short manual.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
name=vrex-demo-$version-win64
stage=$out/release/$name
rm -rf "$out/release" "$out/$name.zip"
mkdir -p "$stage"
cp "$out"/bin/{vrex.exe,gaudio1x.dll,SDL2.dll,SDL2_mixer.dll,vrex-capture.exe,vrex-inspect.exe} "$stage/"
cp build/data/* "$stage/"
sed "s/@VERSION@/$version/" release/windows/README.txt | sed 's/$/\r/' >"$stage/README.txt"
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll
(cd "$out/release" && zip -qr9 "../$name.zip" "$name")
echo "$out/$name.zip"
