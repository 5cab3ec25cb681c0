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
    # apt-get source needs a deb-src entry.
    "$(dirname "$0")/../scripts/add-deb-src.sh"
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
