# pristine-root.sh - a throw-away minimal Debian root to prove the set-up from nothing.
#
# Sourced, not run. The functions below make and use a fresh root made by debootstrap:
#     pristine_require                       fails with a reason unless this can run here
#     tarball=$(pristine_base_tarball)       the untouched base root, made once and cached
#     pristine_unpack "$tarball" "$root"     a fresh root from it
#     pristine_mount "$root"                 /proc, /dev, /sys and a 1777 /tmp inside
#     pristine_share_caches "$root"          the machine's compiler cache and downloaded
#                                            packages inside too (CI's repeated runs)
#     pristine_run "$root" COMMAND           COMMAND through bash -c, as root, inside
#     pristine_remove "$root"                unmounts, checks nothing is left mounted, deletes
#
# Only the untouched base is cached (PRISTINE_CACHE, keyed by suite and package source);
# everything installed into a root goes with it, so a missing install step shows every time.
# The root holds bind mounts of the machine's /dev: pristine_remove deletes nothing while
# anything is still mounted below the root.

# debootstrap and chroot live in sbin, which a non-login shell's PATH may lack.
PATH="$PATH:/usr/local/sbin:/usr/sbin:/sbin"
PRISTINE_SUITE=${PRISTINE_SUITE:-bookworm}
PRISTINE_CACHE=${PRISTINE_CACHE:-/var/cache/vrex-pristine}

pristine_fail() {
    echo "pristine: $*" >&2
    return 1
}

pristine_require() {
    [[ $(id -u) -eq 0 ]] || { pristine_fail "must run as root (debootstrap, chroot and mount need it)"; return 1; }
    local tool
    for tool in debootstrap chroot mount umount tar git; do
        command -v "$tool" >/dev/null || { pristine_fail "$tool is not installed"; return 1; }
    done
}

# The Debian mirror this machine's apt already uses for the suite, from either source format.
pristine_mirror() {
    local suite=${1:-$PRISTINE_SUITE} file uri
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f $file ]] || continue
        # One-line format: "deb [options] URI SUITE COMPONENTS..."
        uri=$(sed -E 's/\[[^]]*\]//' "$file" | awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2; exit }')
        [[ -n $uri ]] && { echo "$uri"; return 0; }
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f $file ]] || continue
        # deb822: blank lines separate stanzas; the first "deb" stanza serving the suite wins.
        uri=$(awk -v suite="$suite" '
              function done_stanza() {
                  if (!found && types ~ /(^| )deb( |$)/ && suites ~ "(^| )" suite "( |$)" && uris != "") {
                      split(uris, u, " "); print u[1]; found = 1 }
                  types = suites = uris = "" }
              /^[[:space:]]*$/ { done_stanza(); next }
              /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
              /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
              /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
              END { done_stanza() }' "$file")
        [[ -n $uri ]] && { echo "$uri"; return 0; }
    done
    pristine_fail "no apt source for $suite in /etc/apt"
}

# Prints the path of the cached base tarball, making it first when it is missing.
pristine_base_tarball() {
    local suite=$PRISTINE_SUITE mirror key tarball build
    mirror=$(pristine_mirror "$suite") || return 1
    key=$(printf '%s %s %s' "$suite" "$mirror" "$(dpkg --print-architecture)" | sha256sum | cut -c1-16)
    tarball="$PRISTINE_CACHE/$suite-minbase-$key.tar"
    if [[ ! -s $tarball ]]; then
        mkdir -p "$PRISTINE_CACHE"
        build=$(mktemp -d "$PRISTINE_CACHE/base.XXXXXX")
        echo "pristine: debootstrap --variant=minbase $suite from $mirror" >&2
        if ! debootstrap --variant=minbase "$suite" "$build/root" "$mirror" >"$build/debootstrap.log" 2>&1; then
            tail -n 20 "$build/debootstrap.log" >&2
            pristine_remove "$build"
            pristine_fail "debootstrap failed"
            return 1
        fi
        tar --numeric-owner -C "$build/root" -cf "$build/base.tar" . &&
            mv "$build/base.tar" "$tarball" || { pristine_remove "$build"; pristine_fail "cannot write $tarball"; return 1; }
        pristine_remove "$build" || return 1
    fi
    echo "$tarball"
}

