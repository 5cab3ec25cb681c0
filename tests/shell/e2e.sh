#!/usr/bin/env bash
# e2e.sh SCENARIO VREX SEND_CLOSE_REQUEST DATA_DIR
#
# Drives the real demo binary on the X server in $DISPLAY (Xvfb, no window manager, started
# with -retro so the root shows its weave pattern) the way a user would: the keyboard answers
# the message boxes, Escape or the close box ends the demo. Scenarios:
#   windowed-escape    No, the 800 x 600 window shows frames, Escape ends it with status 0
#   windowed-close     No, then the close box (WM_DELETE_WINDOW) ends it with status 0
#   fullscreen         Yes on an 800 x 600 screen: the popup fills it, Escape ends it
#   fullscreen-refused Yes on a screen that cannot switch to 800 x 600: an "Error" box, and
#                      once it is dismissed the demo ends with status 0
# The demo runs in DATA_DIR once the data is made there, otherwise in an empty directory.
set -euo pipefail

scenario=$1 vrex=$2 send_close_request=$3 data_dir=$4
WAIT_SECONDS=30       # start-up, including data loading under a software renderer
EXIT_SECONDS=10       # "within seconds" of the quit
MIN_CHANGED=0.10      # share of the window's pixels a presented frame changes at least

work=$(mktemp -d)
pid=""
cleanup() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    [[ -s "$work/output" ]] && sed 's/^/  demo: /' "$work/output" >&2
    exit 1
}

running() { kill -0 "$pid" 2>/dev/null; }

# The id of the top-level window titled exactly $1, or nothing.
window_id() { xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }'; }

wait_for_window() {
    local title=$1 id deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        id=$(window_id "$title")
        if [[ -n "$id" ]]; then echo "$id"; return; fi
        running || fail "the demo ended before a window \"$title\" appeared"
        sleep 0.1
    done
    fail "no window \"$title\" within $WAIT_SECONDS s"
}

# With no window manager nobody gives the focus; the key goes to the window that has it.
press() {
    timeout 5 xdotool windowfocus --sync "$1" || fail "could not focus window $1"
    xdotool key "$2"
}

# "X Y WIDTH HEIGHT" of a window on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                             /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

expect_geometry() {
    local got
    got=$(geometry "$1")
    [[ "$got" == "$2" ]] || fail "window at/size \"$got\", expected \"$2\""
}

# A window nobody draws into shows the root's pattern; a presented frame replaces it.
wait_for_frames() {
    local x y w h changed deadline=$((SECONDS + WAIT_SECONDS))
    read -r x y w h < <(geometry "$1")
    convert "$work/before.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/before-window.png"
    while ((SECONDS < deadline)); do
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/now.png"
        changed=$(compare -metric AE "$work/before-window.png" "$work/now.png" null: 2>&1 | awk '{ print $1 }' || true)
        if awk -v c="$changed" -v all=$((w * h)) -v min="$MIN_CHANGED" 'BEGIN { exit !(c >= min * all) }'; then
            return
        fi
        running || fail "the demo ended before presenting a frame"
        sleep 0.2
    done
    fail "no frame presented in the window within $WAIT_SECONDS s"
}

expect_exit_status() {
    local deadline=$((SECONDS + EXIT_SECONDS)) status=0
    while running && ((SECONDS < deadline)); do sleep 0.1; done
    running && fail "still running $EXIT_SECONDS s after the quit"
    wait "$pid" || status=$?
    pid=""
    [[ $status -eq $1 ]] || fail "exit status $status, expected $1"
}

start_demo() {
    local run_dir=$work/run
    mkdir -p "$run_dir"
    if [[ -n "$(ls -A "$data_dir" 2>/dev/null)" ]]; then run_dir=$data_dir; fi
    import -window root "$work/before.png"
    (cd "$run_dir" && exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$vrex") \
        </dev/null >"$work/output" 2>&1 &
    pid=$!
}

answer_question() { press "$(wait_for_window Options)" "$1"; }

start_demo
case $scenario in
windowed-escape)
    answer_question Escape
    demo=$(wait_for_window "vrex demo")
    expect_geometry "$demo" "0 0 800 600"
    wait_for_frames "$demo"
    press "$demo" Escape
    expect_exit_status 0
    ;;
windowed-close)
    answer_question Escape
    demo=$(wait_for_window "vrex demo")
    wait_for_frames "$demo"
    "$send_close_request" "$demo" || fail "could not send the close request"
    expect_exit_status 0
    ;;
fullscreen)
    answer_question Return
    demo=$(wait_for_window "vrex demo")
    expect_geometry "$demo" "0 0 800 600"
    wait_for_frames "$demo"
    press "$demo" Escape
    expect_exit_status 0
    ;;
fullscreen-refused)
    answer_question Return
    error=$(wait_for_window Error)
    [[ -z "$(window_id "vrex demo")" ]] || fail "the window opened before the refusal was shown"
    press "$error" Return
    expect_exit_status 0
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok [$scenario]"
