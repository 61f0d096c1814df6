#!/bin/sh
# Start-up of Clavora side by side with VMPK (a different virtual keyboard,
# used as a yardstick), in one interleaved run on a virtual X server. Both
# programs play FluidR3 GM through their own FluidSynth and are launched
# alike, by a probe that presses X key code 24 (Q, a note in both) the moment
# the program's main window is mapped (VMPK shows a splash screen first) and
# listens for the first sound:
#   1. no audio at all: launch to window and to the "no sound" warning box;
#   2. a JACK server with the dummy back-end (48 kHz, 128-frame periods):
#      launch to window, launch to the first sound, resident memory;
#   3. a PulseAudio server with a null sink kept running by a silent stream,
#      its monitor recorded in 256-byte fragments: the same.
# Prints every run, the medians and the load average of each part.
#
#   bench/startup.sh [RUNS]
#
# Installs what it needs and builds first (set BENCH_NO_BUILD=1 to skip).
set -e
RUNS=${1:-7}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
. "$ROOT/bench/servers.sh"
bench_install
[ -n "$BENCH_NO_BUILD" ] || make -C "$ROOT" build >/dev/null
export ROOT BUILD RUNS

exec xvfb-run -a -n "${BENCH_DISPLAY:-99}" -s "-screen 0 1280x1024x24" sh -c '
set -e
. "$ROOT/bench/servers.sh"
export CLAVORA_SOUNDFONT=$BENCH_SOUNDFONT
# No server of anyone else is found: this name is only ever ours.
export JACK_DEFAULT_SERVER=$BENCH_JACK_SERVER JACK_NO_START_SERVER=1
results=$(mktemp)
probe=$BUILD/bench/clavora_launch_probe
run() { # name, probe options...
    name=$1; shift
    echo "$name $("$probe" "$@" 2>/dev/null || echo failed)" | tee -a "$results"
}
# part name, VMPK audio driver, probe options...
part() {
    label=$1 vmpk_home=$(bench_vmpk_home "$2"); shift 2
    echo "== $label (load average $(bench_load))"
    for i in $(seq "$RUNS"); do
        XDG_RUNTIME_DIR=$(mktemp -d) run "clavora-$label" --title Clavora "$@" -- "$BUILD/clavora"
        HOME=$vmpk_home run "vmpk-$label" --title "Virtual MIDI" "$@" -- vmpk
    done
    rm -rf "$vmpk_home"
}
export XDG_RUNTIME_DIR=$(mktemp -d)
part no-audio jack --settle 1500
bench_start_jack 128
part jack jack --key 24 --settle 1500
bench_stop_jack
bench_start_pulse
# An idle null sink renders in blocks of two seconds, and a new stream waits
# for the block under way: a silent stream of its own keeps it going in
# small blocks, as a sound card would, the same for both programs (the block
# under way when it starts is waited out first).
pacat --latency-msec=2 --raw /dev/zero &
silence=$!
sleep 2.5
part pulseaudio pulseaudio --pulse --key 24 --settle 1500
kill -TERM $silence
bench_stop_pulse
echo "== medians (load average $(bench_load))"
awk "{ for (i = 2; i <= NF; ++i) { split(\$i, kv, \"=\"); v[\$1 \" \" kv[1]] = v[\$1 \" \" kv[1]] \" \" kv[2] } }
     END { for (k in v) print k, v[k] }" "$results" | sort | while read -r prog key values; do
    median=$(echo $values | tr " " "\n" | sort -n | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }")
    echo "$prog $key median $median ($values )"
done
rm -f "$results"
' 2>/dev/null
