#!/usr/bin/env bash
# screenshots.sh CAPTURE DATA_DIR OUT_DIR: one picture of each scene of the show, as the
# README shows them, written to OUT_DIR/NAME.png (800 x 600). CAPTURE is vrex-capture, run
# inside DATA_DIR as the demo runs; it draws every frame from 0, so one run makes them all.
# `make screenshots` writes them into docs/; the freshness test writes them elsewhere and
# compares. With --list it prints "NAME FRAME" per picture and captures nothing; with
# --from FRAMES_DIR OUT_DIR it takes the frames from a capture already made (frame_NNNNN.png,
# 800 x 600) instead of drawing the show again.
set -euo pipefail

# The frames: each well inside its scene, where the scene shows what it is about.
SHOTS=(
    intro:1800            # the title card
    overlay:3700          # the two wobbling layers of the fish
    star:5400             # the axis star over the layers
    terrain-turning:6620  # the volcano turning under the evening sky
    terrain-still:7450    # the volcano seen still, from farther, at dusk
    model:9700            # the dinosaurs in the metal tube
    credits:11900         # the first credits card
)

if [[ ${1:-} == --list ]]; then
    for shot in "${SHOTS[@]}"; do echo "${shot%%:*} ${shot##*:}"; done
    exit 0
fi
if [[ $# -eq 3 && $1 == --from ]]; then
    frames_dir=$2 out_dir=$(realpath -m "$3")
    mkdir -p "$out_dir"
    for shot in "${SHOTS[@]}"; do
        printf -v frame_file 'frame_%05d.png' "${shot##*:}"
        cp "$frames_dir/$frame_file" "$out_dir/${shot%%:*}.png"
    done
    exit 0
fi
if [[ $# -ne 3 ]]; then
    echo "usage: $0 CAPTURE DATA_DIR OUT_DIR | $0 --from FRAMES_DIR OUT_DIR | $0 --list" >&2
    exit 2
fi
capture=$(realpath "$1") data_dir=$2 out_dir=$(realpath -m "$3")

frames=$(for shot in "${SHOTS[@]}"; do echo "${shot##*:}"; done | paste -sd,)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$data_dir" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$capture" --frames "$frames" --out "$work") >/dev/null
mkdir -p "$out_dir"
for shot in "${SHOTS[@]}"; do
    printf -v frame_file 'frame_%05d.png' "${shot##*:}"
    mv "$work/$frame_file" "$out_dir/${shot%%:*}.png"
done
