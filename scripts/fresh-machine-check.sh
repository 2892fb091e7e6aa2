#!/usr/bin/env bash
# What a newcomer gets: the README's two commands, `make demo` then `make test`, run in a
# pristine Debian 12 root made by mmdebstrap from Debian's packages alone, on a clone of
# the commit under test. Only the base root and downloaded .deb files are cached; the
# project's own set-up always installs into a new root, since that is what is checked.
#   fresh-machine-check.sh [COMMIT]      (default HEAD; run as root)
# Environment: JOTBIRD_FRESH_CACHE (cache folder), JOTBIRD_FRESH_LOGS (log folder).
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
cache=${JOTBIRD_FRESH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/jotbird-fresh-machine}
logs=${JOTBIRD_FRESH_LOGS:-$cache/logs/$(date -u +%Y%m%dT%H%M%SZ)-${commit:0:12}}
suite=bookworm
# A minimal Debian 12 with make, the one program the README's commands assume; everything
# else is the project's own set-up's to install.
base_packages=make
base=$cache/$suite-minbase-${base_packages//,/-}.tar

say() { printf 'fresh-machine-check: %s\n' "$*"; }
die() { say "$*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || die "needs root (mmdebstrap, chroot and mounts)"
for tool in mmdebstrap unshare chroot; do
    command -v "$tool" >/dev/null || die "$tool is missing: run 'apt-get install mmdebstrap'"
done
mkdir -p "$cache/debs/partial" "$logs"

# The machine's own package sources and fetch settings, so the root reaches the archive
# exactly as the machine does.
sources=(/etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list)
mirrors=()
for file in "${sources[@]}"; do
    [[ -s "$file" ]] && grep -q "$suite" "$file" && mirrors+=("$file")
done
[[ ${#mirrors[@]} -gt 0 ]] || die "no apt source for $suite in /etc/apt"
aptopts=()
for file in /etc/apt/apt.conf.d/*; do
    grep -qs -E '^\s*Acquire::' "$file" && aptopts+=(--aptopt="$file")
done

if [[ ! -s "$base" ]]; then
    say "making the base root $base"
    mmdebstrap --variant=minbase --format=tar --include="$base_packages" "${aptopts[@]}" \
        "$suite" "$base.part" "${mirrors[@]}" >"$logs/mmdebstrap.log" 2>&1 ||
        die "mmdebstrap failed, see $logs/mmdebstrap.log"
    mv "$base.part" "$base"
fi

work=$(mktemp -d "${TMPDIR:-/var/tmp}/jotbird-fresh.XXXXXX")
root=$work/root
child=
cleanup() {
    # unshare ignores SIGTERM while it waits; killed, it takes its namespace's every process
    # with it (--kill-child).
    if [[ -n "$child" ]]; then
        kill -KILL "$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
    fi
    # The mounts live in the check's own mount namespace and are gone with it; never
    # cross into another file system all the same.
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$root"
tar -xf "$base" -C "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q --no-local "$repo" "$root/root/jotbird"
git -C "$root/root/jotbird" checkout -q --detach "$commit"
say "commit $commit in $root"
say "logs in $logs"

# Inside a private mount and PID namespace: its own /proc, /sys, /dev, /dev/shm and /tmp,
# the .deb cache as apt's archive folder, and every process ended with the namespace.
inner() {
    set -euo pipefail
    root=$1 cache=$2
    mount --make-rprivate /
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
    mount -t tmpfs -o mode=1777,nosuid,nodev tmp "$root/tmp"
    mount --bind "$cache/debs" "$root/var/cache/apt/archives"
    run() {
        chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            LANG=C.UTF-8 bash -c "cd /root/jotbird && $1"
    }
    for command in 'make demo' 'make test'; do
        local log=$LOGS/${command#make }.log since=$SECONDS
        if ! run "$command" >"$log" 2>&1; then
            echo "fresh-machine-check: $command failed"
            echo "$log" >"$LOGS/failed"
            exit 3
        fi
        echo "fresh-machine-check: $command passed in $((SECONDS - since)) s"
    done
}
# Downloaded packages stay for the next run; apt's own clean-up would remove them.
echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' \
    >"$root/etc/apt/apt.conf.d/10jotbird-keep-debs"

start=$SECONDS
status=0
LOGS=$logs unshare --mount --pid --fork --kill-child=KILL \
    bash -c "$(declare -f inner); inner \"\$@\"" inner "$root" "$cache" &
child=$!
wait "$child" || status=$?
child=
say "took $((SECONDS - start)) s"
if [[ $status -ne 0 ]]; then
    if [[ -s "$logs/failed" ]]; then
        log=$(cat "$logs/failed")
        say "last lines of $log:"
        tail -n 60 "$log" | sed 's/^/  /'
    fi
    die "failed (status $status); logs in $logs"
fi
say "passed; logs in $logs"
