#!/usr/bin/env bash
# add-deb-src.sh - lets `apt-get source` work: adds a deb-src entry beside the deb one it
# mirrors, unless there is one, and updates the lists. A Debian 12 install lists its mirror in
# deb822 form, a debootstrap root in one line. As root, or through sudo.
set -euo pipefail
grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ && exit 0
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/debian-src.list >/dev/null
fi
$sudo apt-get update -qq >&2
