#pragma once
// A JACK server with the dummy back-end (no sound card needed) for tests that
// need real JACK ports. It always runs under one name, so that a test that
// dies cannot fill JACK's registry of servers (it holds eight), and it is
// always ended by SIGTERM, which frees its place. Tests using it take turns,
// also across test programs run side by side.
//
// Links with clavora_platform_system (for jackServerRuns) and JACK.
#include "ScopedEnvironment.h"
#include "ServerProcess.h"
#include "platform/JackServer.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <jack/jack.h>

#include <string>
#include <vector>

namespace clavora::test {

inline constexpr const char* kLibjackStuck
    = "libjack waits for a lock that a killed JACK program left held (in /dev/shm/jack_db-<uid>)";

// Whether no JACK client of any program can open here, for the reason above.
inline bool libjackStuck()
{
    jackServerRuns();
    return jackStuck();
}

class JackTestServer {
public:
    static constexpr const char* kName = "clavora-test";

    // Clients of this process connect to this server from now on.
    JackTestServer()
        : turn_(QDir::tempPath() + QStringLiteral("/clavora-test-jack.lock"))
    {
        turn_.setStaleLockTime(0);
        turn_.lock();
    }

    // How the server runs its clients' cycles: JACK 2's default, or in step
    // (no cycle begins before every client has ended the one before).
    enum class Cycles { Default, InStep };

    // Starts the server and waits (5 s at most) until it answers. False,
    // with the reason in whyNot(), when it cannot start here.
    bool start(Cycles cycles = Cycles::Default)
    {
        server_.stop();
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty())
            return server_.fail(QStringLiteral("jackd is not installed"));
        if (jackServerRuns())
            return server_.fail(QStringLiteral("a JACK server named %1 already runs, not ours").arg(kName));
        if (jackStuck())
            return server_.fail(QString::fromLatin1(kLibjackStuck));
        QStringList arguments {"-n", kName};
        if (cycles == Cycles::InStep)
            arguments << "-S";
        arguments << QStringList {"-d", "dummy", "-r", "48000", "-p", "256"};
        return server_.start(jackd, arguments, &jackServerRuns);
    }

    // Ends the server with SIGTERM, as a user stopping it would, and waits
    // for it to go; a server killed otherwise would keep its place in
    // JACK's registry.
    void stop() { server_.stop(); }

    const QString& whyNot() const { return server_.whyNot(); }

private:
    QLockFile turn_;
    ScopedEnvironment serverName_ {"JACK_DEFAULT_SERVER", kName};
    ScopedEnvironment noReservation_ {"JACK_NO_AUDIO_RESERVATION", "1"};
    // Last, so that it ends the server first, before the turn passes on.
    ServerProcess server_;
};

// The JACK graph as another program sees it, through a client of its own.
class JackView {
public:
    JackView()
        : client_(jack_client_open("clavora-view", JackNoStartServer, nullptr))
    {
    }
    ~JackView()
    {
        if (client_)
            jack_client_close(client_);
    }
    JackView(const JackView&) = delete;
    JackView& operator=(const JackView&) = delete;

    bool hasClient(const char* name) const
    {
        char* uuid = client_ ? jack_get_uuid_for_client_name(client_, name) : nullptr;
        if (uuid)
            jack_free(uuid);
        return uuid != nullptr;
    }
    // The ports this port is connected to.
    std::vector<std::string> connections(const char* port) const
    {
        std::vector<std::string> names;
        jack_port_t* found = client_ ? jack_port_by_name(client_, port) : nullptr;
        const char** connected = found ? jack_port_get_all_connections(client_, found) : nullptr;
        for (int i = 0; connected && connected[i]; ++i)
            names.emplace_back(connected[i]);
        if (connected)
            jack_free(connected);
        return names;
    }

private:
    jack_client_t* client_;
};

} // namespace clavora::test
