# Sound servers and set-up shared by the benchmark scripts (sourced, not run).
# Every server started here is private to the benchmark and ended with
# SIGTERM: a JACK server killed otherwise keeps its place in JACK's registry.

BENCH_JACK_SERVER=clavora-bench
BENCH_SOUNDFONT=/usr/share/sounds/sf2/FluidR3_GM.sf2

# Installs the Debian packages the benchmarks need, as `make run` does.
bench_install() {
    missing=""
    for p in vmpk jackd2 pulseaudio pulseaudio-utils libpulse-dev fluid-soundfont-gm xvfb xauth procps; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
}

# A home folder for VMPK whose configuration plays through its FluidSynth
# back-end with the same SoundFont as Clavora, on the audio driver given
# (jack or pulseaudio). Prints the folder.
bench_vmpk_home() {
    home=$(mktemp -d)
    mkdir -p "$home/.config/vmpk.sourceforge.net"
    cat >"$home/.config/vmpk.sourceforge.net/VMPK.conf" <<EOF
[Connections]
InEnabled=false
OutPort=FluidSynth
OutputDriver=FluidSynth

[FluidSynth]
AudioDriver=$1
InstrumentsDefinition=$BENCH_SOUNDFONT
EOF
    echo "$home"
}

# JACK with its dummy back-end at 48 kHz and this period size, in frames.
bench_start_jack() {
    export JACK_DEFAULT_SERVER=$BENCH_JACK_SERVER
    jackd -n "$BENCH_JACK_SERVER" -d dummy -r 48000 -p "$1" >/dev/null 2>&1 &
    BENCH_JACK_PID=$!
    trap bench_stop_servers EXIT
    jack_wait -w -t 5 -s "$BENCH_JACK_SERVER" >/dev/null 2>&1 && return 0
    echo "jackd did not start" >&2
    return 1
}

bench_stop_jack() {
    [ -n "$BENCH_JACK_PID" ] && kill -TERM "$BENCH_JACK_PID" && wait "$BENCH_JACK_PID" 2>/dev/null || true
    BENCH_JACK_PID=""
    unset JACK_DEFAULT_SERVER
}

# PulseAudio with a null sink at 48 kHz (no sound card needed), in a runtime
# folder of its own, which the programs started afterwards find it by.
bench_start_pulse() {
    BENCH_PULSE_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR=$BENCH_PULSE_DIR PULSE_RUNTIME_PATH=$BENCH_PULSE_DIR/pulse
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=stderr \
        -L "module-null-sink sink_name=null rate=48000" -L module-native-protocol-unix >/dev/null 2>&1 &
    BENCH_PULSE_PID=$!
    trap bench_stop_servers EXIT
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "pulseaudio did not start" >&2
    return 1
}

bench_stop_pulse() {
    [ -n "$BENCH_PULSE_PID" ] && kill -TERM "$BENCH_PULSE_PID" && wait "$BENCH_PULSE_PID" 2>/dev/null || true
    BENCH_PULSE_PID=""
    [ -n "$BENCH_PULSE_DIR" ] && rm -rf "$BENCH_PULSE_DIR"
    BENCH_PULSE_DIR=""
    unset PULSE_RUNTIME_PATH
}

# PipeWire with its PulseAudio service and a null sink at 48 kHz, on a
# session bus of its own for its session manager, in a runtime folder of its
# own. Only where PipeWire is installed: it is not installed for the
# benchmark, as it would take over from PulseAudio at the next login.
bench_start_pipewire() {
    for p in pipewire pipewire-pulse wireplumber dbus-daemon; do
        command -v "$p" >/dev/null || { echo "== PipeWire: not installed ($p missing), skipped"; return 1; }
    done
    BENCH_PIPEWIRE_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR=$BENCH_PIPEWIRE_DIR PULSE_RUNTIME_PATH=$BENCH_PIPEWIRE_DIR/pulse
    dbus-daemon --session --fork --address="unix:path=$BENCH_PIPEWIRE_DIR/bus" --print-pid=1 >"$BENCH_PIPEWIRE_DIR/bus.pid"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$BENCH_PIPEWIRE_DIR/bus"
    trap bench_stop_servers EXIT
    pipewire >/dev/null 2>&1 &
    BENCH_PIPEWIRE_PIDS=$!
    wireplumber >/dev/null 2>&1 &
    BENCH_PIPEWIRE_PIDS="$BENCH_PIPEWIRE_PIDS $!"
    pipewire-pulse >/dev/null 2>&1 &
    BENCH_PIPEWIRE_PIDS="$BENCH_PIPEWIRE_PIDS $!"
    for _ in $(seq 50); do
        if pactl info >/dev/null 2>&1; then
            pactl load-module module-null-sink sink_name=null rate=48000 >/dev/null && pactl set-default-sink null && sleep 0.5 && return 0
            break
        fi
        sleep 0.1
    done
    echo "PipeWire did not start" >&2
    return 1
}

bench_stop_pipewire() {
    # shellcheck disable=SC2086 # a list of process numbers
    [ -n "$BENCH_PIPEWIRE_PIDS" ] && kill -TERM $BENCH_PIPEWIRE_PIDS && wait $BENCH_PIPEWIRE_PIDS 2>/dev/null || true
    BENCH_PIPEWIRE_PIDS=""
    if [ -n "$BENCH_PIPEWIRE_DIR" ]; then
        kill -TERM "$(cat "$BENCH_PIPEWIRE_DIR/bus.pid")" 2>/dev/null || true
        rm -rf "$BENCH_PIPEWIRE_DIR"
    fi
    BENCH_PIPEWIRE_DIR=""
    unset PULSE_RUNTIME_PATH DBUS_SESSION_BUS_ADDRESS
}

bench_stop_servers() {
    bench_stop_jack
    bench_stop_pulse
    bench_stop_pipewire
}

# The one-minute load average now.
bench_load() {
    cut -d" " -f1 /proc/loadavg
}

# Median, 90th and 99th percentile (nearest rank) of the numbers read, one
# per line, negative ones (what did not come) left out: "1.52 4.27 5.01 (100)".
bench_percentiles() {
    awk '$1 >= 0' | sort -n | awk '
        { v[NR] = $1 }
        function at(q,  i) { i = int(q * NR + 0.999999); if (i < 1) i = 1; return v[i] }
        END { if (NR == 0) print "- - - (0)"; else printf "%.2f %.2f %.2f (%d)\n", at(0.5), at(0.9), at(0.99), NR }'
}
