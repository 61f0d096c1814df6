// Times a program's start as a user meets it: launch to its first window
// mapped on the X server, launch to the first sound of a key pressed the
// moment the window appears (heard on a JACK server, e.g. jackd -d dummy),
// and its resident memory once started.
//
//   clavora_launch_probe [--key KEYCODE] [--settle MS] -- PROGRAM ARGS...
//
// Prints one line: "window_ms=... second_ms=... sound_ms=... rss_mb=...",
// second_ms being the next window mapped (a message box), -1 for what did
// not happen. Without --key no key is pressed and no sound is listened for.
#include <jack/jack.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long long> heardAt {0};
std::atomic<bool> portsChanged {false};
jack_port_t* inputs[2] = {nullptr, nullptr};

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

int onAudio(jack_nframes_t frames, void*)
{
    if (heardAt.load() != 0)
        return 0;
    for (jack_port_t* port : inputs) {
        const auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i) {
            if (samples[i] > 1e-3f || samples[i] < -1e-3f) {
                heardAt = nowNs();
                return 0;
            }
        }
    }
    return 0;
}

// Connects every audio output of another client to our inputs.
void connectOutputs(jack_client_t* client)
{
    const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (!ports)
        return;
    const std::string own = std::string(jack_get_client_name(client)) + ":";
    int n = 0;
    for (const char** p = ports; *p; ++p) {
        const std::string name = *p;
        if (name.rfind("system:", 0) == 0 || name.rfind(own, 0) == 0)
            continue;
        jack_connect(client, *p, jack_port_name(inputs[n++ % 2]));
    }
    jack_free(ports);
}

// The program's own resident pages: anonymous and file-backed, without the
// shared memory a JACK client maps from its server.
double residentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    double kb = 0;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0 || line.rfind("RssFile:", 0) == 0)
            kb += std::atof(line.c_str() + 8);
    return kb / 1024.0;
}

} // namespace

int main(int argc, char* argv[])
{
    int keycode = 0;
    int settleMs = 2000;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (std::strcmp(argv[first], "--key") == 0 && first + 1 < argc)
            keycode = std::atoi(argv[++first]);
        else if (std::strcmp(argv[first], "--settle") == 0 && first + 1 < argc)
            settleMs = std::atoi(argv[++first]);
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: %s [--key KEYCODE] [--settle MS] -- PROGRAM ARGS...\n", argv[0]);
        return 2;
    }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    jack_client_t* jack = nullptr;
    if (keycode) {
        jack = jack_client_open("launch_probe", JackNoStartServer, nullptr);
        if (!jack) {
            std::fprintf(stderr, "no JACK server: start one with jackd -d dummy\n");
            return 1;
        }
        inputs[0] = jack_port_register(jack, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        inputs[1] = jack_port_register(jack, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(jack, onAudio, nullptr);
        // Outputs are connected when ports come, not by polling the server,
        // which would slow down the very client being timed.
        jack_set_port_registration_callback(
            jack, [](jack_port_id_t, int, void*) { portsChanged = true; }, nullptr);
        jack_activate(jack);
    }

    // posix_spawn does not copy this process's memory the way fork() does,
    // so launching costs the same whether or not the probe is a JACK client.
    const long long launched = nowNs();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[first + 1], nullptr, nullptr, argv + first + 1, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[first + 1]);
        return 1;
    }

    long long mappedAt = 0;
    long long secondAt = 0;
    long long releaseAt = 0;
    const long long deadline = launched + 10'000'000'000LL;
    while (nowNs() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && mappedAt != 0 && secondAt == 0)
                secondAt = nowNs();
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && mappedAt == 0) {
                mappedAt = nowNs();
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (keycode) {
                    xcb_set_input_focus(x, XCB_INPUT_FOCUS_POINTER_ROOT, map->window, XCB_CURRENT_TIME);
                    xcb_test_fake_input(
                        x, XCB_KEY_PRESS, static_cast<uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
                    xcb_flush(x);
                    releaseAt = mappedAt + 3'000'000'000LL;
                }
            }
            std::free(event);
        }
        if (jack && portsChanged.exchange(false))
            connectOutputs(jack);
        if (releaseAt && (heardAt.load() || nowNs() > releaseAt)) {
            xcb_test_fake_input(x, XCB_KEY_RELEASE, static_cast<uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            xcb_flush(x);
            releaseAt = 0;
        }
        if (mappedAt && (!keycode || heardAt.load() || releaseAt == 0))
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    for (const long long until = nowNs() + settleMs * 1'000'000LL; nowNs() < until;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && secondAt == 0)
                secondAt = nowNs();
            std::free(event);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const double rss = residentMb(pid);

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (jack)
        jack_client_close(jack);
    xcb_disconnect(x);

    const auto ms = [&](long long at) { return at ? (at - launched) / 1e6 : -1.0; };
    std::printf("window_ms=%.1f second_ms=%.1f sound_ms=%.1f rss_mb=%.1f\n", ms(mappedAt), ms(secondAt),
        ms(heardAt.load()), rss);
    return 0;
}
