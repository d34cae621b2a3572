#!/bin/sh
# A real paste under a real X server: starts the application with a fresh data
# folder, puts an image on the clipboard with xclip, presses the "Paste Job
# Posting" shortcut (Ctrl+Shift+V) in its window and waits for the review sheet.
# Leaves a picture of the screen in OUTDIR.
#   tools/paste-under-x.sh [IMAGE] [OUTDIR] [BUILD_DIR]
# IMAGE defaults to a blank page (the sheet then says no text was found). Without a
# DISPLAY the script runs itself under xvfb-run. Needs xclip, xdotool and xwd
# (scripts/install-deps installs them).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
image=${1:-$here/tests/data/not-postings/blank-white.png}
out=${2:-$here/build/paste-under-x}
build=${3:-$here/build}
case $image in /*) ;; *) image=$PWD/$image ;; esac
case $out in /*) ;; *) out=$PWD/$out ;; esac

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x900x24' "$0" "$image" "$out" "$build"
fi

mkdir -p "$out"
home=$(mktemp -d)
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

# A data folder of its own: the user's applications are never touched.
XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config QT_QPA_PLATFORM=xcb \
    "$build/bin/applywright" >"$out/applywright.log" 2>&1 &
app=$!

window=
for _ in $(seq 1 100); do
    window=$(xdotool search --pid "$app" --name '^Applywright$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "paste-under-x: the window did not appear" >&2; exit 1; }

# xclip keeps serving the selection from the background until someone else owns it.
xclip -selection clipboard -t image/png -i "$image"
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --clearmodifiers ctrl+shift+v

sheet=
for _ in $(seq 1 300); do
    sheet=$(xdotool search --pid "$app" --name 'Review Detected Applications' 2>/dev/null | tail -n 1) || true
    [ -n "$sheet" ] && break
    sleep 0.1
done
[ -n "$sheet" ] || { echo "paste-under-x: no review sheet after the paste" >&2; exit 1; }

# Let the recognition finish and the sheet settle, then take the screen.
sleep "${SETTLE:-4}"
xwd -root -silent -out "$out/screen.xwd"
xwd -id "$sheet" -silent -out "$out/sheet.xwd"
python3 "$here/tools/xwd-to-png.py" "$out/sheet.xwd" "$out/sheet.png" && rm -f "$out/sheet.xwd"
python3 "$here/tools/xwd-to-png.py" "$out/screen.xwd" "$out/screen.png" && rm -f "$out/screen.xwd"
echo "paste-under-x: review sheet open (window $sheet); screen in $out"
