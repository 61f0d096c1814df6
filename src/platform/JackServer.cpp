#include "JackServer.h"
#include "LibraryMessages.h"

#include <jack/jack.h>

#include <utility>
#include <vector>

namespace clavora {

bool jackServerRuns()
{
    routeLibraryMessages(); // libjack explains why it could not connect
    jack_status_t status {};
    jack_client_t* client = jack_client_open("clavora-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
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
    routeLibraryMessages();
    gone_ = false;
    jack_status_t status {};
    jack_client_t* jack = jack_client_open("clavora-watch", JackNoStartServer, &status);
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
