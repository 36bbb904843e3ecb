#!/usr/bin/env bash
# Runs downloads into the receiver emulator: builds the release programs and starts stb-emulator on a
# pseudo-terminal pacing a 115200 baud line. With a display it starts the desktop tool with COM1
# pointing at the emulator; without one it sends a sample code image with tessavo2-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only the three programs it runs: the tests and benchmarks are test.sh's business.
bash scripts/build.sh release tessavo2 tessavo2-cli stb-emulator
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
mkdir "$work/received"
"$bin/stb-emulator" --baud 115200 --save-dir "$work/received" >"$work/emulator.out" &
emulator_pid=$!
for _ in $(seq 100); do
  [[ -s $work/emulator.out ]] && break
  sleep 0.05
done
port=$(head -n 1 "$work/emulator.out")
[[ -n $port ]] || { echo "run: the emulator did not start" >&2; exit 1; }

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  head -c $((16 * 1024)) /dev/urandom >"$work/sample-loader.bin"
  cp tests/data/preset/gap.rcu "$work/sample-preset.rcu"
  echo "== tessavo2 with COM1 = receiver emulator ($port, 115200 baud)"
  echo "   Press SET in \"Port Setting\" (Com1, 115.2k), then in a section press Open, pick a sample from"
  echo "   $work (sample.bin, sample-loader.bin, sample-preset.rcu) and press Start Send."
  echo "   Close the window to end."
  status=0
  TESSAVO2_COM1=$port "$bin/tessavo2" || status=$?
  echo "== receiver emulator"
  tail -n +2 "$work/emulator.out"
  exit "$status"
fi

echo "== no display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running the command-line demo instead."
echo "   To see the window, run this script in a desktop session (or over ssh -X); docs/ has screenshots."
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
