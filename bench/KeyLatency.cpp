// Key-to-MIDI latency through real X11 events: starts the program with its
// MIDI trace on a named pipe, presses and releases comma with XTest (as a
// keyboard does), and times each press until its note-on leaves the program.
//
//     key_latency PROGRAM [PRESSES]
//
// Needs an X display (Xvfb serves) and the program's built-in synthesizer
// able to open (CLAVORA_SYNTH_SETTINGS may name an audio driver).
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Lines of the trace as they arrive.
class Trace {
public:
    explicit Trace(int fd)
        : fd_(fd)
    {
    }
    // Waits for a line containing `text`, at most `limit`; false on time-out.
    bool waitFor(const char* text, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            char chunk[4096];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n > 0)
                pending_.append(chunk, static_cast<std::size_t>(n));
            for (auto eol = pending_.find('\n'); eol != std::string::npos; eol = pending_.find('\n')) {
                const std::string line = pending_.substr(0, eol);
                pending_.erase(0, eol + 1);
                if (line.find(text) != std::string::npos)
                    return true;
            }
            if (n <= 0)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        return false;
    }
    void drain() { waitFor("\x01", std::chrono::milliseconds(200)); }

private:
    int fd_;
    std::string pending_;
};

Window findWindow(Display* display, Window window, const char* name)
{
    char* title = nullptr;
    XWindowAttributes attributes {};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable
        && XFetchName(display, window, &title) && title) {
        const bool found = std::strcmp(title, name) == 0;
        XFree(title);
        if (found)
            return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window result = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !result; ++i)
            result = findWindow(display, children[i], name);
        if (children)
            XFree(children);
    }
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [PRESSES]\n", argv[0]);
        return 2;
    }
    const int presses = argc > 2 ? std::atoi(argv[2]) : 200;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }

    char folder[] = "/tmp/clavora-latency-XXXXXX";
    if (!::mkdtemp(folder))
        return 2;
    const std::string fifo = std::string(folder) + "/trace";
    ::mkfifo(fifo.c_str(), 0600);
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const std::string runtime = std::string(folder) + "/runtime";
    ::mkdir(runtime.c_str(), 0700);

    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("CLAVORA_MIDI_TRACE", fifo.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::execl(argv[1], argv[1], static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Trace trace(fd);
    // The start-up program changes show that the synthesizer is open.
    if (!trace.waitFor(" C7 ", std::chrono::seconds(15))) {
        std::fprintf(stderr, "the program's synthesizer did not open\n");
        ::kill(child, SIGTERM);
        return 1;
    }
    Window window = 0;
    for (int i = 0; i < 100 && !window; ++i) {
        window = findWindow(display, DefaultRootWindow(display), "Clavora 2.6");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!window) {
        std::fprintf(stderr, "no window named Clavora 2.6\n");
        ::kill(child, SIGTERM);
        return 1;
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    trace.drain();

    const KeyCode comma = XKeysymToKeycode(display, XStringToKeysym("comma"));
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        const auto start = Clock::now();
        XTestFakeKeyEvent(display, comma, True, CurrentTime);
        XFlush(display);
        if (!trace.waitFor(" 90 3C ", std::chrono::seconds(2))) {
            std::fprintf(stderr, "press %d: no note-on\n", i);
            break;
        }
        latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        XTestFakeKeyEvent(display, comma, False, CurrentTime);
        XFlush(display);
        trace.waitFor(" 80 3C ", std::chrono::seconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    ::unlink(fifo.c_str());
    if (latencies.empty())
        return 1;
    std::sort(latencies.begin(), latencies.end());
    const auto at
        = [&](double q) { return latencies[static_cast<std::size_t>(q * static_cast<double>(latencies.size() - 1))]; };
    std::printf("key to MIDI through X11: %zu presses, median %.0f us, 90th percentile %.0f us, worst %.0f us\n",
        latencies.size(), at(0.5), at(0.9), latencies.back());
    return 0;
}
