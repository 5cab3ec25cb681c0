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
# and one run per command-line option, each starting a few hundred frames in:
#   option-windowed    --windowed: no question, the 800 x 600 window, Escape ends it
#   option-fullscreen  --fullscreen on an 800 x 600 screen: no question, the popup fills it
#   option-desktop     --desktop on a 1280 x 720 screen: the window covers it, no mode switch,
#                      the 4:3 picture in the middle and black bars beside it
#   option-fps         --fps 30: frames are presented at the timer's pace
#   option-keep-time   --keep-time with its music: frames are presented, and Escape ends it
#   option-start       --start terrain: the show begins in the turning terrain
#   option-loop        --start at the first frame after the credits with --loop: instead of
#                      staying black, the window shows the intro's fish again
#   option-mute        --mute: the audio library is never started (it prints its version when it is)
#   option-data        --data DIR from an empty directory: the show finds its files in DIR
#   option-mistakes    an unknown option, a bad --start, a missing --data: status 2, one line
#                      and the usage, and no window; --help and --version: status 0
# The demo runs in DATA_DIR once the data is made there, otherwise in an empty directory.
set -euo pipefail

scenario=$1 vrex=$2 send_close_request=$3 data_dir=$4
WAIT_SECONDS=30       # start-up, including data loading under a software renderer
EXIT_SECONDS=10       # "within seconds" of the quit
MIN_CHANGED=0.10      # share of the window's pixels a presented frame changes at least

# shellcheck source=../support/x_driver.sh
source "$(dirname "$0")/../support/x_driver.sh"

fail() {
    echo "FAIL [$scenario]: $*" >&2
    [[ -s "$work/output" ]] && sed 's/^/  demo: /' "$work/output" >&2
    exit 1
}

# The id of the top-level window titled exactly $1, or nothing.
window_id() { xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }'; }

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

# start_demo [OPTION...]: the demo in the data directory (or an empty one), with these options.
start_demo() {
    local run_dir=$work/run
    mkdir -p "$run_dir"
    if [[ -n "$(ls -A "$data_dir" 2>/dev/null)" ]]; then run_dir=$data_dir; fi
    start_demo_in "$run_dir" "$@"
}

start_demo_in() {
    local run_dir=$1
    shift
    import -window root "$work/before.png"
    (cd "$run_dir" && exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$vrex" "$@") \
        </dev/null >"$work/output" 2>&1 &
    pid=$!
}

# The brightest channel value in a region of the screen, 0..1.
brightest() {
    import -window root -crop "$1" +repage "$work/region.png"
    convert "$work/region.png" -format "%[fx:maxima]" info:
}

# Waits until the region's brightest value is above (or, with "dark", at most) 0.
wait_for_region() {
    local region=$1 want=$2 what=$3 value deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        value=$(brightest "$region")
        if [[ $want == lit ]] && awk -v v="$value" 'BEGIN { exit !(v > 0.2) }'; then return; fi
        if [[ $want == dark ]] && awk -v v="$value" 'BEGIN { exit !(v == 0) }'; then return; fi
        running || fail "the demo ended before $what"
        sleep 0.2
    done
    fail "no $what within $WAIT_SECONDS s (brightest $value)"
}

expect_no_question() {
    sleep 1
    [[ -z "$(window_id Options)" ]] || fail "the full-screen question was shown"
}

# A command line refused or answered before any window: its status and its first line.
expect_no_window_run() {
    local want_status=$1 want_first=$2 status=0
    shift 2
    (cd "$work" && timeout 10 "$vrex" "$@") >"$work/output" 2>&1 </dev/null || status=$?
    [[ $status -eq $want_status ]] || fail "vrex $* ended with $status, expected $want_status"
    [[ "$(head -n 1 "$work/output")" == $want_first ]] || fail "vrex $* said \"$(head -n 1 "$work/output")\""
    [[ -z "$(window_id "vrex demo")$(window_id Options)" ]] || fail "vrex $* opened a window"
}

# The demo's window, its frames, Escape and status 0.
run_windowed_to_escape() {
    demo=$(wait_for_window "vrex demo")
    expect_geometry "$demo" "0 0 800 600"
    wait_for_frames "$demo"
    press "$demo" Escape
    expect_exit_status 0
}

answer_question() { press "$(wait_for_window Options)" "$1"; }

[[ $scenario == option-* ]] || start_demo
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
option-windowed)
    start_demo --windowed --start 300
    expect_no_question
    run_windowed_to_escape
    ;;
option-fullscreen)
    start_demo --fullscreen --start 300
    expect_no_question
    run_windowed_to_escape
    ;;
option-desktop)
    start_demo --desktop --start 300
    demo=$(wait_for_window "vrex demo")
    expect_no_question
    expect_geometry "$demo" "0 0 1280 720"
    [[ "$(xdpyinfo | awk '/dimensions:/ { print $2 }')" == 1280x720 ]] || fail "the screen's mode was switched"
    # Until a frame is presented the screen shows the root's weave, which is never all black.
    wait_for_region 150x720+0+0 dark "a black bar on the left"
    wait_for_region 150x720+1130+0 dark "a black bar on the right"
    wait_for_region 900x720+190+0 lit "the picture in the middle"
    press "$demo" Escape
    expect_exit_status 0
    ;;
option-fps)
    start_demo --windowed --fps 30 --start 300
    run_windowed_to_escape
    ;;
option-keep-time)
    start_demo --windowed --keep-time --start terrain
    run_windowed_to_escape
    ;;
option-start)
    start_demo --windowed --start terrain
    run_windowed_to_escape
    ;;
option-loop)
    start_demo --windowed --loop --start 18572
    demo=$(wait_for_window "vrex demo")
    wait_for_frames "$demo"
    wait_for_region 800x600+0+0 lit "the fish again after the end of the show"
    press "$demo" Escape
    expect_exit_status 0
    ;;
option-mute)
    start_demo --windowed --mute --start 300
    run_windowed_to_escape
    ! grep -q "G-Audio" "$work/output" || fail "the audio library was started"
    ;;
option-data)
    [[ -n "$(ls -A "$data_dir" 2>/dev/null)" ]] || { echo "ok [$scenario] (no data to point at)"; exit 0; }
    mkdir -p "$work/empty"
    start_demo_in "$work/empty" --windowed --start 300 --data "$data_dir"
    run_windowed_to_escape
    grep -q "G-Audio DLL loaded version" "$work/output" || fail "the music did not start from the data directory"
    ;;
option-mistakes)
    expect_no_window_run 2 "vrex: unknown option --bogus" --bogus
    expect_no_window_run 2 "vrex: --start: *" --start nowhere
    expect_no_window_run 2 "vrex: --data: *" --data "$work/missing"
    expect_no_window_run 0 "vrex demo: *" --help
    expect_no_window_run 0 "vrex [0-9]*.[0-9]*.[0-9]*" --version
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok [$scenario]"
