#!/usr/bin/env bash
# installed_demo_e2e.sh BUILD_DIR E2E_SCRIPT SEND_CLOSE_REQUEST: the demo as a user starts it
# after `make install`: the tree staged under a scratch DESTDIR, the launcher started from a
# folder holding no data and with no LD_LIBRARY_PATH. The demo can only show frames and end
# with 0 on Escape if the launcher ran it in the installed data folder (without "musika.mp3"
# it ends at once with 255) and its run path found libgaudio1x.so. Runs on the X server in
# $DISPLAY; the shell's end-to-end script does the driving.
set -euo pipefail

build=$(realpath "$1") e2e=$2 send_close_request=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
env -u LD_LIBRARY_PATH "$e2e" windowed-escape "$stage/usr/games/vrex" "$send_close_request" "$stage/no-data"
