#!/usr/bin/env bash
# windows-deps.sh DEPS_DIR [SOURCE_PACKAGE...]
#
# The libraries the Windows build links, built for 64-bit Windows with the mingw-w64 toolchain
# from Debian's own source packages, the same versions as the Linux build uses: SDL2 and
# SDL2_mixer as DLLs, libpng and mpg123 as static libraries for the tools (zlib comes built,
# from libz-mingw-w64-dev). Each library is built once into DEPS_DIR/win64, keyed by its
# Debian version: a new version builds that one afresh. Prints the install prefix. Only what
# the demo needs is configured: video, audio, events and message boxes in SDL2; MP3 through
# SDL2_mixer's built-in decoder. Naming source packages builds only those.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$(realpath -m "$1")
shift
only=" $* "
prefix=$deps/win64
toolchain=$root/cmake/mingw-w64.cmake
mkdir -p "$prefix"

# The source package and the Linux package whose version it must match, in build order.
LIBRARIES=(libsdl2:libsdl2-dev libsdl2-mixer:libsdl2-mixer-dev libpng1.6:libpng-dev mpg123:libmpg123-dev)

version_of() { dpkg-query -W -f='${Version}' "$1"; }
built_marker() { echo "$prefix/.built-$1-$(version_of "$2")"; }

missing=()
for library in "${LIBRARIES[@]}"; do
    [[ $# -eq 0 || $only == *" ${library%%:*} "* ]] || continue
    [[ -f $(built_marker "${library%%:*}" "${library#*:}") ]] || missing+=("$library")
done
if [[ ${#missing[@]} -eq 0 ]]; then echo "$prefix"; exit 0; fi

# apt-get source needs a deb-src entry.
scripts/add-deb-src.sh

# fetch SOURCE_PACKAGE VERSION: Debian's source, patches applied, unpacked once; prints its folder.
fetch() {
    local into=$deps/src/$1-$2
    if [[ ! -f $into/.unpacked ]]; then
        rm -rf "$into" && mkdir -p "$into"
        # The mirror may lack the very version installed (a security update's source can be
        # missing from it); then the other versions it lists are tried, newest first.
        local version
        for version in "$2" $(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -rV); do
            if (cd "$into" && apt-get source -qq "$1=$version" >&2); then
                touch "$into/.unpacked"
                break
            fi
            # Only an upstream signature may be missing: apt has checked every file it fetched
            # against the archive's index, so what arrived is unpacked without it.
            if (cd "$into" && dpkg-source --no-check -x ./*.dsc >&2); then
                touch "$into/.unpacked"
                break
            fi
            rm -rf "${into:?}"/*
        done
    fi
    find "$into" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# cmake_install SOURCE_DIR NAME OPTIONS...: configures, builds and installs into the prefix.
cmake_install() {
    local src=$1 name=$2
    shift 2
    cmake -S "$src" -B "$deps/build-$name" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >&2
    nice -n 10 cmake --build "$deps/build-$name" -j2 >&2
    cmake --install "$deps/build-$name" >&2
}

build_libsdl2() {
    cmake_install "$1" sdl2 \
        -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
        -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF \
        -DSDL_RENDER=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=ON -DSDL_WASAPI=ON
    # The programs are console programs with their own main(): not SDL's WinMain wrapper
    # (SDL2main) nor the GUI subsystem (-mwindows) its pkg-config file would link.
    sed -i -E 's/ ?-lmingw32//; s/ ?-lSDL2main//; s/ ?-mwindows//' "$prefix/lib/pkgconfig/sdl2.pc"
}

build_libsdl2-mixer() {
    cmake_install "$1" sdl2-mixer \
        -DSDL2_LIBRARY="$prefix/lib/libSDL2.dll.a" -DSDL2_INCLUDE_DIR="$prefix/include/SDL2" \
        -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF \
        -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_MINIMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
        -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON
}

build_libpng1.6() {
    cmake_install "$1" png -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_USE_STATIC_LIBS=ON
}

build_mpg123() {
    cmake_install "$1/ports/cmake" mpg123 -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF \
        -DBUILD_LIBOUT123=OFF
}

for library in "${missing[@]}"; do
    source_package=${library%%:*}
    version=$(version_of "${library#*:}")
    source_dir=$(fetch "$source_package" "$version")
    [[ -d $source_dir ]] || { echo "windows-deps: no source for $source_package" >&2; exit 1; }
    "build_$source_package" "$source_dir"
    touch "$(built_marker "$source_package" "${library#*:}")"
done
echo "$prefix"
