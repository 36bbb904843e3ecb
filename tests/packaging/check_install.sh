#!/usr/bin/env bash
# check_install.sh BUILD_DIR: installs the build into a temporary prefix, prints the files it made
# and checks them: the three programs, the desktop entry, the icon and the three manual pages.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
files=$(cd "$prefix" && find . -type f | sort)
echo "$files"
expected="./bin/stb-emulator
./bin/tessavo2
./bin/tessavo2-cli
./share/applications/tessavo2.desktop
./share/icons/hicolor/scalable/apps/tessavo2.svg
./share/man/man1/stb-emulator.1
./share/man/man1/tessavo2-cli.1
./share/man/man1/tessavo2.1"
diff <(echo "$expected") <(echo "$files")
desktop-file-validate "$prefix/share/applications/tessavo2.desktop"
for program in tessavo2 tessavo2-cli stb-emulator; do
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$program" --version)
  [[ $version == "$program "[0-9]* ]] || { echo "$program --version: $version" >&2; exit 1; }
  grep -q "^\.TH ${program^^} " "$prefix/share/man/man1/$program.1"
done
echo "install: ok"
