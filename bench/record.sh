#!/bin/sh
# A take recorded on a virtual X server without any audio output: Clavora
# is started with --record, keys are played, and it is stopped with SIGTERM
# (as Ctrl+C would) TAKE seconds after launch. Prints how long the WAV file
# lasts and the notes the MIDI file holds.
#
#   bench/record.sh [TAKE_SECONDS]     (after `make`; needs xvfb-run, xdotool)
set -e
TAKE=${1:-10}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export CLAVORA=${BUILD_DIR:-$ROOT/build}/clavora TAKE
export OUT=$(mktemp -d)

xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
export XDG_RUNTIME_DIR=$(mktemp -d)
for kind in wav mid; do
    start=$(date +%s.%N)
    "$CLAVORA" --record "$OUT/take.$kind" &
    pid=$!
    sleep 1
    window=$(xdotool search --onlyvisible --name "^Clavora" | head -1)
    xdotool windowfocus --sync "$window"
    for key in q w e r t y; do xdotool keydown $key; sleep 0.4; xdotool keyup $key; sleep 0.2; done
    # Stop exactly TAKE seconds after launch.
    sleep $(echo "$TAKE - ($(date +%s.%N) - $start)" | bc)
    kill -TERM $pid
    wait $pid
done
' 2>/dev/null

python3 - "$OUT" "$TAKE" <<'PY'
import struct, sys, wave
out, take = sys.argv[1], float(sys.argv[2])
with wave.open(out + "/take.wav") as w:
    lasts = w.getnframes() / w.getframerate()
print(f"take.wav lasts {lasts:.3f} s for a {take:.0f} s take ({100 * (lasts - take) / take:+.2f} %)")
data = open(out + "/take.mid", "rb").read()
assert data[:4] == b"MThd" and data[14:18] == b"MTrk"
length = struct.unpack(">I", data[18:22])[0]
assert 22 + length == len(data) and data[-3:] == b"\xff\x2f\x00", "track incomplete"
print(f"take.mid complete: {length} bytes of track, {data.count(bytes([0x90])) } note-on status bytes")
PY
rm -rf "$OUT"
