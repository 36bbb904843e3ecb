#!/usr/bin/env bash
# Runs a download into the receiver emulator: builds the release programs, starts stb-emulator on a
# pseudo-terminal pacing a 115200 baud line, and sends a sample code image with tessavo2-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh release
bin=build/release/bin

work=$(mktemp -d)
emulator_pid=
cleanup() {
  if [[ -n $emulator_pid ]]; then
    kill "$emulator_pid" 2>/dev/null || true
    wait "$emulator_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

head -c $((48 * 1024)) /dev/urandom >"$work/sample.bin"
"$bin/stb-emulator" --baud 115200 --save-dir "$work" >"$work/emulator.out" &
emulator_pid=$!
for _ in $(seq 100); do
  [[ -s $work/emulator.out ]] && break
  sleep 0.05
done
port=$(head -n 1 "$work/emulator.out")
[[ -n $port ]] || { echo "run: the emulator did not start" >&2; exit 1; }

echo "== tessavo2-cli send --port $port --kind code sample.bin (48 KiB, 115200 baud)"
status=0
"$bin/tessavo2-cli" send --port "$port" --kind code "$work/sample.bin" || status=$?
echo "== exit status $status"
for _ in $(seq 40); do
  [[ $(wc -l <"$work/emulator.out") -ge 2 ]] && break
  sleep 0.05
done
echo "== receiver emulator"
tail -n +2 "$work/emulator.out"
echo "== sample image sha256=$(sha256sum "$work/sample.bin" | cut -d' ' -f1)"
exit "$status"
