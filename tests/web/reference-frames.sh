#!/usr/bin/env bash
# reference-frames.sh CAPTURE DATA_DIR OUT_DIR: the native capture of the README's frames (one
# per scene), each reached as the page's ?start=N&still reaches it, as OUT_DIR/frame_NNNNN.png,
# and their numbers in OUT_DIR/frames.txt.
set -euo pipefail
capture=$(realpath "$1") data_dir=$2 out_dir=$(realpath -m "$3")
here=$(dirname "$0")
frames=$("$here/../../scripts/screenshots.sh" --list | awk '{print $2}' | paste -sd,)
rm -rf "$out_dir" && mkdir -p "$out_dir"
(cd "$data_dir" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
    "$capture" --skip-ahead --frames "$frames" --out "$out_dir") >/dev/null
echo "$frames" | tr , '\n' >"$out_dir/frames.txt"
