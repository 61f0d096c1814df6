#!/bin/sh
# Key to sound: Clavora side by side with VMPK (a different virtual keyboard,
# used as a yardstick), both playing FluidR3 GM through their own FluidSynth,
# in one interleaved run on a virtual X server, on these audio paths:
#   1. a JACK server with the dummy back-end at 48 kHz, 64-frame periods;
#   2. the same with 256-frame periods;
#   3. a PulseAudio server with a null sink, its monitor recorded in 256-byte
#      fragments (32 frames);
#   4. the same with two seconds of silence before each press, a quarter of
#      the presses: Clavora's stream rests after one second of silence, so
#      this times the first note after a pause;
#   5. and 6. paths 3 and 4 on PipeWire's PulseAudio service, where PipeWire
#      is installed.
# Each press of X key code 24 (Q, a note in both programs) is made with XTest
# (on JACK at points spread evenly over the period, in the same order for
# both programs) and timed until the first sample above -60 dBFS reaches the
# listener: on
# JACK a client connected to the synthesizer's outputs, hearing each period
# as it is rendered; on PulseAudio the recording, which adds the same delay
# for both programs (printed as "capture delay"). Beside Clavora's figures
# stands the press to the note-on's line in its MIDI trace, which is the
# window system and our own code without the synthesizer and audio.
#
#   bench/latency.sh [PRESSES] [ROUNDS]
#
# PRESSES per program and path (default 100), taken in ROUNDS launches of
# each program, alternating (default 2). Installs what it needs and builds
# first (set BENCH_NO_BUILD=1 to skip); raw figures are kept in a folder
# named at the end.
set -e
PRESSES=${1:-100}
ROUNDS=${2:-2}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
. "$ROOT/bench/servers.sh"
bench_install
[ -n "$BENCH_NO_BUILD" ] || make -C "$ROOT" build >/dev/null
export ROOT BUILD PRESSES ROUNDS
export RAW=${BENCH_RAW:-$(mktemp -d /tmp/clavora-latency-XXXXXX)}
mkdir -p "$RAW"

exec xvfb-run -a -n "${BENCH_DISPLAY:-99}" -s "-screen 0 1280x1024x24" sh -c '
set -e
. "$ROOT/bench/servers.sh"
export CLAVORA_SOUNDFONT=$BENCH_SOUNDFONT
probe=$BUILD/bench/clavora_sound_latency
per=$(( (PRESSES + ROUNDS - 1) / ROUNDS ))

# name, audio driver of VMPK, probe option, presses per round, silence
# before each press in milliseconds
path() {
    name=$1 vmpk_home=$(bench_vmpk_home "$2") option=$3 presses=${4:-$per} silence=${5:-100}
    load_before=$(bench_load)
    for round in $(seq "$ROUNDS"); do
        "$probe" "$option" --trace --title Clavora --presses "$presses" --silence "$silence" -- "$BUILD/clavora" >>"$RAW/$name.clavora" 2>>"$RAW/errors" \
            || echo "   Clavora failed on $name, round $round (see $RAW/errors)"
        HOME=$vmpk_home "$probe" "$option" --title "Virtual MIDI" --presses "$presses" --silence "$silence" -- vmpk >>"$RAW/$name.vmpk" 2>>"$RAW/errors" \
            || echo "   VMPK failed on $name, round $round (see $RAW/errors)"
    done
    load_after=$(bench_load)
    rm -rf "$vmpk_home"
    capture=$(grep -h "capture_delay_ms" "$RAW/$name.clavora" | tail -1 | cut -d= -f2)
    echo "== $name (load average $load_before at the start, $load_after at the end)"
    [ "$option" = --pulse ] && echo "   capture delay reported by PulseAudio: $capture ms (the same for both programs)"
    echo "                               median    p90    p99 (presses), ms"
    echo "   Clavora key to sound        $(sed -n "s/^sound_ms=\([^ ]*\).*/\1/p" "$RAW/$name.clavora" | bench_percentiles)"
    echo "   Clavora key to MIDI trace   $(sed -n "s/.*midi_ms=\([^ ]*\).*/\1/p" "$RAW/$name.clavora" | bench_percentiles)"
    echo "   VMPK key to sound           $(sed -n "s/^sound_ms=\([^ ]*\).*/\1/p" "$RAW/$name.vmpk" | bench_percentiles)"
}

export XDG_RUNTIME_DIR=$(mktemp -d)
bench_start_jack 64
path jack-64 jack --jack
bench_stop_jack
bench_start_jack 256
path jack-256 jack --jack
bench_stop_jack
bench_start_pulse
path pulseaudio pulseaudio --pulse
path pulseaudio-after-rest pulseaudio --pulse $(( (per + 3) / 4 )) 2000
bench_stop_pulse
if bench_start_pipewire; then
    path pipewire pulseaudio --pulse
    path pipewire-after-rest pulseaudio --pulse $(( (per + 3) / 4 )) 2000
    bench_stop_pipewire
fi
echo "raw figures: $RAW"
'
