#!/bin/sh
# Processor time on a virtual X server, from /proc/PID/stat over 20 s each:
#   - Clavora idle after start-up, side by side with VMPK idle, first with
#     the built-in synthesizer rendering into a file (no sound server), then
#     both playing through a PulseAudio server with a null sink, whose own
#     processor time is counted beside each program's;
#   - a running game in the hidden game's window;
#   - key-to-MIDI latency through real X11 key events (200 presses).
#
#   bench/cpu.sh [SECONDS]       (after `make`; needs xvfb-run, vmpk optional)
set -e
SECONDS_=${1:-20}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
export ROOT BUILD SECONDS_

exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
set -e
. "$ROOT/bench/servers.sh"
export XDG_RUNTIME_DIR=$(mktemp -d) JACK_NO_START_SERVER=1
# The built-in synthesizer without a sound server.
into_file="audio.driver=file audio.file.name=$XDG_RUNTIME_DIR/take.wav"
ticks() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
percent() { awk "BEGIN { printf \"%.2f\", 100 * ($1) / $(getconf CLK_TCK) / $SECONDS_ }"; }
# name, command...: the process alone, and with the sound server while one runs.
measure() {
    name=$1; shift
    "$@" >/dev/null 2>&1 &
    pid=$!
    sleep 3
    before=$(ticks $pid)
    server_before=$([ -n "$BENCH_PULSE_PID" ] && ticks $BENCH_PULSE_PID || echo 0)
    sleep "$SECONDS_"
    after=$(ticks $pid)
    server_after=$([ -n "$BENCH_PULSE_PID" ] && ticks $BENCH_PULSE_PID || echo 0)
    kill $pid; wait $pid 2>/dev/null || true
    line="$name: $(percent "$after - $before") % of one core over $SECONDS_ s"
    [ -n "$BENCH_PULSE_PID" ] && line="$line, the PulseAudio server meanwhile $(percent "$server_after - $server_before") %"
    echo "$line"
}
vmpk=$(command -v vmpk || true)
CLAVORA_SYNTH_SETTINGS=$into_file measure "clavora idle" "$BUILD/clavora"
[ -n "$vmpk" ] && measure "vmpk idle" "$vmpk"
runtime=$XDG_RUNTIME_DIR
if command -v pulseaudio >/dev/null && bench_start_pulse; then
    export CLAVORA_SOUNDFONT=$BENCH_SOUNDFONT
    measure "clavora idle on PulseAudio" "$BUILD/clavora"
    if [ -n "$vmpk" ]; then
        vmpk_home=$(bench_vmpk_home pulseaudio)
        HOME=$vmpk_home measure "vmpk idle on PulseAudio" "$vmpk"
        rm -rf "$vmpk_home"
    fi
    bench_stop_pulse
    export XDG_RUNTIME_DIR=$runtime
fi
CLAVORA_SYNTH_SETTINGS=$into_file measure "running game" "$BUILD/bench/clavora_game_window_run"
if [ -x "$BUILD/bench/clavora_key_latency" ]; then
    CLAVORA_SYNTH_SETTINGS=$into_file "$BUILD/bench/clavora_key_latency" "$BUILD/clavora" 200
fi
'
