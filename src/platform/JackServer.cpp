#include "JackServer.h"
#include "AudioDrivers.h"
#include "LibraryMessages.h"
#include "PatientCall.h"

#include <jack/jack.h>

#include <unistd.h>

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
    if (jack_activate(jack) != 0) {
        stop();
        gone_ = true;
        return false;
    }
    return true;
}

bool JackServerWatch::stop()
{
    if (!client_)
        return false;
    Client* client = std::exchange(client_, nullptr);
    // A server that stopped unnoticed (the news may still be on its way)
    // is found out by asking; a failed ask is what makes closing crash.
    if (!gone_ && jackServerRuns()) {
        jack_client_close(client->jack);
        delete client;
        return false;
    }
    gone_ = true;
    abandonDeadJackClient(client);
    return true;
}

void JackServerWatch::onShutdown(void* self)
{
    auto* watch = static_cast<JackServerWatch*>(self);
    watch->gone_ = true;
    const std::lock_guard lock(watch->mutex_);
    if (watch->onGone_)
        watch->onGone_();
}

void JackServerWatch::onPortChange(std::uint32_t, int, void* self)
{
    ++static_cast<JackServerWatch*>(self)->portChanges_;
}

} // namespace clavora
