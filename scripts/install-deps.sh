#!/usr/bin/env bash
# install-deps.sh [--list] [GROUP...]: installs the Debian packages of the named groups of
# deps/debian-packages.txt (every group when none is named) that are not installed yet.
# Quiet and quick when everything is there; apt-get directly as root, through sudo otherwise.
# With --list it prints the groups' packages, one a line, and installs nothing; an unknown
# group is a mistake either way.
set -euo pipefail
cd "$(dirname "$0")/.."
list_file=deps/debian-packages.txt

list_only=false
if [[ ${1:-} == --list ]]; then
    list_only=true
    shift
fi

# The groups in file order, then the packages of the wanted ones.
known=$(sed -nE 's/^\[([a-z0-9-]+)\][[:space:]]*$/\1/p' "$list_file")
groups=("$@")
[[ ${#groups[@]} -gt 0 ]] || mapfile -t groups <<<"$known"
for group in "${groups[@]}"; do
    grep -qxF -- "$group" <<<"$known" || {
        echo "install-deps.sh: no package group \"$group\" in $list_file (there are: $(echo $known))" >&2
        exit 2
    }
done
wanted=$(awk -v groups=" ${groups[*]} " '
    /^\[.*\][[:space:]]*$/ { sub(/^\[/, ""); sub(/\].*/, ""); group = $0; next }
    /^[[:space:]]*(#|$)/ { next }
    index(groups, " " group " ") { print $1 }' "$list_file")

if $list_only; then
    [[ -z $wanted ]] || echo "$wanted"
    exit 0
fi

# A name an installed package provides counts as there: a Node.js from another source carries
# its own npm and conflicts with Debian's.
provided=" $(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' 2>/dev/null | sed -n 's/^ii *|//p' |
    tr ',' '\n' | sed -E 's/^ +//; s/ .*//' | sort -u | tr '\n' ' ') "
missing=()
for pkg in $wanted; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" || "$provided" == *" $pkg "* ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages (${groups[*]}): ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
