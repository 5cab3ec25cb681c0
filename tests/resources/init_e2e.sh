#!/usr/bin/env bash
# The demo end to end under a virtual X server:
#   - with none of the thirteen images (and no other data) it still starts, opens its window,
#     reports the missing model in an "Error" box, prints the G-Audio version line and keeps
#     running until Escape, which ends it with 0;
#   - without "musika.mp3" it prints "Init Error!" and ends with status 255, after its window
#     appeared and before the loop (no Escape needed).
# Message boxes are answered as a user would: the full-screen question with Escape (No: a
# window), any "Error" or "Warning" box with Return. Every wait has a deadline, and a failure
# tells which step it was in and which windows were up.
# Usage: init_e2e.sh PATH-TO-VREX
set -euo pipefail

# -noreset: by default the server resets whenever its last client leaves, as it can between the
# question box closing and the demo connecting for its window; a demo that connects during the
# reset finds no server to draw on.
if [ "${VREX_E2E_UNDER_XVFB:-}" != 1 ]; then
    exec env VREX_E2E_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

WAIT_SECONDS=30   # start-up, the boxes and the window, on a busy machine
EXIT_SECONDS=15   # from the first Escape (or the last box) to the end of the process
RUN_SECONDS=1     # the demo must still be running this long after its last box

vrex=$(realpath "$1")
work=$(mktemp -d)
demo_pid=
xev_pid=
cleanup() {
    if [ -n "$demo_pid" ] && kill -0 "$demo_pid" 2>/dev/null; then kill "$demo_pid"; fi
    if [ -n "$xev_pid" ]; then kill "$xev_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

step() { echo "[${SECONDS}s] $*" >&2; }

fail() {
    echo "FAIL: $*" >&2
    echo "--- windows on the screen:" >&2
    { timeout 5 xwininfo -root -tree 2>&1 || true; } | grep '"' >&2 || true
    for f in "$work"/*/stdout "$work"/*/stderr; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; } >&2; done
    exit 1
}

# A short tone as the music, undithered so that every run plays the same file.
sox -D -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 3 sine 440 gain -12
lame --quiet "$work/tone.wav" "$work/musika.mp3"

# The id of the top-level window titled exactly $1, or nothing. (xdotool's name search misses
# SDL's UTF-8 titles when no window manager runs.)
# A window that closes during the query makes xwininfo fail, and a server too busy to answer
# makes it time out: both count as not found.
window_of() {
    { timeout 5 xwininfo -root -tree 2>/dev/null || true; } | { grep -F "\"$1\":" || true; } | awk '{print $1}' | head -n 1
}

# With no window manager nobody gives the focus: the key goes to the window that has it. A
# window just mapped may refuse the focus, or lose it to another one before the key arrives;
# the callers look again and press again, so a miss here is not an error.
press() {  # press WINDOW KEY
    [ -n "$1" ] || return 0
    timeout 2 xdotool windowfocus --sync "$1" 2>/dev/null && timeout 2 xdotool key "$2" 2>/dev/null || true
}

running() { kill -0 "$demo_pid" 2>/dev/null; }

# A box that got its key may still be listed for a moment while it goes away. Pressing it again
# then would send the key on to the window that gets the focus next, the demo's own: an Escape
# there ends the demo. So a box gets its key again only if it is still up two seconds later.
declare -A pressed_at=()
answer() {  # answer WINDOW KEY
    local id=$1
    if [ -n "${pressed_at[$id]:-}" ] && ((SECONDS - pressed_at[$id] < 2)); then return 0; fi
    press "$id" "$2"
    pressed_at[$id]=$SECONDS
}

# Answers the boxes that are up; sets error_seen once an "Error" box has been answered.
answer_boxes() {
    local id caption
    id=$(window_of Options)
    [ -z "$id" ] || answer "$id" Escape
    for caption in Error Warning; do
        id=$(window_of "$caption")
        [ -n "$id" ] || continue
        answer "$id" Return
        [ "$caption" != Error ] || error_seen=1
    done
    return 0
}

# start_demo DIR: runs the demo in DIR with a silent audio output, standard output and error
# kept there.
start_demo() {
    (cd "$1" && exec env SDL_AUDIODRIVER=dummy "$vrex" </dev/null >stdout 2>stderr) &
    demo_pid=$!
}

# finish_demo: waits for the demo to end, answering boxes meanwhile and pressing Escape on
# its window when $1 is "escape"; its exit status is left in $status.
finish_demo() {
    local deadline=$((SECONDS + EXIT_SECONDS))
    status=0
    while running && ((SECONDS < deadline)); do
        answer_boxes
        [ "$1" != escape ] || press "$(window_of 'vrex demo')" Escape
        sleep 0.2
    done
    running && fail "still running $EXIT_SECONDS s after it was asked to end"
    wait "$demo_pid" || status=$?
    demo_pid=
}

# ---- all images missing: the demo starts and plays -------------------------------------
mkdir "$work/no-images"
cp "$work/musika.mp3" "$work/no-images/"
step "starting the demo without the images"
start_demo "$work/no-images"
deadline=$((SECONDS + WAIT_SECONDS))
error_seen= window_seen=
# The window opens first, then the model import reports the missing "dinos.3ds"; the box has
# to be gone before the demo can go on.
while ((SECONDS < deadline)); do
    running || fail "the demo ended without the images (status $(wait "$demo_pid"; echo $?))"
    answer_boxes
    [ -n "$(window_of 'vrex demo')" ] && window_seen=1
    [ -n "$window_seen" ] && [ -n "$error_seen" ] && [ -z "$(window_of Error)" ] && break
    sleep 0.05
done
[ -n "$window_seen" ] || fail "no \"vrex demo\" window within $WAIT_SECONDS s"
[ -n "$error_seen" ] || fail "no \"Error\" box for the missing model within $WAIT_SECONDS s"
[ -z "$(window_of Error)" ] || fail "the \"Error\" box would not go away"
step "window up and the model's box answered"
sleep "$RUN_SECONDS"
running || fail "the demo did not keep running (status $(wait "$demo_pid"; echo $?))"
finish_demo escape
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
step "starting the demo without the music"
start_demo "$work/no-music"
question=
deadline=$((SECONDS + WAIT_SECONDS))
while running && ((SECONDS < deadline)); do
    [ -n "$question" ] || question=$(window_of Options)
    answer_boxes
    sleep 0.02
done
finish_demo wait
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
xev_pid=
[ -n "$(mapped_windows)" ] || fail "the demo ended before its window appeared"
echo "ok: without musika.mp3 the demo prints Init Error! and ends with 255 after its window appeared"
