#!/usr/bin/env bash
# pristine-debian-test.sh [COMMAND...] - runs each COMMAND in turn (the README's "make test"
# when none is given) as root in a minimal Debian 12 made by debootstrap, in a fresh clone of
# the commit checked out here, with nothing installed beyond git and make: whatever the set-up
# forgets to install fails here. One argument is one command ("make check-data" "make test"
# runs both in the same root, the second after the first); each one's duration is printed.
# CI is passed through. The exit status is that of the first command that fails.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/pristine-root.sh"

pristine_require
commands=("$@")
[[ ${#commands[@]} -gt 0 ]] || commands=("make test")
top=$(git -C "$here" rev-parse --show-toplevel)
commit=$(git -C "$top" rev-parse HEAD)

tarball=$(pristine_base_tarball)
root=$(mktemp -d /var/tmp/vrex-pristine.XXXXXX)
trap 'pristine_remove "$root"' EXIT
trap 'exit 130' INT TERM

pristine_unpack "$tarball" "$root"
# A clone, not the work tree: only what the commit holds goes in, no build folders.
git clone --quiet --no-checkout "$top" "$root/root/vrex"
git -C "$root/root/vrex" checkout --quiet --detach "$commit"
pristine_mount "$root"
# PRISTINE_SHARE_CACHES=1 (CI): the machine's compiler cache and downloaded packages are used.
[[ ${PRISTINE_SHARE_CACHES:-0} == 1 ]] && pristine_share_caches "$root"

echo "pristine: installing git and make in a fresh $PRISTINE_SUITE root"
start=$SECONDS
pristine_run "$root" "apt-get update -qq && apt-get install -y -qq --no-install-recommends git make >/dev/null"
echo "pristine: git and make installed in $((SECONDS - start)) s"
for command in "${commands[@]}"; do
    echo "pristine: $command (commit ${commit:0:12})"
    start=$SECONDS
    # In the background so that an interrupt is handled at once (bash runs traps only between
    # commands); the exit trap then ends what still runs inside and unmounts.
    pristine_run "$root" "cd /root/vrex && $command" &
    status=0
    wait $! || status=$?
    echo "pristine: $command: $((SECONDS - start)) s, exit status $status"
    ((status == 0)) || exit "$status"
done
