#!/usr/bin/env bash
# build.sh [release|sanitize] [TARGET...]: configure and build into build/<flavour>; with targets,
# only those and what they link (no tests, benchmarks or fuzzers).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
bash scripts/setup.sh
case "$flavour" in
  release)  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DTESSAVO_SANITIZE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: build.sh [release|sanitize]" >&2; exit 64 ;;
esac
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "build/$flavour" -G Ninja "${args[@]}" >/dev/null
targets=()
for t in "${@:2}"; do targets+=(--target "$t"); done
cmake --build "build/$flavour" -j "${JOBS:-2}" "${targets[@]}"
