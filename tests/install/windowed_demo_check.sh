#!/usr/bin/env bash
# windowed_demo_check.sh FBDIR VREX [ARG...]: on the Xvfb server in $DISPLAY, started with
# -fbdir FBDIR (its screen mapped to the file FBDIR/Xvfb_screen0), runs `VREX --windowed
# ARG...` and checks what a user would see: a window "vrex demo" appears, a picture is drawn
# in it, and Escape ends the demo with status 0. Needs only xdotool and xwininfo beside Xvfb
# (and Perl, which every Debian system has), so it runs where the demo is installed with
# nothing else.
set -euo pipefail

fbdir=$1 vrex=$2
shift 2
WAIT_SECONDS=60   # start-up with a software renderer on a busy machine
EXIT_SECONDS=15

log=$(mktemp)
pid=""
cleanup() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -f "$log"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  demo: /' "$log" >&2
    exit 1
}
running() { kill -0 "$pid" 2>/dev/null; }
MIN_COLOURS=64     # an empty window or the root's pattern shows one or two

# The number of distinct pixel values in a rectangle of the screen (every other pixel of
# every other row), read from the XWD image Xvfb keeps of it: a header of 25 big-endian
# words, the colour map, then the rows.
colours_in() {
    perl -e '
        my ($file, $x, $y, $w, $h) = @ARGV;
        open my $in, "<:raw", $file or die "$file: $!";
        local $/; my $xwd = <$in>;
        my @header = unpack "N25", $xwd;
        my ($size, $bits, $row_bytes, $colours) = @header[0, 11, 12, 19];
        my $bytes = $bits / 8; my $start = $size + 12 * $colours; my %seen;
        for (my $r = $y; $r < $y + $h; $r += 2) {
            for (my $c = $x; $c < $x + $w; $c += 2) {
                $seen{substr($xwd, $start + $r * $row_bytes + $c * $bytes, $bytes)} = 1;
            }
        }
        print scalar(keys %seen), "\n";' "$fbdir/Xvfb_screen0" "$@"
}
# A window closing while the tree is read makes xwininfo fail; the next poll reads it again.
window_id() { { xwininfo -root -tree 2>/dev/null || true; } | awk 'index($0, "\"vrex demo\":") { print $1; exit }'; }

"$vrex" --windowed "$@" </dev/null >"$log" 2>&1 &
pid=$!

deadline=$((SECONDS + WAIT_SECONDS))
window=""
while [[ -z $window ]]; do
    ((SECONDS < deadline)) || fail "no window \"vrex demo\" within $WAIT_SECONDS s"
    running || fail "the demo ended before its window appeared"
    sleep 0.2
    window=$(window_id)
done

read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                                                /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
while (($(colours_in "$x" "$y" "$w" "$h") < MIN_COLOURS)); do
    ((SECONDS < deadline)) || fail "nothing drawn in the window within $WAIT_SECONDS s"
    running || fail "the demo ended before drawing"
    sleep 0.5
done

timeout 5 xdotool windowfocus --sync "$window" || fail "could not focus the window"
xdotool key Escape
deadline=$((SECONDS + EXIT_SECONDS))
while running && ((SECONDS < deadline)); do sleep 0.1; done
running && fail "still running $EXIT_SECONDS s after Escape"
status=0
wait "$pid" || status=$?
pid=""
((status == 0)) || fail "exit status $status after Escape"
echo "ok: $vrex --windowed $* drew its show and ended with 0 on Escape"
