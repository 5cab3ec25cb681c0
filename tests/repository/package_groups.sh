#!/usr/bin/env bash
# package_groups.sh SOURCE_DIR: the package list's groups against the commands that install
# them. Every group the Makefile or CI names (install-deps.sh GROUP..., a deps-GROUP
# prerequisite) must exist in deps/debian-packages.txt, else that command fails on a fresh
# machine only; every package must sit under a group, and in one group only, so that a group
# dropped from a command can never be hidden by a copy of its package in another.
set -euo pipefail
source_dir=$1
list=$source_dir/deps/debian-packages.txt
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

groups=$(sed -nE 's/^\[([a-z0-9-]+)\][[:space:]]*$/\1/p' "$list")
[[ -n $groups ]] || fail "no [group] header in $list"

# Each package with its group; a package above the first header has none.
placed=$(awk '/^\[.*\][[:space:]]*$/ { group = $0; next }
              /^[[:space:]]*(#|$)/ { next }
              { print $1, (group == "" ? "-" : group) }' "$list")
while read -r package group; do
    [[ -n $package ]] || continue
    [[ $group != - ]] || fail "$package is in no group"
done <<<"$placed"
while read -r package; do
    [[ -n $package ]] || continue
    fail "$package is in more than one group: $(awk -v p="$package" '$1 == p { print $2 }' <<<"$placed" | paste -sd' ')"
done < <(awk '{ print $1 }' <<<"$placed" | sort | uniq -d)
while read -r group; do
    [[ -n $group ]] || continue
    fail "the group [$group] appears twice"
done < <(sort <<<"$groups" | uniq -d)
while read -r group; do
    [[ -n $group ]] || continue
    [[ -n $(awk -v g="[$group]" '$0 == g { inside = 1; next } /^\[/ { inside = 0 }
                                  inside && !/^[[:space:]]*(#|$)/ { print; exit }' "$list") ]] ||
        fail "the group [$group] is empty"
done <<<"$groups"

# The groups the commands name: the words after install-deps.sh up to the end of the command
# (variables like $* and options left out), and every deps-GROUP that is not the pattern rule.
named=$(for file in "$source_dir/Makefile" "$source_dir/.ci/run"; do
    [[ -f $file ]] || continue
    sed -nE 's/.*install-deps\.sh([^;&|#>]*).*/\1/p' "$file" | tr ' \t' '\n\n' | grep -E '^[a-z][a-z0-9-]*$' || true
    grep -oE '(^|[[:space:]])deps-[a-z0-9-]+' "$file" | sed -E 's/^[[:space:]]*deps-//' || true
done | sort -u)
[[ -n $named ]] || fail "no command names a package group"
while read -r group; do
    [[ -n $group ]] || continue
    grep -qxF -- "$group" <<<"$groups" || fail "the group \"$group\" is named by a command but is not in $list"
done <<<"$named"

if ((failures > 0)); then
    echo "$failures problem(s) in the package groups"
    exit 1
fi
echo "ok: $(wc -l <<<"$groups") groups, $(wc -l <<<"$placed") packages, each in one group; named by the commands: $(echo $named)"
