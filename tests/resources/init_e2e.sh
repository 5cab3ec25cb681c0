#!/usr/bin/env bash
# The demo end to end under a virtual X server:
#   - with none of the thirteen images (and no other data) it still starts, opens its window,
#     reports the missing model in an "Error" box, prints the G-Audio version line and keeps
#     running until Escape, which ends it with 0;
#   - without "musika.mp3" it prints "Init Error!" and ends with status 255, after its window
#     appeared and before the loop (no Escape needed).
# Message boxes are answered as a user would: the full-screen question with Escape (No: a
# window), any "Error" or "Warning" box with Return.
# Usage: init_e2e.sh PATH-TO-VREX
set -euo pipefail

if [ "${VREX_E2E_UNDER_XVFB:-}" != 1 ]; then
    exec env VREX_E2E_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

vrex=$(realpath "$1")
work=$(mktemp -d)
demo_pid=
cleanup() {
    if [ -n "$demo_pid" ] && kill -0 "$demo_pid" 2>/dev/null; then kill "$demo_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/*/stdout "$work"/*/stderr; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; } >&2; done
    exit 1
}

# A short tone as the music.
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 3 sine 440 gain -12
lame --quiet "$work/tone.wav" "$work/musika.mp3"

# The id of the top-level window titled exactly $1, or nothing. (xdotool's name search misses
# SDL's UTF-8 titles when no window manager runs.)
# A window that closes during the query makes xwininfo fail: that counts as not found.
window_of() {
    { xwininfo -root -tree 2>/dev/null || true; } | { grep -F "\"$1\":" || true; } | awk '{print $1}' | head -n 1
}

press() {  # press WINDOW KEY
    [ -n "$1" ] || return 0
    timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null && xdotool key "$2" 2>/dev/null || true
}

# Answers the boxes that are up; prints "window" once the demo window exists.
answer_boxes() {
    local id
    press "$(window_of Options)" Escape
    for caption in Error Warning; do press "$(window_of "$caption")" Return; done
    [ -n "$(window_of 'vrex demo')" ] && echo window
    return 0
}

# start_demo DIR: runs the demo in DIR, standard output and error kept there.
start_demo() {
    (cd "$1" && exec "$vrex" >stdout 2>stderr) &
    demo_pid=$!
}

# ---- all images missing: the demo starts and plays -------------------------------------
mkdir "$work/no-images"
cp "$work/musika.mp3" "$work/no-images/"
start_demo "$work/no-images"
seen=
for _ in $(seq 600); do
    kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended without the images (status $(wait "$demo_pid"; echo $?))"
    [ "$(answer_boxes)" = window ] && { seen=1; break; }
    sleep 0.05
done
[ -n "$seen" ] || fail "no \"vrex demo\" window within 30 s"
# Boxes keep coming after the window: the model import reports the missing "dinos.3ds".
for _ in $(seq 60); do
    answer_boxes >/dev/null
    sleep 0.05
done
kill -0 "$demo_pid" 2>/dev/null || fail "the demo did not keep running"
press "$(window_of 'vrex demo')" Escape
status=0
wait "$demo_pid" || status=$?
demo_pid=
[ "$status" = 0 ] || fail "Escape ended the demo with status $status, not 0"
# Standard output is a file here, so the line shows once the process has ended.
grep -q "^G-Audio DLL loaded version: [0-9]*\.[0-9]*\.[0-9]*$" "$work/no-images/stdout" ||
    fail "no version line"
echo "ok: the demo starts and plays with all thirteen images missing"

# ---- music missing: "Init Error!" and status 255, after the window ---------------------
mkdir "$work/no-music"
# The window may live for only a moment before the exit, too short to be caught by polling on
# a busy machine: the X server's own record of the windows mapped on the root is kept instead.
# xev writes to a file through a buffer that its end would lose: line buffering keeps each event.
stdbuf -oL xev -root -event substructure >"$work/no-music/xevents" 2>/dev/null &
xev_pid=$!
sleep 0.5
start_demo "$work/no-music"
question=
while kill -0 "$demo_pid" 2>/dev/null; do
    [ -n "$question" ] || question=$(window_of Options)
    answer_boxes >/dev/null
    sleep 0.01
done
status=0
wait "$demo_pid" || status=$?
demo_pid=
[ "$status" = 255 ] || fail "status $status without the music, not 255"
[ "$(tail -n 1 "$work/no-music/stdout")" = "Init Error!" ] || fail "the last line is not \"Init Error!\""
# Every window mapped on the root, but the question's: the demo window must be among them.
# On a busy machine xev may still be catching up with the server, so it gets a few seconds.
mapped_windows() {
    grep -A1 '^MapNotify' "$work/no-music/xevents" | grep -o 'window 0x[0-9a-f]*, override' |
        awk '{print $2}' | tr -d , | sort -u | grep -vx "${question:-none}" || true
}
for _ in $(seq 50); do
    [ -n "$(mapped_windows)" ] && break
    sleep 0.1
done
kill "$xev_pid" 2>/dev/null || true
[ -n "$(mapped_windows)" ] || fail "the demo ended before its window appeared"
echo "ok: without musika.mp3 the demo prints Init Error! and ends with 255 after its window appeared"
