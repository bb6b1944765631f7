#!/usr/bin/env bash
# Runs the README's test command (scripts/test.sh) on Debian 13 (trixie) in a chroot, from a fresh
# clone of the current commit, and reports its exit code with a summary line. Needs root. The
# chroot is kept between runs and made again when it is older than a week; the clone and its
# builds stay in it until the next run, at /root/vantiro inside the chroot.
#   VANTIRO_TRIXIE_CHROOT  where the chroot is kept (default /var/cache/vantiro/trixie-chroot)
#   VANTIRO_DEBIAN_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
#   VANTIRO_FUZZ_SECONDS   passed on to the test command
set -euo pipefail
cd "$(dirname "$0")/.."

root=${VANTIRO_TRIXIE_CHROOT:-/var/cache/vantiro/trixie-chroot}
mirror=${VANTIRO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
maxAgeMinutes=$((7 * 24 * 60))
stamp=.vantiro-created

if [ "$(id -u)" -ne 0 ]; then
    echo "debian13-check.sh: braucht root (debootstrap, mount, chroot)." >&2
    exit 2
fi
commit=$(git rev-parse HEAD)
repository=$(git rev-parse --show-toplevel)
if ! git diff --quiet HEAD; then
    echo "Hinweis: Nicht eingecheckte Änderungen werden nicht geprüft, nur $commit."
fi

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
if ! flock -n 9; then
    echo "debian13-check.sh: Eine andere Prüfung benutzt $root schon." >&2
    exit 2
fi

# A folder with something mounted below it must never be removed: rm would reach into /dev.
removeTree() {
    local dir=$1
    [ -e "$dir" ] || return 0
    if findmnt -rn -o TARGET | grep -qE "^$(realpath "$dir")(/|$)"; then
        echo "debian13-check.sh: Unter $dir ist noch etwas eingehängt; es bleibt stehen." >&2
        exit 2
    fi
    rm -rf --one-file-system "$dir"
}

makeChroot() {
    if ! command -v debootstrap >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
    fi
    local fresh="$root.new"
    removeTree "$fresh"
    echo "Lege die Debian-13-Umgebung in $root an (debootstrap) ..."
    debootstrap --variant=minbase --include=git,ca-certificates trixie "$fresh" "$mirror" \
        >"$root.debootstrap.log" 2>&1 || {
        tail -n 20 "$root.debootstrap.log" >&2
        echo "debian13-check.sh: debootstrap ist gescheitert (Protokoll: $root.debootstrap.log)." >&2
        exit 2
    }
    cat >"$fresh/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
deb http://deb.debian.org/debian-security trixie-security main
EOF
    # Package scripts must not start servers (pure-ftpd) that would outlive the run.
    printf '#!/bin/sh\nexit 101\n' >"$fresh/usr/sbin/policy-rc.d"
    chmod 755 "$fresh/usr/sbin/policy-rc.d"
    touch "$fresh/$stamp"
    removeTree "$root"
    mv "$fresh" "$root"
}

if [ ! -f "$root/$stamp" ] || [ -n "$(find "$root/$stamp" -mmin +$maxAgeMinutes)" ]; then
    makeChroot
fi
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

mounted=()
cleanUp() {
    # Every step is tried, whatever the one before did.
    set +e
    # Whatever the tests left running inside (a test server, say) would keep the mounts busy.
    [ -n "${follower:-}" ] && kill "$follower" 2>/dev/null
    local real pid
    real=$(realpath "$root")
    for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$real" ] && kill -KILL "${pid#/proc/}" 2>/dev/null
    done
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" || true
    done
}
trap cleanUp EXIT
trap 'exit 130' INT TERM HUP

mountIn() {
    local target=${*: -1}
    mount "$@"
    mounted+=("$target")
}
# A run that was killed outright (SIGKILL) could not unmount; those mounts go first.
for dir in tmp dev sys proc; do
    mountpoint -q "$root/$dir" && umount -R "$root/$dir"
done
mountIn -t proc proc "$root/proc"
mountIn -t sysfs sysfs "$root/sys"
# /dev with /dev/pts and /dev/shm below it; rslave keeps the chroot's unmounts away from the host.
mountIn --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mountpoint -q "$root/dev/pts" || mountIn -t devpts devpts "$root/dev/pts"
mountIn -t tmpfs -o mode=1777 tmpfs "$root/tmp"

clone="$root/root/vantiro"
removeTree "$clone"
git clone --quiet --no-checkout "$repository" "$clone"
git -C "$clone" cat-file -e "$commit^{commit}" 2>/dev/null ||
    git -C "$clone" fetch --quiet origin "$commit"
git -C "$clone" checkout --quiet --detach "$commit"

log="$root.test.log"
echo "Debian 13: scripts/test.sh für $commit (Protokoll: $log)"
start=$(date +%s)
# In the background, so that a signal ends the wait at once and the clean-up can stop the run.
# CMAKE_BUILD_PARALLEL_LEVEL keeps the builds to two jobs, as on the shared build machine; ccache
# (installed by setup.sh, its cache kept in the chroot) makes the next run's fresh build quick.
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM=dumb CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" \
    CMAKE_CXX_COMPILER_LAUNCHER=ccache \
    ${VANTIRO_FUZZ_SECONDS:+VANTIRO_FUZZ_SECONDS=$VANTIRO_FUZZ_SECONDS} \
    bash -c 'cd /root/vantiro && scripts/test.sh' >"$log" 2>&1 &
child=$!
tail -n +1 -f --pid="$child" "$log" &
follower=$!
status=0
wait "$child" || status=$?
wait "$follower" || true
minutes=$((($(date +%s) - start + 59) / 60))

versions=$(chroot "$root" sh -c 'echo "gcc $(gcc -dumpfullversion)";
    dpkg-query -W -f="\${Package} \${Version}\n" qt6-base-dev libcurl4-openssl-dev libssh2-1-dev clang' \
    2>/dev/null | paste -sd ';' - || true)
tests=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | paste -sd ';' - || true)
echo "Debian 13: ${versions:-Versionen unbekannt}"
if [ "$status" -eq 0 ]; then
    echo "Debian 13: scripts/test.sh bestanden (Exit-Code 0, $minutes min; ${tests:-keine Testzählung})"
else
    echo "Debian 13: scripts/test.sh gescheitert (Exit-Code $status, $minutes min;" \
        "${tests:-keine Testzählung}; Protokoll: $log)"
fi
exit "$status"
