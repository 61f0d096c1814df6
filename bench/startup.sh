#!/bin/sh
# Start-up of Clavora side by side with VMPK (a different virtual keyboard,
# used as a yardstick), in one interleaved run on a virtual X server:
#   1. no audio at all: launch to window and to the "no sound" warning box;
#   2. a JACK server with the dummy back-end (no sound card needed): launch
#      to window, launch to the first sound of a key pressed the moment the
#      window appears, and resident memory once started.
# Prints every run and the medians.
#
#   bench/startup.sh [RUNS]      (after `make`; needs xvfb-run, jackd, vmpk)
set -e
RUNS=${1:-7}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
export CLAVORA=$BUILD/clavora PROBE=$BUILD/bench/clavora_launch_probe RUNS

exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
set -e
export XDG_RUNTIME_DIR=$(mktemp -d)
results=$(mktemp)
vmpk=$(command -v vmpk || true)
run() { # name, probe options...
    name=$1; shift
    echo "$name $("$PROBE" "$@")" | tee -a "$results"
}
echo "== no audio output"
for i in $(seq "$RUNS"); do
    run clavora-no-audio --settle 1500 -- "$CLAVORA"
    [ -n "$vmpk" ] && run vmpk-no-audio --settle 1500 -- "$vmpk"
done
echo "== JACK dummy server"
jackd -d dummy -r 48000 -p 128 >/dev/null 2>&1 &
jack=$!
sleep 2
for i in $(seq "$RUNS"); do
    # X keycode 24 is Q: a note of the main area. Both programs are launched
    # alike, by a probe that listens on the JACK server and presses the key.
    run clavora-jack --key 24 --settle 1500 -- "$CLAVORA"
    [ -n "$vmpk" ] && run vmpk-jack --key 24 --settle 1500 -- "$vmpk"
done
kill $jack; wait $jack 2>/dev/null || true
echo "== medians"
awk "{ for (i = 2; i <= NF; ++i) { split(\$i, kv, \"=\"); v[\$1 \" \" kv[1]] = v[\$1 \" \" kv[1]] \" \" kv[2] } }
     END { for (k in v) print k, v[k] }" "$results" | sort | while read -r prog key values; do
    median=$(echo $values | tr " " "\n" | sort -n | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }")
    echo "$prog $key median $median ($values )"
done
rm -f "$results"
' 2>/dev/null
