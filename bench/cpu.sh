#!/bin/sh
# Processor time on a virtual X server, from /proc/PID/stat over 20 s each:
#   - Clavora idle after start-up, side by side with VMPK idle;
#   - a running game in the hidden game's window;
#   - key-to-MIDI latency through real X11 key events (200 presses).
# The built-in synthesizer renders into a file, so no sound card is needed.
#
#   bench/cpu.sh [SECONDS]       (after `make`; needs xvfb-run, vmpk optional)
set -e
SECONDS_=${1:-20}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
export BUILD SECONDS_

exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
set -e
export XDG_RUNTIME_DIR=$(mktemp -d) JACK_NO_START_SERVER=1
export CLAVORA_SYNTH_SETTINGS="audio.driver=file audio.file.name=$XDG_RUNTIME_DIR/take.wav"
ticks() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
measure() { # name, command...
    name=$1; shift
    "$@" >/dev/null 2>&1 &
    pid=$!
    sleep 3
    before=$(ticks $pid)
    sleep "$SECONDS_"
    after=$(ticks $pid)
    kill $pid; wait $pid 2>/dev/null || true
    hz=$(getconf CLK_TCK)
    echo "$name: $(awk "BEGIN { printf \"%.2f\", 100 * ($after - $before) / $hz / $SECONDS_ }") % of one core over $SECONDS_ s"
}
measure "clavora idle" "$BUILD/clavora"
vmpk=$(command -v vmpk || true)
[ -n "$vmpk" ] && measure "vmpk idle" "$vmpk"
measure "running game" "$BUILD/bench/clavora_game_window_run"
if [ -x "$BUILD/bench/clavora_key_latency" ]; then
    "$BUILD/bench/clavora_key_latency" "$BUILD/clavora" 200
fi
'
