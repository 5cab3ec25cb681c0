#!/usr/bin/env bash
# pristine-package-test.sh [DEB]: the Debian package where users install it. Builds it on this
# machine (`make package`) unless DEB is given, then, as root, in a fresh minimal Debian 12
# root (scripts/pristine-root.sh) with nothing prepared: `apt-get install ./vrex-demo_*.deb`
# must install it with what it depends on, and the installed `vrex --windowed` must draw its
# show on Xvfb and end with status 0 on Escape. Xvfb, xauth, xdotool and x11-utils are put in
# only afterwards, for the check itself, so they cannot hide a missing dependency.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/pristine-root.sh"

pristine_require
top=$(git -C "$here" rev-parse --show-toplevel)
deb=${1:-}
if [[ -z $deb ]]; then
    make -C "$top" package
    deb=$(ls "$top"/build/vrex-demo_*_"$(dpkg --print-architecture)".deb)
fi
deb=$(realpath "$deb")

tarball=$(pristine_base_tarball)
root=$(mktemp -d /var/tmp/vrex-pristine.XXXXXX)
trap 'pristine_remove "$root"' EXIT
trap 'exit 130' INT TERM

pristine_unpack "$tarball" "$root"
pristine_mount "$root"
cp "$deb" "$root/root/"
cp "$top/tests/install/windowed_demo_check.sh" "$root/root/"

echo "pristine: apt-get install ./$(basename "$deb") in a fresh $PRISTINE_SUITE root"
pristine_run "$root" "cd /root && apt-get update -qq && apt-get install -y -qq ./$(basename "$deb") >/dev/null"
echo "pristine: the check's own tools"
pristine_run "$root" "apt-get install -y -qq --no-install-recommends xvfb xauth xdotool x11-utils >/dev/null"
echo "pristine: vrex --windowed on Xvfb"
pristine_run "$root" "mkdir -p /tmp/screen && xvfb-run -a -s '-screen 0 1024x768x24 -retro -noreset -fbdir /tmp/screen' \
    /root/windowed_demo_check.sh /tmp/screen /usr/games/vrex"
