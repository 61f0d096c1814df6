// Times a program's start as a user meets it: launch to its first window
// mapped on the X server, launch to the first sound of a key pressed the
// moment the window appears (heard on a JACK server, e.g. jackd -d dummy, or
// with --pulse in a recording of the PulseAudio sink's monitor), and its
// resident memory once started.
//
//   clavora_launch_probe [--key KEYCODE] [--pulse] [--title TEXT] [--settle MS]
//                        -- PROGRAM ARGS...
//
// Prints one line: "window_ms=... second_ms=... sound_ms=... rss_mb=...
// first_ms=...", the window being the first mapped whose title holds TEXT
// (any window without --title), second_ms the next window mapped (a message
// box) and first_ms the first window of any kind (a splash screen); -1 for
// what did not happen. Without --key no key is pressed and no sound is
// listened for.
#include "SoundCapture.h"
#include "WindowTitle.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

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

using bench::nowNs;
using bench::titled;

namespace {

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
    bool pulse = false;
    const char* title = nullptr;
    int settleMs = 2000;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (std::strcmp(argv[first], "--key") == 0 && first + 1 < argc)
            keycode = std::atoi(argv[++first]);
        else if (std::strcmp(argv[first], "--settle") == 0 && first + 1 < argc)
            settleMs = std::atoi(argv[++first]);
        else if (std::strcmp(argv[first], "--pulse") == 0)
            pulse = true;
        else if (std::strcmp(argv[first], "--title") == 0 && first + 1 < argc)
            title = argv[++first];
    }
    if (first + 1 >= argc) {
        std::fprintf(
            stderr, "usage: %s [--key KEYCODE] [--pulse] [--title TEXT] [--settle MS] -- PROGRAM ARGS...\n", argv[0]);
        return 2;
    }

    xcb_connection_t* x = bench::connectWatchingWindows();
    if (!x)
        return 1;

    std::unique_ptr<bench::SoundCapture> capture;
    if (keycode) {
        capture = pulse ? bench::SoundCapture::openPulse(256) : bench::SoundCapture::openJack("launch_probe");
        if (!capture) {
            std::fprintf(stderr, "no sound server to listen on: start jackd -d dummy or a PulseAudio server\n");
            return 1;
        }
    }

    // posix_spawn does not copy this process's memory the way fork() does,
    // so launching costs the same whether or not the probe is a JACK client.
    const auto heard = [&capture] { return capture ? capture->heardAt() : 0LL; };
    const long long launched = nowNs();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[first + 1], nullptr, nullptr, argv + first + 1, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[first + 1]);
        return 1;
    }

    long long firstAt = 0;
    long long mappedAt = 0;
    long long secondAt = 0;
    long long releaseAt = 0;
    const long long deadline = launched + 10'000'000'000LL;
    while (nowNs() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (mapped && firstAt == 0)
                firstAt = nowNs();
            if (mapped && mappedAt != 0 && secondAt == 0)
                secondAt = nowNs();
            if (mapped && mappedAt == 0 && titled(x, map->window, title)) {
                mappedAt = nowNs();
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
        if (capture)
            capture->poll();
        if (releaseAt && (heard() || nowNs() > releaseAt)) {
            xcb_test_fake_input(x, XCB_KEY_RELEASE, static_cast<uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            xcb_flush(x);
            releaseAt = 0;
        }
        if (mappedAt && (!keycode || heard() || releaseAt == 0))
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
    const long long heardAt = heard();
    capture.reset();
    xcb_disconnect(x);

    const auto ms = [&](long long at) { return at ? (at - launched) / 1e6 : -1.0; };
    std::printf("window_ms=%.1f second_ms=%.1f sound_ms=%.1f rss_mb=%.1f first_ms=%.1f\n", ms(mappedAt), ms(secondAt),
        ms(heardAt), rss, ms(firstAt));
    return 0;
}
