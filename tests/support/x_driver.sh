# x_driver.sh - sourced by the end-to-end scripts that drive a program on the X server in
# $DISPLAY (Xvfb, no window manager) from the keyboard, as a user would.
#
# The sourcing script sets WAIT_SECONDS and EXIT_SECONDS and defines fail MESSAGE (report and
# exit 1) and window_id TITLE (the id of the window titled exactly TITLE, or nothing). It starts
# the program in the background with its process id in `pid`, and may keep files in $work,
# which is removed on exit together with a program still running.
work=$(mktemp -d)
pid=""
cleanup() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

running() { kill -0 "$pid" 2>/dev/null; }

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

# Waits up to EXIT_SECONDS for the program to end, then checks its status against $1.
expect_exit_status() {
    local deadline=$((SECONDS + EXIT_SECONDS)) status=0
    while running && ((SECONDS < deadline)); do sleep 0.1; done
    running && fail "still running $EXIT_SECONDS s after the quit"
    wait "$pid" || status=$?
    pid=""
    [[ $status -eq $1 ]] || fail "exit status $status, expected $1"
}
