// With a JACK server running (the dummy back-end needs no sound card), the
// device list offers the "Clavora" port after the system's ports, and a
// JACK MIDI client connected to it receives what is played.
#include "platform/FluidSynthDevice.h"
#include "platform/JackServer.h"
#include "platform/SystemMidiOutput.h"
#include "platform/MidiConstants.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <mutex>
#include <vector>

namespace clavora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Waits at most a second for a condition that a real-time thread makes true.
template <typename Condition>
bool within1s(Condition condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 1000)
            return false;
        QThread::msleep(5);
    }
    return true;
}

// A JACK client with one MIDI input, keeping every message it receives.
class Recorder {
public:
    Recorder()
    {
        client_ = jack_client_open("clavora-test", JackNoStartServer, nullptr);
        if (!client_)
            return;
        in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, &Recorder::process, this);
        jack_activate(client_);
    }
    ~Recorder()
    {
        if (client_)
            jack_client_close(client_);
    }
    bool ready() const { return client_ && in_; }
    bool connectFrom(const char* port) { return jack_connect(client_, port, "clavora-test:in") == 0; }
    std::vector<Bytes> received()
    {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* recorder = static_cast<Recorder*>(self);
        void* buffer = jack_port_get_buffer(recorder->in_, frames);
        const jack_nframes_t count = jack_midi_get_event_count(buffer);
        std::lock_guard lock(recorder->mutex_);
        for (jack_nframes_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) == 0)
                recorder->received_.emplace_back(event.buffer, event.buffer + event.size);
        }
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    std::mutex mutex_;
    std::vector<Bytes> received_;
};

class JackPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty())
            GTEST_SKIP() << "jackd is not installed";
        const QString name = QStringLiteral("clavora-test-%1").arg(QCoreApplication::applicationPid());
        qputenv("JACK_DEFAULT_SERVER", name.toUtf8());
        qputenv("JACK_NO_AUDIO_RESERVATION", "1");
        server_.start(jackd, {"-n", name, "-d", "dummy", "-r", "48000", "-p", "256"});
        ASSERT_TRUE(server_.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!jackServerRuns() && clock.elapsed() < 5000)
            QThread::msleep(20);
        ASSERT_TRUE(jackServerRuns()) << "the dummy JACK server did not come up";
    }
    void TearDown() override
    {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            server_.waitForFinished(3000);
        }
        qunsetenv("JACK_DEFAULT_SERVER");
    }
    QProcess server_;
};

TEST_F(JackPort, AClientRecordsWhatIsPlayedIntoTheClavoraPort)
{
    Recorder recorder;
    ASSERT_TRUE(recorder.ready());
    FluidSynthDevice::Config silent;
    SystemMidiOutput output(std::make_unique<FluidSynthDevice>(silent), MidiPorts::createSystem());

    // The synthesizer, the JACK port of the recorder, then our own port last.
    ASSERT_EQ(output.deviceCount(), 3);
    EXPECT_EQ(output.deviceName(1), "clavora-test:in");
    EXPECT_EQ(output.deviceName(2), SystemMidiOutput::kVirtualName);

    ASSERT_TRUE(output.open(2));
    ASSERT_TRUE(recorder.connectFrom("Clavora:Clavora"));
    EXPECT_TRUE(output.send(midi::packShortMessage(0x90, 0x3C, 0x7F)));
    EXPECT_TRUE(output.send(midi::packShortMessage(0xC5, 0x13, 0x00)));
    EXPECT_TRUE(output.send(midi::packShortMessage(0x80, 0x3C, 0x00)));
    ASSERT_TRUE(within1s([&] { return recorder.received().size() >= 3; }));
    EXPECT_EQ(recorder.received(), (std::vector<Bytes>{{0x90, 0x3C, 0x7F}, {0xC5, 0x13}, {0x80, 0x3C, 0x00}}));

    // Closing removes the port; the recorder's own port can be played too.
    output.close();
    EXPECT_TRUE(within1s([] {
        jack_client_t* probe = jack_client_open("clavora-probe-2", JackNoStartServer, nullptr);
        const bool gone = probe && !jack_port_by_name(probe, "Clavora:Clavora");
        if (probe)
            jack_client_close(probe);
        return gone;
    }));
    ASSERT_TRUE(output.open(1));
    EXPECT_TRUE(output.send(midi::packShortMessage(0x91, 0x40, 0x50)));
    EXPECT_TRUE(within1s([&] { return recorder.received().size() >= 4; }));
}

TEST(JackServerProbe, NoServerIsToldQuicklyAndNoneIsStarted)
{
    qputenv("JACK_DEFAULT_SERVER", "clavora-nobody-here");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(jackServerRuns());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(jackServerRuns()) << "the first question started no server";
    qunsetenv("JACK_DEFAULT_SERVER");
}

} // namespace
} // namespace clavora
