#!/usr/bin/env bash
# Runs a download into the receiver emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh release
echo "run: not wired yet"
