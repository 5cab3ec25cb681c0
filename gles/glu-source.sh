#!/usr/bin/env bash
# glu-source.sh CACHE_DIR
#
# Debian's own GLU sources (source package libglu, the version libglu1-mesa-dev carries, or
# the newest the mirror lists), unpacked once into CACHE_DIR with Debian's patches applied.
# Prints the source folder. The shader build compiles GLU's quadric, projection and mipmap
# code from here against our own GL; nothing of it is kept in the tree.
set -euo pipefail
cache=$(realpath -m "$1")
mkdir -p "$cache"

version=$(dpkg-query -W -f='${Version}' libglu1-mesa-dev 2>/dev/null || true)
into=$cache/libglu-${version:-any}
if [[ ! -f $into/.unpacked ]]; then
    # apt-get source needs a deb-src entry; it is added beside the deb one it mirrors.
    if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        sudo=""
        [[ $(id -u) -eq 0 ]] || sudo="sudo"
        # A Debian 12 install lists its mirror in deb822 form; a debootstrap root in one line.
        if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
        else
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
                $sudo tee /etc/apt/sources.list.d/debian-src.list >/dev/null
        fi
        $sudo apt-get update -qq >&2
    fi
    rm -rf "$into" && mkdir -p "$into"
    for candidate in ${version:+"$version"} $(apt-cache showsrc libglu | sed -n 's/^Version: //p' | sort -rV); do
        if (cd "$into" && apt-get source -qq "libglu=$candidate" >&2); then
            touch "$into/.unpacked"
            break
        fi
        # Only an upstream signature may be missing: apt has checked every file it fetched.
        if (cd "$into" && dpkg-source --no-check -x ./*.dsc >&2); then
            touch "$into/.unpacked"
            break
        fi
        # The mirror may lack the Debian diff (packaging only: GLU's code is upstream's); the
        # upstream tarball apt fetched and checked against the archive's index is then unpacked.
        if compgen -G "$into/libglu_*.orig.tar.*" >/dev/null; then
            find "$into" -mindepth 1 -maxdepth 1 -type d -exec rm -rf {} +
            (cd "$into" && tar -xf ./libglu_*.orig.tar.* >&2) && touch "$into/.unpacked" && break
        fi
        rm -rf "${into:?}"/*
    done
fi
source_dir=$(find "$into" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[[ -n $source_dir && -f $source_dir/src/libutil/quad.c ]] || { echo "glu-source: no libglu source" >&2; exit 1; }
echo "$source_dir"
