#!/usr/bin/env bash
# Proves the Debian package installs on a clean Debian 12 and the station starts from it:
# builds the .deb with cpack from a build folder, makes a minimal bookworm root with debootstrap
# (kept as a tarball in a cache folder, so a rerun skips the download), installs the package
# there with apt-get (which fails when the package's Depends miss a library), then runs
# `quillmar --version`, starts the station offscreen for a few seconds and stops it with SIGTERM.
#
#   packaging/test-deb.sh [--build DIR] [--cache DIR] [--mirror URL] [--keep]
#
#   --build DIR   the configured and built build folder (default: build)
#   --cache DIR   where the clean root's tarball is kept (default: ~/.cache/quillmar-deb-test)
#   --mirror URL  the Debian mirror (default: each bookworm mirror of this machine's apt
#                 sources in turn, until one works; the security archive likewise)
#   --keep        leave the test root in place and print where it is
#
# Needs root for debootstrap, chroot and mount; run as another user it starts itself again
# with sudo.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
cache="${HOME:-/root}/.cache/quillmar-deb-test"
mirror=""
keep=0
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=${2:?--build needs a folder}; shift 2 ;;
        --cache) cache=${2:?--cache needs a folder}; shift 2 ;;
        --mirror) mirror=${2:?--mirror needs a URL}; shift 2 ;;
        --keep) keep=1; shift ;;
        --help|-h) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "$0: unknown option $1" >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)

if [ "$(id -u)" -ne 0 ]; then
    again=(--build "$build" --cache "$cache")
    [ -n "$mirror" ] && again+=(--mirror "$mirror")
    [ "$keep" -eq 1 ] && again+=(--keep)
    exec sudo "$0" "${again[@]}"
fi

begin=$SECONDS
phase_start=$SECONDS
timings=()
phase() {  # name: the time since the last phase ended
    timings+=("$1 $((SECONDS - phase_start)) s")
    phase_start=$SECONDS
}

# Each tool this test calls, and the Debian package that provides it.
missing=()
for pair in cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev file:file debootstrap:debootstrap \
            zstd:zstd chroot:coreutils mount:mount mountpoint:util-linux python3:python3; do
    command -v "${pair%%:*}" >/dev/null || missing+=("$pair")
done
if [ ${#missing[@]} -gt 0 ]; then
    for pair in "${missing[@]}"; do
        echo "$0: '${pair%%:*}' is missing; the Debian package '${pair#*:}' provides it" >&2
    done
    exit 1
fi

# The mirrors come from this machine's own apt sources, never from the tree.
mirrors=()
security=()
[ -z "$mirror" ] || mirrors=("$mirror")
while read -r kind uri; do
    case "$kind" in
        main) [ -n "$mirror" ] || mirrors+=("$uri") ;;
        security) security+=("$uri") ;;
    esac
