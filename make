#!/bin/sh
# `./make run`, `./make test`, …: make, on a machine that may not have it yet. A fresh
# Debian has no make; this installs it with everything else Applywright needs
# (scripts/install-deps), then hands the arguments to make. Once make is there,
# plain `make run` does the same.
set -e
cd "$(dirname "$0")"
if ! command -v make >/dev/null 2>&1; then
    scripts/install-deps
fi
exec make "$@"
