// Key to sound through real X11 key events: starts a program, presses a key
// with XTest the way a keyboard does, and times each press until the first
// sample louder than -60 dBFS reaches a listener on the sound server (a JACK
// client connected to the program's outputs, or a recording of the
// PulseAudio sink's monitor). With --trace the program is also given a MIDI
// trace on a named pipe (CLAVORA_MIDI_TRACE), and the time from the press to
// the note-on's line is printed beside it.
//
//   clavora_sound_latency (--jack | --pulse) [--key KEYCODE] [--presses N]
//                         [--silence MS] [--trace] [--title TEXT] -- PROGRAM ARGS...
//
// The keys go to the first window mapped whose title holds TEXT (the first
// of any kind without --title). Each press waits for MS milliseconds of
// silence first (100 by default; 2000 lets Clavora's PulseAudio stream come
// to rest before each one).
//
// Prints one line per press: "sound_ms=... midi_ms=... block_ms=..." (-1
// for what did not come; block_ms is the time from the last block the
// listener received to the press, the press's place in the audio period),
// and a last line "# capture_delay_ms=..." for the listener's own
// delay where the sound server reports one.
#include "SoundCapture.h"
#include "WindowTitle.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using bench::nowNs;

namespace {

constexpr long long kMs = 1'000'000;

// Note-on lines of the MIDI trace as they arrive ("1534.207 90 3C 7F").
class TraceReader {
public:
    bool open(std::string& path)
    {
        char folder[] = "/tmp/sound-latency-XXXXXX";
        if (!::mkdtemp(folder))
            return false;
        folder_ = folder;
        path = path_ = folder_ + "/trace";
        if (::mkfifo(path_.c_str(), 0600) != 0)
            return false;
        fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        return fd_ >= 0;
    }
    ~TraceReader()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
        if (!folder_.empty())
            ::rmdir(folder_.c_str());
    }
    // True when a note-on line has come since the last call.
    bool noteOnArrived()
    {
        bool found = false;
        char chunk[4096];
        ssize_t n = 0;
        while (fd_ >= 0 && (n = ::read(fd_, chunk, sizeof chunk)) > 0)
            pending_.append(chunk, static_cast<std::size_t>(n));
        for (auto eol = pending_.find('\n'); eol != std::string::npos; eol = pending_.find('\n')) {
            unsigned time = 0, status = 0, data1 = 0, data2 = 0;
            if (std::sscanf(pending_.c_str(), "%u.%*u %x %x %x", &time, &status, &data1, &data2) == 4
                && (status & 0xF0) == 0x90 && data2 > 0)
                found = true;
            pending_.erase(0, eol + 1);
        }
        return found;
    }

private:
    int fd_ = -1;
    std::string folder_;
    std::string path_;
    std::string pending_;
};

struct Options {
    bool jack = false;
    bool pulse = false;
    bool trace = false;
    int keycode = 24;
    int presses = 20;
    int warmups = 3;
    // Silence before each press, in milliseconds.
    int silenceMs = 100;
    const char* title = nullptr;
    char** program = nullptr;
};

bool parse(int argc, char* argv[], Options& options)
{
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string arg = argv[i];
        if (arg == "--jack")
            options.jack = true;
        else if (arg == "--pulse")
            options.pulse = true;
        else if (arg == "--trace")
            options.trace = true;
        else if (arg == "--key" && i + 1 < argc)
            options.keycode = std::atoi(argv[++i]);
        else if (arg == "--silence" && i + 1 < argc)
            options.silenceMs = std::atoi(argv[++i]);
        else if (arg == "--presses" && i + 1 < argc)
            options.presses = std::atoi(argv[++i]);
        else if (arg == "--title" && i + 1 < argc)
            options.title = argv[++i];
        else
            return false;
    }
    options.program = i + 1 < argc ? argv + i + 1 : nullptr;
    return options.program && options.jack != options.pulse && options.presses > 0;
}

void fakeKey(xcb_connection_t* x, uint8_t type, int keycode)
{
    xcb_test_fake_input(x, type, static_cast<uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(x);
}

void drainX(xcb_connection_t* x)
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(x))
        std::free(event);
}

