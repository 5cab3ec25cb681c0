#!/usr/bin/env bash
# package_test.sh BUILD_DIR VERSION: the Debian package as `make package` makes it:
#   - named vrex-demo_VERSION_ARCH.deb, with the project's version;
#   - its dependencies read from the binaries (the system libraries they link appear);
#   - lintian finds no error in it (warnings are listed, not failed).
set -euo pipefail

build=$(realpath "$1") version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$out/vrex-demo_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "FAIL: no $deb; made: $(ls "$out")" >&2; exit 1; }

[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpng16-16 libgl1; do
    [[ $depends == *"$library"* ]] || fail "no $library among the dependencies: $depends"
done

report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[[ -n $report ]] && echo "$report"
grep -q '^E:' <<<"$report" && fail "lintian reports errors"
((failures == 0))