done < <(python3 "$top/packaging/apt-mirrors.py" --release bookworm)
[ ${#mirrors[@]} -gt 0 ] ||
    { echo "$0: no bookworm mirror in /etc/apt/sources.list*; name one with --mirror URL" >&2; exit 1; }
[ ${#security[@]} -gt 0 ] || security=("")

work=$(mktemp -d "${TMPDIR:-/var/tmp}/quillmar-deb-test.XXXXXX")
root="$work/root"
station_pid=""
mounted=()

# shellcheck disable=SC2317  # run by the EXIT trap
finish() {
    local status=$? m i
    if [ -n "$station_pid" ] && kill -0 "$station_pid" 2>/dev/null; then
        kill -KILL "$station_pid" 2>/dev/null || true
        wait "$station_pid" 2>/dev/null || true
    fi
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        m=${mounted[i]}
        umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
    done
    # Never remove through a mount that is still in place.
    for m in "${mounted[@]}"; do
        if mountpoint -q "$m"; then
            echo "$0: $m is still mounted; leaving $work" >&2
            exit "$status"
        fi
    done
    if [ "$keep" -eq 1 ]; then
        echo "The test root is left in $root"
    else
        rm -rf --one-file-system "$work"
    fi
    if [ "$status" -eq 0 ]; then
        phase cleanup
        echo "PASS in $((SECONDS - begin)) s (${timings[*]})"
    fi
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# 1. The package, from the same install rules as `cmake --install`.
cmake --build "$build" --target quillmar quillmar-receiver-sim >/dev/null
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(find "$work/package" -maxdepth 1 -name 'quillmar_*.deb' | head -n 1)
[ -n "$deb" ] || fail "cpack made no quillmar_*.deb"
version=$(dpkg-deb -f "$deb" Version)
echo "Package: $(basename "$deb") ($(du -h "$deb" | cut -f1))"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
phase cpack

# 2. A clean Debian 12, unpacked from the cache or made afresh.
tarball="$cache/bookworm-minbase.tar.zst"
mkdir -p "$root"
if [ -s "$tarball" ]; then
    tar --zstd -xpf "$tarball" -C "$root"
else
    echo "Making a clean Debian 12 root with debootstrap (cached in $tarball for next time)"
    made=""
    for m in "${mirrors[@]}"; do
        rm -rf --one-file-system "$root" && mkdir -p "$root"
        if debootstrap --variant=minbase bookworm "$root" "$m" >"$work/debootstrap.log" 2>&1; then
            made=$m
            break
        fi
        echo "debootstrap from $m failed: $(tail -n 1 "$work/debootstrap.log")"
    done
    [ -n "$made" ] || { tail -n 30 "$work/debootstrap.log" >&2; fail "debootstrap failed from every mirror"; }
    mirrors=("$made")
    # Nothing installed here may start a service.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    rm -rf "$root"/var/cache/apt/archives/*.deb
    tar --zstd -cpf "$tarball.part" -C "$root" . && mv "$tarball.part" "$tarball"
fi
phase root

mount -t proc proc "$root/proc"
mounted+=("$root/proc")
if [ ! -c "$root/dev/null" ]; then
    mount --bind /dev "$root/dev"
    mounted+=("$root/dev")
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The downloaded packages are kept beside the tarball, so a rerun installs without fetching.
mkdir -p "$cache/archives/partial"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")
# A throwaway root need not survive a power cut: dpkg may skip its syncs.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/quillmar-test-unsafe-io"

clean_env=(/usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
           DEBIAN_FRONTEND=noninteractive)
in_root() {
    chroot "$root" "${clean_env[@]}" "$@"
}

# 3. apt-get resolves the package's Depends from the archive alone, with the sources of an
# ordinary installation: the release, its updates and security fixes.
updated=0
for m in "${mirrors[@]}"; do
    for s in "${security[@]}"; do
        printf 'deb %s bookworm main\ndeb %s bookworm-updates main\n' "$m" "$m" >"$root/etc/apt/sources.list"
        [ -z "$s" ] || printf 'deb %s bookworm-security main\n' "$s" >>"$root/etc/apt/sources.list"
        if in_root apt-get update -qq >"$work/apt.log" 2>&1; then
            updated=1
            break 2
        fi
        echo "apt-get update from $m${s:+ and $s} failed"
    done
done
[ "$updated" -eq 1 ] || { cat "$work/apt.log" >&2; fail "apt-get update failed from every mirror"; }
cp "$deb" "$root/tmp/"
phase update
in_root sh -c "cd /tmp && apt-get install -y -q --no-install-recommends ./$(basename "$deb")" \
    >>"$work/apt.log" 2>&1 || { tail -n 30 "$work/apt.log" >&2; fail "apt-get install of the package failed"; }
echo "Installed with $(grep -c '^Setting up ' "$work/apt.log") packages set up"
phase install

# 4. The installed files.
for f in /usr/bin/quillmar /usr/bin/quillmar-receiver-sim; do
    [ -x "$root$f" ] || fail "$f is not installed"
done
desktop=/usr/share/applications/quillmar.desktop
icon=/usr/share/icons/hicolor/scalable/apps/quillmar.svg
help=/usr/share/quillmar/sathelp.hlp
unit=/usr/lib/systemd/user/quillmar.service
[ -f "$root$unit" ] || unit=/lib/systemd/user/quillmar.service
for f in "$desktop" "$icon" "$help" "$unit"; do
    [ -s "$root$f" ] || fail "$f is not installed"
done
exec_line=$(sed -n 's/^Exec=//p' "$root$desktop")
in_root sh -c "command -v ${exec_line%% *}" >/dev/null || fail "$desktop runs '$exec_line', which is not on the PATH"
grep -qx 'Icon=quillmar' "$root$desktop" || fail "$desktop names another icon"
start=$(sed -n 's/^ExecStart=//p' "$root$unit")
[ -x "$root${start%% *}" ] || fail "$unit starts '$start', which is not installed"
cmp -s "$root$help" "$top/resources/sathelp.hlp" || fail "$help differs from resources/sathelp.hlp"

# ---- Service units, polkit rule and the quillmar group: begin ----
system_unit=/usr/lib/systemd/system/quillmar-station.service
[ -f "$root$system_unit" ] || system_unit=/lib/systemd/system/quillmar-station.service
rules=/usr/share/polkit-1/rules.d/50-quillmar.rules
for f in "$system_unit" "$rules"; do
    [ -s "$root$f" ] || fail "$f is not installed"
done
in_root getent group quillmar >/dev/null || fail "the package made no quillmar group"
in_root getent passwd quillmar >/dev/null || fail "the package made no quillmar user"
grep -q 'org.freedesktop.timedate1.set-time' "$root$rules" && grep -q 'isInGroup("quillmar")' "$root$rules" ||
    fail "$rules does not let the quillmar group set the time"
grep -qx 'AmbientCapabilities=CAP_SYS_RAWIO' "$root$system_unit" ||
    fail "$system_unit does not grant CAP_SYS_RAWIO alone"
[ "$(grep -c '^AmbientCapabilities=' "$root$system_unit")" -eq 1 ] || fail "$system_unit grants more"
for u in "$unit" "$system_unit"; do
    grep -qx 'Type=notify' "$root$u" && grep -q '^WatchdogSec=' "$root$u" ||
        fail "$u is not Type=notify with a watchdog"
done
[ -z "$(find "$root/etc/systemd/system" -name quillmar-station.service 2>/dev/null)" ] ||
    fail "quillmar-station.service is enabled by default"
# systemd-analyze comes with systemd, which a minimal root lacks.
in_root apt-get install -y -q --no-install-recommends systemd >>"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; fail "apt-get install systemd failed"; }
for u in "$unit" "$system_unit"; do
    said=$(in_root systemd-analyze verify "$u" 2>&1) || fail "systemd-analyze verify rejects $u: $said"
    [ -z "$said" ] || fail "systemd-analyze verify warns about $u: $said"
done
echo "Both units, the polkit rule and the quillmar group are in place; systemd-analyze verify accepts both units"
# ---- Service units, polkit rule and the quillmar group: end ----

# 5. The program runs from the package.
said=$(in_root quillmar --version) || fail "quillmar --version failed"
[ "$said" = "quillmar $version" ] || fail "quillmar --version says '$said', the package is $version"
echo "quillmar --version: $said"

mkdir -p "$root/tmp/station-home" "$root/tmp/station-runtime"
chmod 700 "$root/tmp/station-runtime"
# Started as one command, not through a function, so $! is the station itself (chroot and env
# run it in their own process) and the signal reaches it.
chroot "$root" "${clean_env[@]}" XDG_DATA_HOME=/tmp/station-home \
    XDG_RUNTIME_DIR=/tmp/station-runtime QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 \
    quillmar >"$work/station.out" 2>&1 &
station_pid=$!
sleep 5
kill -0 "$station_pid" 2>/dev/null || { cat "$work/station.out" >&2; fail "quillmar ended by itself"; }
[ -d "$root/tmp/station-home/quillmar/drives/c/satfile" ] ||
    { cat "$work/station.out" >&2; fail "quillmar made no drives/c/satfile in its data root"; }
kill -TERM "$station_pid"
status=0
for _ in $(seq 100); do
    kill -0 "$station_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$station_pid" 2>/dev/null && fail "quillmar did not end within 10 s of SIGTERM"
wait "$station_pid" || status=$?
station_pid=""
[ "$status" -eq 0 ] || { cat "$work/station.out" >&2; fail "quillmar ended with status $status on SIGTERM"; }
echo "quillmar started offscreen, made drives/c/satfile, and ended with status 0 on SIGTERM"
phase run
