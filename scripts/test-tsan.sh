#!/usr/bin/env bash
# Builds everything with ThreadSanitizer and runs every test (fuzz targets and benchmarks are not built).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh tsan
ctest --test-dir build/tsan --output-on-failure -j 2
