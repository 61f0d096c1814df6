#pragma once
// A PulseAudio server with a null sink (no sound card needed) for tests that
// need a real sound server. Its sockets live in a folder of its own, by
// which the clients of this process find it; it is ended by SIGTERM.
//
// Links with libpulse-simple.
#include "ScopedEnvironment.h"
#include "ServerProcess.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <pulse/simple.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>

namespace clavora::test {

class PulseTestServer {
public:
    // Starts the server and waits (5 s at most) until it answers. False,
    // with the reason in whyNot(), when it cannot start here.
    bool start()
    {
        server_.stop();
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
            return server_.fail(QStringLiteral("pulseaudio or pactl is not installed"));
        if (!dir_.isValid())
            return server_.fail(QStringLiteral("no folder for the server's sockets"));
        return server_.start(pulseaudio,
            {"-n", "--daemonize=no", "--exit-idle-time=-1", "--log-target=stderr", "-L",
                "module-null-sink sink_name=null rate=48000", "-L", "module-native-protocol-unix"},
            [] {
                QProcess info;
                info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
                return info.waitForFinished(2000) && info.exitStatus() == QProcess::NormalExit && info.exitCode() == 0;
            });
    }

    // Ends the server with SIGTERM, as a restart of it does.
    void stop() { server_.stop(); }

    // Stops the server where it is (SIGSTOP), as one that hangs, or lets
    // it go on.
    void hold(bool held) { server_.signal(held ? SIGSTOP : SIGCONT); }

    // Whether what the null sink plays, recorded from just before
    // `meanwhile` runs to three seconds after, holds a sample that is not
    // silent.
    template <typename Meanwhile> bool playsSound(Meanwhile meanwhile)
    {
        const pa_sample_spec spec {PA_SAMPLE_S16LE, 48000, 1};
        pa_buffer_attr attributes {};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.fragsize = 1024;
        int error = 0;
        pa_simple* recorder = pa_simple_new(
            nullptr, "clavora-test", PA_STREAM_RECORD, "null.monitor", "listener", &spec, nullptr, &attributes, &error);
        if (!recorder)
            return false;
        meanwhile();
        bool sound = false;
        std::array<qint16, 512> samples {};
        for (int block = 0;
             block < 288 && !sound && pa_simple_read(recorder, samples.data(), sizeof samples, &error) == 0; ++block)
            sound = std::any_of(samples.begin(), samples.end(), [](qint16 sample) { return sample != 0; });
        pa_simple_free(recorder);
        return sound;
    }

    const QString& whyNot() const { return server_.whyNot(); }

private:
    static QByteArray writeClientConfig(const QByteArray& path)
    {
        QFile file(QString::fromLocal8Bit(path));
        if (file.open(QIODevice::WriteOnly))
            file.write("autospawn = no\n");
        return path;
    }

    QTemporaryDir dir_;
    QByteArray runtime_ = dir_.path().toLocal8Bit();
    QByteArray sockets_ = runtime_ + "/pulse";
    ScopedEnvironment runtimeDir_ {"XDG_RUNTIME_DIR", runtime_.constData()};
    ScopedEnvironment runtimePath_ {"PULSE_RUNTIME_PATH", sockets_.constData()};
    ScopedEnvironment noServerOf_ {"PULSE_SERVER", nullptr};
    // A client that finds no server must not start one of its own.
    QByteArray clientConfig_ = writeClientConfig(runtime_ + "/client.conf");
    ScopedEnvironment clientConfigOf_ {"PULSE_CLIENTCONFIG", clientConfig_.constData()};
    ServerProcess server_;
};

} // namespace clavora::test
