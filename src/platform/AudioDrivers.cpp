#include "AudioDrivers.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <unistd.h>

namespace clavora {

namespace {

QString runtimeDir()
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return dir.isEmpty() ? QStringLiteral("/run/user/%1").arg(::getuid()) : dir;
}

// A JACK 2 server listens on /dev/shm/jack_<server name>_<uid>_0. Looking
// for it costs nothing, where asking the server costs a client of its own.
bool jackSocketExists()
{
    QString server = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    if (server.isEmpty())
        server = QStringLiteral("default");
    return QFileInfo::exists(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(server).arg(::getuid()));
}

} // namespace

AudioFacts AudioFacts::ofThisSystem()
{
    AudioFacts facts;
    facts.pulseServer = !qEnvironmentVariableIsEmpty("PULSE_SERVER")
        || QFileInfo::exists(runtimeDir() + QStringLiteral("/pulse/native"));
    facts.pipewireServer = QFileInfo::exists(runtimeDir() + QStringLiteral("/pipewire-0"));
    facts.jackServer = jackSocketExists();
    facts.alsaDevices = QDir(QStringLiteral("/dev/snd")).exists();
    facts.ossDevice = QFileInfo::exists(QStringLiteral("/dev/dsp"));
    return facts;
}

std::vector<std::string> audioDriverOrder(const std::vector<std::string>& available, const AudioFacts& facts)
{
    struct Candidate {
        const char* name;
        bool usable;
    };
    const Candidate candidates[] = {
        {"pipewire", facts.pipewireServer},
        {"pulseaudio", facts.pulseServer},
        {"jack", facts.jackServer},
        {"alsa", facts.alsaDevices},
        {"oss", facts.ossDevice},
        {"jack", !facts.jackServer},
        {"alsa", !facts.alsaDevices},
    };
    std::vector<std::string> order;
    for (const Candidate& candidate : candidates) {
        if (!candidate.usable || std::find(available.begin(), available.end(), candidate.name) == available.end()
            || std::find(order.begin(), order.end(), candidate.name) != order.end())
            continue;
        order.emplace_back(candidate.name);
    }
    return order;
}

void forbidStartingJackServer()
{
    qputenv("JACK_NO_START_SERVER", QByteArrayLiteral("1"));
}

} // namespace clavora
