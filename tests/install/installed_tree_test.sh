#!/usr/bin/env bash
# installed_tree_test.sh BUILD_DIR ICON_SIZE...: stages `cmake --install` under a scratch DESTDIR with the
# prefix /usr, as the package does, and checks the tree:
#   - every file is where Debian keeps a game's files, with the modes it expects;
#   - the manual pages name every option their programs' --help names;
#   - the installed data set is whole by the installed inspector's own check;
#   - every installed binary that needs libgaudio1x.so (the demo, the capture tool) finds it in
#     its own folder through its run path, with no LD_LIBRARY_PATH, and no run path leads back
#     into the build;
#   - the launcher starts the demo inside the data folder with every argument as given, and
#     turns a data folder named relative to the caller into an absolute one.
set -euo pipefail

build=$(realpath "$1")
shift
icon_sizes=("$@")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
root=$stage/usr
private=$root/lib/games/vrex-demo
data=$root/share/games/vrex-demo

# ---- the layout --------------------------------------------------------------------------
executables=(games/vrex lib/games/vrex-demo/vrex lib/games/vrex-demo/vrex-gen-data
             lib/games/vrex-demo/vrex-gen-music lib/games/vrex-demo/vrex-inspect
             lib/games/vrex-demo/vrex-capture)
for file in "${executables[@]}"; do
    [[ -f $root/$file && -x $root/$file ]] || fail "no executable /usr/$file"
done
[[ -f $private/libgaudio1x.so ]] || fail "libgaudio1x.so is not beside the demo"
[[ -f $root/share/applications/vrex-demo.desktop ]] || fail "no desktop entry"
[[ -f $root/share/doc/vrex-demo/copyright ]] || fail "no copyright file"
gzip -t "$root/share/doc/vrex-demo/changelog.gz" 2>/dev/null || fail "no readable changelog.gz"
for size in "${icon_sizes[@]}"; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/vrex-demo.png
    got=$(identify -format '%w %h %[channels]' "$icon" 2>/dev/null || true)
    [[ $got == "$size $size srgba"* ]] || fail "icon $icon is \"$got\", expected a ${size} x ${size} RGBA PNG"
done
# A manual page per program with a --help, naming every option the program's --help names.
for page in man6/vrex.6 man1/vrex-gen-data.1 man1/vrex-gen-music.1 man1/vrex-inspect.1; do
    file=$root/share/man/$page.gz program=$(basename "$page" | sed 's/\.[0-9]$//')
    if ! text=$(zcat "$file" 2>/dev/null); then fail "no manual page $page.gz"; continue; fi
    for option in $(env -u LD_LIBRARY_PATH "$private/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -qF -- "${option//-/\\-}" <<<"$text" || fail "$page.gz does not name $option"
    done
done
# Nothing but the data set in the data folder: no score, stamp or half-written file.
extra=$(find "$data" -type f \( -name '.*' -o -name '*.mid' -o -name '*.part' \))
[[ -z $extra ]] || fail "stray files in the data folder: $extra"
[[ -f $data/musika.mp3 ]] || fail "no music in the data folder"
check=$(env -u LD_LIBRARY_PATH "$private/vrex-inspect" --check "$data" 2>&1) || fail "the installed data set is not whole: $check"
# Files Debian lets nobody but root write, and nothing group- or world-writable.
writable=$(find "$root" -perm /022)
[[ -z $writable ]] || fail "group- or world-writable: $writable"

# ---- the run path ------------------------------------------------------------------------
for file in "${executables[@]:1}"; do
    binary=$root/$file
    runpath=$(readelf -d "$binary" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')
    [[ $runpath == '$ORIGIN' ]] || fail "$file: run path \"$runpath\", expected \$ORIGIN"
    if readelf -d "$binary" | grep -q 'NEEDED.*\[libgaudio1x\.so\]'; then
        found=$(env -u LD_LIBRARY_PATH ldd "$binary" | awk '$1 == "libgaudio1x.so" { print $3 }')
        [[ $found == "$private/libgaudio1x.so" ]] || fail "$file: libgaudio1x.so resolves to \"$found\""
    fi
    env -u LD_LIBRARY_PATH ldd "$binary" | grep -q 'not found' && fail "$file: a library is not found"
done

# ---- the launcher, with a stand-in demo that reports where and how it was started ---------
cp -a "$stage/usr" "$stage/copy"
cat >"$stage/copy/lib/games/vrex-demo/vrex" <<'STANDIN'
#!/bin/sh
pwd
for argument in "$@"; do printf '<%s>\n' "$argument"; done
STANDIN
caller=$stage/caller
mkdir -p "$caller"
report=$(cd "$caller" && "$stage/copy/games/vrex" --windowed "two  words" --data mine --data=/abs/d --data=rel '' -- --data x)
expected="$stage/copy/share/games/vrex-demo
<--windowed>
<two  words>
<--data>
<$caller/mine>
<--data=/abs/d>
<--data=$caller/rel>
<>
<-->
<--data>
<x>"
[[ $report == "$expected" ]] || fail "the launcher started the demo as
$report
expected
$expected"
# Started through a symbolic link, as a user's own bin folder might hold it.
ln -s "$stage/copy/games/vrex" "$stage/link"
report=$(cd / && "$stage/link")
[[ $report == "$stage/copy/share/games/vrex-demo" ]] || fail "through a link the demo ran in $report"

((failures == 0)) || exit 1
echo "ok: the installed tree"
