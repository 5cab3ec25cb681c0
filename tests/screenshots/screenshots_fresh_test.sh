#!/usr/bin/env bash
# screenshots_fresh_test.sh SCREENSHOTS_SCRIPT FRAMES_DIR DOCS_DIR: the README's pictures of
# the show still show the show. Takes every picture afresh from FRAMES_DIR, frames of the
# show drawn from frame 0 at 800 x 600 (the whole-show tests' one drawing), named the way
# `make screenshots` names them, and compares each with the one committed in DOCS_DIR: at
# most TOLERANCE of the pixels may differ by more than FUZZ of full scale. Another rasteriser's rounding moves colours by a
# level or two and passes; the dimmest scene, the still volcano, changes more pixels than
# that from one frame to the next but few. `make screenshots` renews them.
set -euo pipefail

FUZZ=3%
TOLERANCE=0.001

screenshots=$1 frames_dir=$2 docs=$3
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT

# The share of the pixels in which two pictures differ by more than FUZZ; nothing when
# ImageMagick cannot compare them (a missing file, different sizes).
difference() {
    local count pixels
    count=$(compare -metric AE -fuzz "$FUZZ" "$1" "$2" null: 2>&1) || [[ $? -eq 1 ]] || return 0
    pixels=$(identify -format '%[fx:w*h]' "$1") || return 0
    awk -v c="$count" -v p="$pixels" 'BEGIN { if (c ~ /^[0-9.e+]+$/ && p > 0) printf "%.6f\n", c / p }'
}
within() { awk -v d="$1" -v t="$TOLERANCE" 'BEGIN { exit !(d != "" && d <= t) }'; }

"$screenshots" --from "$frames_dir" "$fresh"
mapfile -t names < <("$screenshots" --list | awk '{ print $1 }')

failures=0
for name in "${names[@]}"; do
    if [[ ! -f $docs/$name.png ]]; then
        echo "FAIL: $docs/$name.png is missing; run make screenshots" >&2
        failures=$((failures + 1))
        continue
    fi
    d=$(difference "$docs/$name.png" "$fresh/$name.png")
    if within "$d"; then
        echo "ok: $name differs by ${d:-?}"
    else
        echo "FAIL: $docs/$name.png differs from a fresh capture by ${d:-an unreadable amount} (more than $TOLERANCE); run make screenshots" >&2
        failures=$((failures + 1))
    fi
done

# The comparison must be able to fail: each fresh picture against the next scene's committed one.
for ((i = 0; i + 1 < ${#names[@]}; i++)); do
    [[ -f $docs/${names[i + 1]}.png ]] || continue
    d=$(difference "$docs/${names[i + 1]}.png" "$fresh/${names[i]}.png")
    if within "$d"; then
        echo "FAIL: ${names[i]} and ${names[i + 1]} differ by only ${d:-?}: the tolerance hides whole scenes" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0))
