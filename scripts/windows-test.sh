#!/usr/bin/env bash
# windows-test.sh: the Windows build's tests under Wine (make windows-test builds them first):
# the unit tests that need no window and the release run end to end, all under one Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The first start makes the prefix, which takes a while; done once here, before any timeout.
[[ -f $WINEPREFIX/system.reg ]] || wineboot --init >/dev/null 2>&1
status=0
xvfb-run -a -s "-screen 0 1024x768x24 -retro -noreset" \
    ctest --test-dir build-windows -L windows --output-on-failure || status=$?
wineserver --kill || true
exit $status
