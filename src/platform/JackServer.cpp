#include "JackServer.h"
#include "AudioDrivers.h"
#include "LibraryMessages.h"
#include "PatientCall.h"

#include <jack/jack.h>

#include <unistd.h>

#include <thread>
#include <utility>
#include <vector>

namespace clavora {

namespace {

// A client opens in milliseconds, or some hundreds of them on a loaded
// machine; one that has not opened after this waits for a server that does
// not answer, or for a lock that a dead program holds.
constexpr std::chrono::seconds kJackPatience {2};

// There is one libjack in the process, and so one record of whether it is
// caught waiting.
PatientCall& libjack()
{
    static PatientCall calls(kJackPatience);
    return calls;
}

// Opens a client of the server without ever starting one, patiently. Null
// when none answers, or libjack did not come back in time.
jack_client_t* openJackClient(const char* name)
{
    routeLibraryMessages(); // libjack explains why it could not connect
    const bool wasStuck = libjack().stuck();
    jack_client_t* client = openPatiently<jack_client_t>(
        libjack(),
        [name] {
            jack_status_t status {};
            return jack_client_open(name, JackNoStartServer, &status);
        },
        [](jack_client_t* late) { jack_client_close(late); });
    if (!wasStuck && libjack().stuck()) {
        qWarning("JACK did not answer within %d s, and is left out until it does. Its server may be stopped or "
                 "hung, or a JACK program that was killed may have left the lock of JACK's metadata held: "
                 "removing /dev/shm/jack_db-%d while no JACK program runs frees that.",
            static_cast<int>(kJackPatience.count()), static_cast<int>(::getuid()));
    }
    return client;
}

} // namespace

bool jackServerRuns()
{
    jack_client_t* client = openJackClient("clavora-probe");
    if (client)
        jack_client_close(client);
    return client != nullptr;
}

bool jackServerMayBeBack(std::chrono::steady_clock::time_point lostAt)
{
    constexpr std::chrono::seconds kServerSettles {1};
    return std::chrono::steady_clock::now() - lostAt >= kServerSettles && AudioFacts::ofThisSystem().jackServer;
}

bool jackStuck()
{
    return libjack().stuck();
}

void abandonDeadJackClient(const void* owner)
{
    // Reachable from here until the very end, so that leak checkers do not
    // count it: the list itself is never destroyed.
    static std::mutex mutex;
    static auto* const abandoned = new std::vector<const void*>;
    const std::lock_guard lock(mutex);
    abandoned->push_back(owner);
}

struct JackServerWatch::Client {
    jack_client_t* jack;
};

JackServerWatch::~JackServerWatch()
{
    stop();
}

void JackServerWatch::setOnGone(std::function<void()> onGone)
{
    const std::lock_guard lock(mutex_);
    onGone_ = std::move(onGone);
}

bool JackServerWatch::start()
{
    stop();
    gone_ = false;
    jack_client_t* jack = openJackClient("clavora-watch");
    if (!jack) {
        gone_ = true;
        return false;
    }
    client_ = new Client {jack};
    jack_on_shutdown(jack, &JackServerWatch::onShutdown, this);
    jack_set_port_registration_callback(jack, &JackServerWatch::onPortChange, this);
    if (cycles_ == Cycles::Followed)
        jack_set_process_callback(jack, &JackServerWatch::onCycle, this);
    if (jack_activate(jack) != 0) {
        stop();
        gone_ = true;
        return false;
    }
    return true;
}

bool JackServerWatch::stop(const std::function<void()>& beforeClose)
{
    if (!client_)
        return false;
    // A server that stopped unnoticed (the news may still be on its way)
    // is found out by asking; a failed ask is what makes closing crash.
    if (!gone_ && jackServerRuns()) {
        if (beforeClose) {
            beforeClose();
            awaitCycles();
        }
        if (!gone_) {
            Client* client = std::exchange(client_, nullptr);
            jack_client_close(client->jack);
            delete client;
            return false;
        }
    }
    gone_ = true;
    abandonDeadJackClient(std::exchange(client_, nullptr));
    return true;
}

void JackServerWatch::awaitCycles()
{
    if (cycles_ != Cycles::Followed)
        return;
    // A server in step starts no cycle before every client has ended the
    // one before: the second cycle of ours from now comes after the cycles
    // now running. Otherwise those take microseconds, unless a loaded
    // machine holds their thread up: the wait then lasts 20 ms at least,
    // however short the cycles are.
    constexpr unsigned kCycles = 2;
    constexpr std::chrono::milliseconds kAtLeast {20};
    constexpr std::chrono::seconds kPatience {1};
    const unsigned from = cyclesRun_;
    const auto start = std::chrono::steady_clock::now();
    const auto waited = [start] { return std::chrono::steady_clock::now() - start; };
    while (!gone_ && (cyclesRun_ - from < kCycles || waited() < kAtLeast) && waited() < kPatience)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void JackServerWatch::onShutdown(void* self)
{
    auto* watch = static_cast<JackServerWatch*>(self);
    watch->gone_ = true;
    const std::lock_guard lock(watch->mutex_);
    if (watch->onGone_)
        watch->onGone_();
}

int JackServerWatch::onCycle(std::uint32_t, void* self)
{
    ++static_cast<JackServerWatch*>(self)->cyclesRun_;
    return 0;
}

void JackServerWatch::onPortChange(std::uint32_t, int, void* self)
{
    ++static_cast<JackServerWatch*>(self)->portChanges_;
}

} // namespace clavora
