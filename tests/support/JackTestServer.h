#pragma once
// A JACK server with the dummy back-end (no sound card needed) for tests that
// need real JACK ports. It always runs under one name, so that a test that
// dies cannot fill JACK's registry of servers (it holds eight), and it is
// always ended by SIGTERM, which frees its place. Tests using it take turns,
// also across test programs run side by side.
//
// Links with clavora_platform_system (for jackServerRuns) and JACK.
#include "ScopedEnvironment.h"
#include "platform/JackServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <jack/jack.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include <sys/prctl.h>

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
    ~JackTestServer() { stop(); }

    // Starts the server and waits (5 s at most) until it answers. False,
    // with the reason in whyNot(), when it cannot start here.
    bool start()
    {
        stop();
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty())
            return fail(QStringLiteral("jackd is not installed"));
        if (jackServerRuns())
            return fail(QStringLiteral("a JACK server named %1 already runs, not ours").arg(kName));
        if (jackStuck())
            return fail(QString::fromLatin1(kLibjackStuck));
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        // Ended with the test, even one that crashes.
        process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_->start(jackd, {"-n", kName, "-d", "dummy", "-r", "48000", "-p", "256"});
        if (!process_->waitForStarted())
            return fail(QStringLiteral("jackd did not start"));
        for (const QDeadlineTimer deadline(5000); !jackServerRuns(); QThread::msleep(10)) {
            if (deadline.hasExpired() || process_->state() != QProcess::Running) {
                stop();
                return fail(QStringLiteral("the dummy JACK server did not come up: ") + output_);
            }
        }
        return true;
    }

    // Ends the server with SIGTERM, as a user stopping it would, and waits
    // for it to go.
    void stop()
    {
        if (!process_)
            return;
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill(); // its place in the registry is lost then
            process_->waitForFinished();
        }
        output_ += QString::fromLocal8Bit(process_->readAll());
        process_.reset();
    }

    const QString& whyNot() const { return output_; }

private:
    bool fail(const QString& reason)
    {
        output_ = reason;
        return false;
    }

    QLockFile turn_;
    ScopedEnvironment server_ {"JACK_DEFAULT_SERVER", kName};
    ScopedEnvironment noReservation_ {"JACK_NO_AUDIO_RESERVATION", "1"};
    std::unique_ptr<QProcess> process_;
    QString output_;
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
