#!/bin/sh
# Installs the Debian package on a minimal Debian 12 that has none of the build
# dependencies (debootstrap --variant=minbase), and uses it as a person would:
#   - apt installs it with what it depends on, and no compiler or -dev package;
#   - `applywright --version` answers;
#   - under a real X server (Xvfb, brought in only after the step above) the window
#     shows, a screenshot opened with it starts an import, and a second start hands
#     another screenshot to that window;
#   - removing and purging the package leaves the data folder as it was.
# Pictures of the screen (PNG) and a log land in OUTDIR. Needs root, debootstrap
# (scripts/install-deps --clean-room) and a Debian mirror.
#   tools/clean-install-check.sh DEB OUTDIR IMAGE1 IMAGE2 [ROOT]
# ROOT (default: a new folder under /var/tmp) is made by debootstrap unless it
# already holds a Debian root; it is left behind for a look inside.
set -eu
deb=$(realpath "$1")
out=$(realpath -m "$2")
image1=$(realpath "$3")
image2=$(realpath "$4")
root=${5:-$(mktemp -d /var/tmp/applywright-clean-room.XXXXXX)}
here=$(cd "$(dirname "$0")/.." && pwd)
mirror=${MIRROR:-http://deb.debian.org/debian}
mkdir -p "$out"
log=$out/clean-install.log
: >"$log"

say() { echo "clean-install: $*" | tee -a "$log"; }
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
as_ada() {
    in_root /usr/sbin/runuser -u ada -- /usr/bin/env HOME=/home/ada DISPLAY=:99 LANG=C.UTF-8 "$@"
}
# The chroot shares this machine's processes: the application is stopped by the
# process id it wrote down, never by name.
start_app() { # ARGS…: starts applywright as ada in her home folder
    rm -f "$root/tmp/applywright.pid"
    as_ada sh -c 'cd /home/ada && echo $$ >/tmp/applywright.pid && exec applywright "$@"' applywright "$@" \
        >>"$log" 2>&1 &
    for _ in $(seq 1 50); do
        [ -s "$root/tmp/applywright.pid" ] && break
        sleep 0.1
    done
    app=$(cat "$root/tmp/applywright.pid")
}
stop_app() {
    [ -n "${app:-}" ] || return 0
    kill -TERM "$app" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    app=
}
mounted=
cleanup() {
    stop_app
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    for m in $mounted; do umount -l "$m" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ ! -x "$root/usr/bin/apt-get" ]; then
    say "debootstrap --variant=minbase bookworm $root"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >>"$log" 2>&1
fi
for m in proc dev/pts dev/shm; do
    mkdir -p "$root/$m"
done
mount -t proc proc "$root/proc" && mounted="$root/proc $mounted"
mount -t devpts devpts "$root/dev/pts" && mounted="$root/dev/pts $mounted"
mount -t tmpfs tmpfs "$root/dev/shm" && mounted="$root/dev/shm $mounted"
cp /etc/resolv.conf "$root/etc/resolv.conf"

build_tools="g++ cmake make pkg-config qt6-base-dev libtesseract-dev libsqlite3-dev"
absent() {
    for p in $build_tools; do
        if in_root dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            say "FAIL: $p is installed"
            return 1
        fi
    done
}
absent
say "none of $build_tools is installed"

cp "$deb" "$root/tmp/"
say "apt-get install ./$(basename "$deb")"
in_root apt-get update -q >>"$log" 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" >>"$log" 2>&1
absent
say "installed; still none of the build dependencies"
in_root dpkg-query -W -f='${Package} ${Version} ${Installed-Size} KiB installed\n' applywright | tee -a "$log"

in_root useradd --create-home --shell /bin/bash ada 2>/dev/null || true
shown=$(as_ada applywright --version)
say "applywright --version: $shown"
[ "$shown" = "Applywright $(dpkg-deb -f "$deb" Version)" ] || { say "FAIL: --version"; exit 1; }

# Only now what a desktop would have: an X server, and a way to find and draw windows.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    xvfb xdotool x11-apps >>"$log" 2>&1
chroot "$root" /usr/bin/Xvfb :99 -screen 0 1280x900x24 -nolisten tcp >>"$log" 2>&1 &
xvfb=$!
sleep 2

wait_for_window() { # NAME: waits up to 30 s for a window of that title
    for _ in $(seq 1 300); do
        if as_ada xdotool search --name "$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    say "FAIL: no window named '$1'"
    return 1
}
screen() { # NAME [TITLE]: the whole screen in OUTDIR/NAME.png, and the window of that title
    sleep "${SETTLE:-3}"
    as_ada xwd -root -silent -out /tmp/screen.xwd
    python3 "$here/tools/xwd-to-png.py" "$root/tmp/screen.xwd" "$out/$1.png"
    say "screen: $out/$1.png"
    [ -n "${2:-}" ] || return 0
    # Without a window manager a dialog's pixels are not in the root window's picture.
    window=$(as_ada xdotool search --name "$2" | tail -n 1)
    as_ada xwd -id "$window" -silent -out /tmp/window.xwd
    python3 "$here/tools/xwd-to-png.py" "$root/tmp/window.xwd" "$out/$1-window.png"
    say "window: $out/$1-window.png"
}

cp "$image1" "$root/home/ada/$(basename "$image1")"
cp "$image2" "$root/home/ada/$(basename "$image2")"
in_root chown ada:ada "/home/ada/$(basename "$image1")" "/home/ada/$(basename "$image2")"

say "start: applywright, as the application menu does"
start_app
wait_for_window '^Applywright$'
screen 1-window

say "a second start with $(basename "$image1"), as Open With does"
status=0
as_ada sh -c 'cd /home/ada && exec applywright "$1"' applywright "$(basename "$image1")" >>"$log" 2>&1 || status=$?
say "the second start ended with status $status"
wait_for_window 'Review Detected Applications'
screen 2-handed-over 'Review Detected Applications'

say "quit, then a first start with $(basename "$image2")"
stop_app
start_app "$(basename "$image2")"
wait_for_window 'Review Detected Applications'
screen 3-opened-with 'Review Detected Applications'
stop_app

data=$root/home/ada/.local/share/Applywright
before=$(cd "$data" && find . -type f -exec sha256sum {} + | sort)
say "data folder before removal: $(ls "$data" | tr '\n' ' ')"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q applywright >>"$log" 2>&1
if in_root dpkg-query -W -f='${Status}' applywright 2>/dev/null | grep -q 'install ok installed'; then
    say "FAIL: applywright is still installed"
    exit 1
fi
after=$(cd "$data" && find . -type f -exec sha256sum {} + | sort)
if [ "$before" != "$after" ]; then
    say "FAIL: the data folder changed when the package was removed"
    exit 1
fi
say "purged; the data folder is untouched: $(ls "$data" | tr '\n' ' ')"
say "OK"