pristine_unpack() {
    local tarball=$1 root=$2
    mkdir -p "$root"
    tar --numeric-owner -xpf "$tarball" -C "$root"
    # The root has no name service of its own yet; apt inside resolves through the machine's.
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    # Nor does it know the certificate authorities the machine's network adds (a proxy's, say):
    # they join its bundle when the root installs ca-certificates, as on the machine.
    if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
        mkdir -p "$root/usr/local/share/ca-certificates"
        cp -L /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
    fi
}

pristine_mount() {
    local root=$1
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    # Slave propagation: unmounting inside the root can never take anything off the machine's /dev.
    mount --make-rslave "$root/dev"
    mount -t sysfs sysfs "$root/sys"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
}

# Caches only: the packages must still be installed and the code still built inside, so what
# the set-up forgets still fails; a machine that has run this before just downloads and
# compiles less. A measurement of a new user's wait leaves them out.
pristine_share_caches() {
    local root=$1 compiler_cache=${CCACHE_DIR:-$HOME/.cache/ccache}
    mkdir -p "$compiler_cache" "$root/root/.cache/ccache" /var/cache/apt/archives/partial
    mount --bind "$compiler_cache" "$root/root/.cache/ccache"
    mount --bind /var/cache/apt/archives "$root/var/cache/apt/archives"
}

pristine_run() {
    local root=$1
    shift
    # Node reads extra authorities only from a file it is named; where the machine names one,
    # the root's own bundle (which holds the machine's, see pristine_unpack) is named inside.
    local node_certificates=()
    [[ -n ${NODE_EXTRA_CA_CERTS:-} ]] && node_certificates=(NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt)
    chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" CI="${CI:-}" LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        "${node_certificates[@]}" /bin/bash -c "$*"
}

# Mount points at or below the root, deepest first.
pristine_mounts_below() {
    local root
    root=$(realpath -m "$1")
    awk -v root="$root" '{ path = $5; gsub(/\\040/, " ", path)
                           if (path == root || index(path, root "/") == 1) print path }' /proc/self/mountinfo |
        awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2-
}

# Processes still running inside the root (an X server the tests left behind) keep its
# mounts busy; they are ours, so they end here, each by its id.
pristine_stop_processes() {
    local root proc pids=()
    root=$(realpath -m "$1")
    for proc in /proc/[0-9]*; do
        [[ $(readlink "$proc/root" 2>/dev/null) == "$root" ]] && pids+=("${proc#/proc/}")
    done
    [[ ${#pids[@]} -eq 0 ]] && return 0
    kill -TERM "${pids[@]}" 2>/dev/null || true
    sleep 2
    kill -KILL "${pids[@]}" 2>/dev/null || true
}

pristine_unmount() {
    local root=$1 mountpoint
    pristine_stop_processes "$root"
    while read -r mountpoint; do
        [[ -n $mountpoint ]] && umount "$mountpoint" 2>/dev/null
    done < <(pristine_mounts_below "$root")
    # Bind mounts stacked in odd orders need a second pass; a recursive one catches the rest.
    while read -r mountpoint; do
        [[ -n $mountpoint ]] && umount -R "$mountpoint" 2>/dev/null
    done < <(pristine_mounts_below "$root")
    if [[ -n $(pristine_mounts_below "$root") ]]; then
        pristine_fail "still mounted below $root, so it is left in place:"
        pristine_mounts_below "$root" >&2
        return 1
    fi
}

pristine_remove() {
    local root=$1
    [[ -d $root ]] || return 0
    pristine_unmount "$root" || return 1
    # --one-file-system: even a mount that appeared after the check is not descended into.
    rm -rf --one-file-system -- "$root"
}