// Waits until nothing has been heard for `quiet`, at most `limit`.
bool waitForSilence(bench::SoundCapture& capture, long long quiet, long long limit)
{
    const long long end = nowNs() + limit;
    while (nowNs() < end) {
        capture.poll();
        if (nowNs() - capture.lastLoudAt() > quiet)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
            "usage: %s (--jack | --pulse) [--key KEYCODE] [--presses N] [--silence MS] [--trace] [--title TEXT] -- "
            "PROGRAM ARGS...\n",
            argv[0]);
        return 2;
    }
    std::unique_ptr<bench::SoundCapture> capture
        = options.jack ? bench::SoundCapture::openJack("sound_probe") : bench::SoundCapture::openPulse(256);
    if (!capture) {
        std::fprintf(stderr, "no %s server to listen on\n", options.jack ? "JACK" : "PulseAudio");
        return 1;
    }
    xcb_connection_t* x = bench::connectWatchingWindows();
    if (!x)
        return 1;

    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    TraceReader trace;
    if (options.trace) {
        std::string path;
        if (!trace.open(path)) {
            std::fprintf(stderr, "cannot make the trace pipe\n");
            return 1;
        }
        environment.push_back("CLAVORA_MIDI_TRACE=" + path);
    }
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawnp(&pid, options.program[0], nullptr, nullptr, options.program, envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", options.program[0]);
        return 1;
    }
    const auto stop = [&](int code) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        xcb_disconnect(x);
        return code;
    };

    // The program's window takes the keyboard.
    xcb_window_t window = XCB_NONE;
    for (const long long end = nowNs() + 15'000 * kMs; window == XCB_NONE && nowNs() < end;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && window == XCB_NONE
                && bench::titled(x, map->window, options.title))
                window = map->window;
            std::free(event);
        }
        capture->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (window == XCB_NONE) {
        std::fprintf(stderr, "no window appeared\n");
        return stop(1);
    }
    xcb_set_input_focus(x, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(x);

    // Warm-up presses until the program is heard: its synthesizer may still
    // be loading.
    bool heard = false;
    for (int i = 0; i < options.warmups + 5 && !(heard && i >= options.warmups); ++i) {
        capture->arm();
        fakeKey(x, XCB_KEY_PRESS, options.keycode);
        for (const long long end = nowNs() + 5'000 * kMs; !capture->heardAt() && nowNs() < end;) {
            capture->poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        heard = capture->heardAt() != 0;
        fakeKey(x, XCB_KEY_RELEASE, options.keycode);
        waitForSilence(*capture, 100 * kMs, 5'000 * kMs);
    }
    if (!heard) {
        std::fprintf(stderr, "the program was never heard\n");
        return stop(1);
    }

    // Where the server has a period, the presses are spread evenly over it,
    // in the same order for every program, so that programs are compared at
    // the same points of the period; elsewhere they land at random points.
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> offsetUs(0, 6000);
    const double period = capture->periodMs();
    for (int i = 0; i < options.presses; ++i) {
        if (!waitForSilence(*capture, options.silenceMs * kMs, options.silenceMs * kMs + 10'000 * kMs))
            std::fprintf(stderr, "press %d: the last note still sounds\n", i);
        if (period > 0) {
            const long long block = capture->lastBlockAt();
            while (capture->lastBlockAt() == block)
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            const double place = std::fmod(0.5 + i * 0.6180339887, 1.0);
            const long long at = capture->lastBlockAt() + static_cast<long long>(place * period * 1e6);
            // Asleep until just before, so as not to take a core from the
            // programs timed; the rest is waited out exactly.
            std::this_thread::sleep_for(std::chrono::nanoseconds(at - nowNs() - 200'000));
            while (nowNs() < at)
                std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(offsetUs(random)));
        }
        drainX(x);
        trace.noteOnArrived();
        capture->arm();
        const long long pressed = nowNs();
        const long long sincePeriod = pressed - capture->lastBlockAt();
        fakeKey(x, XCB_KEY_PRESS, options.keycode);
        long long traced = 0;
        for (const long long end = pressed + 2'000 * kMs; nowNs() < end;) {
            if (options.trace && !traced && trace.noteOnArrived())
                traced = nowNs();
            if (capture->heardAt() && (traced || !options.trace))
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        const long long sounded = capture->heardAt();
        fakeKey(x, XCB_KEY_RELEASE, options.keycode);
        const auto ms = [&](long long at) { return at ? static_cast<double>(at - pressed) / 1e6 : -1.0; };
        std::printf("sound_ms=%.3f midi_ms=%.3f block_ms=%.3f\n", ms(sounded), ms(traced),
            static_cast<double>(sincePeriod) / 1e6);
        std::fflush(stdout);
    }
    std::printf("# capture_delay_ms=%.3f\n", capture->ownDelayMs());
    return stop(0);
}
