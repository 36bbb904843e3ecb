#!/usr/bin/env bash
# Installs what building, testing and running need, on a fresh Debian machine as root.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  qt6-base-dev qt6-serialport-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  libxkbcommon-x11-dev
  fonts-dejavu-core fonts-noto-cjk xvfb xauth socat
  help2man desktop-file-utils dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
