#!/usr/bin/env bash
# build.sh [release|sanitize|tsan] [TARGET...]: configure and build into build/<flavour>; with targets,
# only those and what they link (no tests, benchmarks or fuzzers).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
bash scripts/setup.sh
case "$flavour" in
  release)  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DTESSAVO_SANITIZE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  # The fuzz targets link ASan and a benchmark replaces operator new: neither can share a program with
  # ThreadSanitizer.
  tsan)     args=(-DCMAKE_BUILD_TYPE=Debug -DTESSAVO_TSAN=ON -DTESSAVO_FUZZ=OFF -DTESSAVO_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: build.sh [release|sanitize|tsan] [TARGET...]" >&2; exit 64 ;;
esac
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "build/$flavour" -G Ninja "${args[@]}" >/dev/null
targets=()
for t in "${@:2}"; do targets+=(--target "$t"); done
cmake --build "build/$flavour" -j "${JOBS:-2}" "${targets[@]}"
