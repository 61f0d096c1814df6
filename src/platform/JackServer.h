#pragma once
// The JACK server this process's clients connect to, and what to do with
// those clients when it goes away.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace clavora {

// Whether a JACK server answers, asked without ever starting one. Quick
// either way (no server means no socket to connect to), unless libjack is
// caught waiting, for a server that is stopped or for a lock that a dead
// JACK program holds: the answer is then no, after two seconds the first
// time, at once from then on.
bool jackServerRuns();
// Whether a JACK server may run again after the one a device of ours
// depended on stopped at `lostAt`: its socket is there, and a second has
// passed since. A server that has just stopped may still be ending, and a
// client that connects meanwhile makes it end by SIGPIPE instead of
// cleanly. Cheap: it does not ask the server.
bool jackServerMayBeBack(std::chrono::steady_clock::time_point lostAt);
// Whether a call into libjack is caught waiting: JACK must not be called
// into (it would not come back) until it answers again.
bool jackStuck();

// Keeps a JACK client of a server that has gone away (or anything that owns
// one) from ever being freed. Once a server has stopped, libjack crashes in
// any call into such a client (closing it, unregistering its ports) as soon
// as another client of the process has failed to connect, so the client is
// given up instead: it stays allocated, unused, until the process ends. A
// few kilobytes per stopped server.
void abandonDeadJackClient(const void* owner);

// A port-less client of our own that hears when the JACK server stops, for
// as long as a device of ours depends on that server.
class JackServerWatch {
public:
    // What the watch takes part in: only the server's news, or also its
    // processing cycles (a thread of JACK's then runs each cycle), so that
    // stop() can let a cycle of another client of ours end first.
    enum class Cycles { Ignored, Followed };

    explicit JackServerWatch(Cycles cycles = Cycles::Ignored)
        : cycles_(cycles)
    {
    }
    ~JackServerWatch();
    JackServerWatch(const JackServerWatch&) = delete;
    JackServerWatch& operator=(const JackServerWatch&) = delete;

    // Called once, on a thread of JACK's, when the server stops while
    // watched. It must only pass the news on (queue it).
    void setOnGone(std::function<void()> onGone);

    // Starts watching the server. False when none answers, or libjack is
    // stuck (its client is opened as patiently as jackServerRuns asks): it
    // counts as gone then.
    bool start();
    // Stops watching; the server is asked whether it still runs first.
    // True when it had stopped while watched: a device on it must then be
    // given up, not closed. False when nothing was watched.
    //
    // While the server runs, `beforeClose` is called (it closes a port of
    // ours), and with cycles followed stop() then waits for two more of the
    // server's cycles and 20 ms (a second at most), so that a cycle of
    // another client that began before has ended: always on a server that
    // runs its clients in step (jackd -S), and on one that does not (JACK
    // 2's default) unless a loaded machine holds that cycle up for longer.
    bool stop(const std::function<void()>& beforeClose = {});
    // With cycles followed, waits for two more of the server's cycles and
    // 20 ms (a second at most, or until the server has gone), as above.
    void awaitCycles();
    // Whether the server stopped while watched (or did not answer when the
    // watch started). A device on it must not be called into any more.
    bool serverGone() const { return gone_; }
    bool watching() const { return client_ != nullptr; }
    // How many ports have come or gone on the server while watched: while
    // this stays the same, the ports a device looks for are as they were.
    unsigned portChanges() const { return portChanges_; }

private:
    static void onShutdown(void* self);
    static int onCycle(std::uint32_t frames, void* self); // a jack_nframes_t
    static void onPortChange(std::uint32_t port, int registered, void* self); // a jack_port_id_t

    struct Client;
    Cycles cycles_;
    Client* client_ = nullptr;
    std::atomic<unsigned> cyclesRun_ = 0;
    std::atomic<bool> gone_ = false;
    std::atomic<unsigned> portChanges_ = 0;
    std::mutex mutex_;
    std::function<void()> onGone_;
};

} // namespace clavora
