#!/usr/bin/env bash
# wine_e2e.sh SCENARIO RELEASE_DIR
#
# The Windows release run under Wine on the X server in $DISPLAY (Xvfb without a window
# manager), from a copy of its folder, driven from the keyboard as a user would:
#   windowed-escape  the full-screen question answered No (Escape), the "vrex demo" window
#                    shows frames, Escape ends the demo with status 0
#   no-music         the same folder without musika.mp3: after the question the demo prints
#                    "Init Error!" and ends with status 255 (Windows' -1)
#   windowed-mute    started as `vrex.exe --windowed --mute`: no question, and without
#                    musika.mp3 too (the music is never started), the window shows frames,
#                    Escape ends the demo with status 0
# Wine's environment (WINEPREFIX, WINEDEBUG) comes from the caller.
set -euo pipefail

scenario=$1 release=$(realpath "$2")
WAIT_SECONDS=60   # Wine's start-up, and data loading under a software renderer
EXIT_SECONDS=20   # from the quit to the end of the process
MIN_CHANGED=0.10  # share of the window's pixels a presented frame changes at least

# shellcheck source=../support/x_driver.sh
source "$(dirname "$0")/../support/x_driver.sh"

fail() {
    echo "FAIL [$scenario]: $*" >&2
    { timeout 5 xwininfo -root -tree 2>&1 || true; } | grep '"' | sed 's/^/  window: /' >&2 || true
    [[ -s "$work/output" ]] && sed 's/^/  demo: /' "$work/output" >&2
    exit 1
}

# The id of a window titled exactly $1 that is mapped, or nothing.
window_id() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\":" 'index($0, title) { print $1 }'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return; }
    done
}

# The window's picture changes by a presented frame, compared with the first look at it.
wait_for_frames() {
    local changed deadline=$((SECONDS + WAIT_SECONDS))
    import -window "$1" "$work/first.png" || fail "could not read window $1"
    while ((SECONDS < deadline)); do
        sleep 0.5
        import -window "$1" "$work/now.png" || fail "could not read window $1"
        changed=$(compare -metric AE "$work/first.png" "$work/now.png" null: 2>&1 | awk '{ print $1 }' || true)
        local all
        all=$(identify -format '%[fx:w*h]' "$work/now.png")
        if awk -v c="$changed" -v all="$all" -v min="$MIN_CHANGED" 'BEGIN { exit !(c >= min * all) }'; then
            return
        fi
        running || fail "the demo ended before presenting frames"
    done
    fail "the window's picture did not change within $WAIT_SECONDS s"
}

# A Wine process started while the previous program's wineserver is still winding down can
# end at once; the next start waits for it.
wineserver --wait || true
cp -r "$release" "$work/run"
arguments=()
[[ $scenario == no-music || $scenario == windowed-mute ]] && rm "$work/run/musika.mp3"
[[ $scenario == windowed-mute ]] && arguments=(--windowed --mute)
(cd "$work/run" && exec env SDL_AUDIODRIVER=dummy wine vrex.exe "${arguments[@]}") </dev/null >"$work/output" 2>&1 &
pid=$!

if [[ $scenario != windowed-mute ]]; then
    question=$(wait_for_window Options) || exit 1
    press "$question" Escape
fi
case $scenario in
windowed-escape | windowed-mute)
    demo=$(wait_for_window "vrex demo") || exit 1
    [[ $scenario == windowed-mute && -n $(window_id Options) ]] && fail "the question was asked"
    wait_for_frames "$demo"
    press "$demo" Escape
    expect_exit_status 0
    ;;
no-music)
    expect_exit_status 255
    grep -q "Init Error!" "$work/output" || fail "no \"Init Error!\" in the output"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok [$scenario]"
