#!/usr/bin/env bash
# release_check.sh ZIP
#
# The Windows release as a user gets it: the zip holds one folder with the demo, its tools, the
# DLLs they load, the short manual and the whole data set (checked by the Linux inspect tool's
# rules through vrex-inspect.exe itself); and every program and DLL imports only DLLs that
# Windows has or that ship beside it: no C++ runtime, libgcc, winpthread or zlib DLL is needed.
set -euo pipefail

zip=$(realpath "$1")
SHIPPED=(vrex.exe gaudio1x.dll SDL2.dll SDL2_mixer.dll vrex-capture.exe vrex-inspect.exe README.txt musika.mp3 dinos.3ds vulc.raw)
system32=${WINEPREFIX:?}/drive_c/windows/system32

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

unzip -q "$zip" -d "$work"
folders=("$work"/*)
[[ ${#folders[@]} -eq 1 && -d ${folders[0]} ]] || fail "the zip holds more than one top folder"
release=${folders[0]}
[[ $(basename "$release") == "$(basename "$zip" .zip)" ]] || fail "the folder is not named after the zip"
for file in "${SHIPPED[@]}"; do [[ -s $release/$file ]] || fail "no $file in the release"; done

for binary in "$release"/*.exe "$release"/*.dll; do
    while read -r dll; do
        [[ -e $release/$dll ]] && continue
        # Windows' own DLLs, as Wine provides them; file names are not case-sensitive there.
        [[ -n $(find "$system32" -maxdepth 1 -iname "$dll" -print -quit) ]] && continue
        fail "$(basename "$binary") imports $dll, which is neither shipped nor part of Windows"
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | awk '/DLL Name:/ { print $3 }')
done

# The data set is whole as the demo will load it, by the Windows build's own readers.
(cd "$release" && wine vrex-inspect.exe --check . >"$work/check" 2>&1) ||
    { cat "$work/check" >&2; fail "vrex-inspect.exe --check finds the data set incomplete"; }
echo "ok"
