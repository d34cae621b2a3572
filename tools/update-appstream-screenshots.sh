#!/bin/sh
# Redraws the screenshots the AppStream metadata shows (software centres put them on
# the application's page) with the screenshot tool, into resources/desktop/screenshots
# under the names the metadata gives them.
#   tools/update-appstream-screenshots.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
scenes=$(mktemp -d)
trap 'rm -rf "$scenes"' EXIT
"$here/tools/make-screenshots.sh" "$scenes" "$build" >/dev/null
target=$here/resources/desktop/screenshots
mkdir -p "$target"
cp "$scenes/03-list-selected.png" "$target/main-window.png"
cp "$scenes/11-sheet-three-drafts.png" "$target/review-screenshots.png"
cp "$scenes/40-insights-60.png" "$target/insights.png"
ls -l "$target"
