#!/usr/bin/env bash
# package.sh [--install-check]: builds the release programs and the Debian package
# build/package/tessavo2_<version>_<arch>.deb. With --install-check (as CI does) it then installs
# that package with apt, runs tessavo2-cli --version from it and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
args=(-DCMAKE_BUILD_TYPE=Release -DTESSAVO_TESTS=OFF -DTESSAVO_BENCH=OFF -DTESSAVO_FUZZ=OFF)
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/package -G Ninja "${args[@]}" >/dev/null
cmake --build build/package -j "${JOBS:-2}"
rm -f build/package/tessavo2_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/tessavo2_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends

if [[ ${1:-} == --install-check ]]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq "./$deb" >/dev/null
  trap 'apt-get remove -y -qq tessavo2 >/dev/null' EXIT
  dpkg -L tessavo2 | grep -E '^/usr/(bin|share/(applications|icons/hicolor/scalable/apps|man/man1))/'
  /usr/bin/tessavo2-cli --version
  env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tessavo2 --version
fi
