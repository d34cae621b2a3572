#!/bin/sh
# Writes the screenshots of the main window into OUTDIR.
#   tools/make-screenshots.sh OUTDIR [BUILD_DIR]     offscreen (default)
#   XVFB=1 tools/make-screenshots.sh OUTDIR           under xvfb-run, as on an X display
set -eu
out=${1:?usage: make-screenshots.sh OUTDIR [BUILD_DIR]}
build=${2:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build=$here/$build ;; esac

cmake --build "$build" --target applywright-screenshots >/dev/null
mkdir -p "$out"

export TZ=Europe/Istanbul LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_LOGGING_RULES='qt.qpa.*=false'
if [ "${XVFB:-0}" = 1 ] && command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1280x900x24' "$build/bin/applywright-screenshots" "$out"
else
    QT_QPA_PLATFORM=offscreen "$build/bin/applywright-screenshots" "$out"
fi
