// The system's MIDI ports, faked; then a real JACK server (the dummy
// back-end needs no sound card), where the device list offers the "Clavora"
// port after the system's ports and a JACK MIDI client connected to it
// receives what is played.
#include "ScopedEnvironment.h"
#include "platform/FluidSynthDevice.h"
#include "platform/JackServer.h"
#include "platform/MidiConstants.h"
#include "platform/SystemMidiOutput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <mutex>

namespace clavora {
namespace {

using midi::packShortMessage;
using Bytes = std::vector<std::uint8_t>;

class FakePorts final : public MidiPorts {
public:
    std::vector<std::string> portNames() override { return names; }
    bool openPort(int index) override
    {
        if (index < 0 || index >= static_cast<int>(names.size()))
            return false;
        open = index;
        return true;
    }
    void closePort() override
    {
        ++closes;
        open = -1;
    }
    bool sendBytes(const Bytes& bytes) override
    {
        if (open >= 0)
            sent.push_back(bytes);
        return open >= 0;
    }
    std::vector<std::string> names;
    std::vector<Bytes> sent;
    int open = -1;
    int closes = 0;
};

// The ports given, after a synthesizer that cannot open: no SoundFont.
struct Fixture {
    explicit Fixture(std::vector<std::string> names)
    {
        auto owned = std::make_unique<FakePorts>();
        owned->names = std::move(names);
        ports = owned.get();
        output = std::make_unique<SystemMidiOutput>(std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config{{}, ""}),
                                                    std::move(owned));
    }
    FakePorts* ports;
    std::unique_ptr<SystemMidiOutput> output;
};

TEST(SystemMidiOutput, ListsTheSynthesizerThenThePortsCutTo32CharactersReadAgainOnlyOnRefresh)
{
    Fixture f({"Midi Through:Midi Through Port-0 14:0", "USB Keys:USB Keys MIDI 1 20:0", "Señal Ñandú Piano Eléctrico Uno Dos"});
    SystemMidiOutput& out = *f.output;
    const std::vector<std::string> listed{"Built-in Synthesizer", "Midi Through:Midi Through Port-0",
                                          "USB Keys:USB Keys MIDI 1 20:0", "Señal Ñandú Piano Eléctrico Uno ", ""};
    f.ports->names.push_back("E"); // plugged in after the list was read
    ASSERT_EQ(out.deviceCount(), 4);
    for (int device = 0; device < 5; ++device)
        EXPECT_EQ(out.deviceName(device), listed[std::size_t(device)]) << device; // cut by characters, not bytes
    EXPECT_EQ(out.deviceName(-1), "");
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 5);
    EXPECT_EQ(out.deviceName(4), "E");
    f.ports->names.clear();
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 1);

    SystemMidiOutput alone(std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config{{}, ""}), nullptr);
    alone.refresh();
    EXPECT_EQ(alone.deviceCount(), 1);
    EXPECT_EQ(alone.deviceName(0), "Built-in Synthesizer");
    EXPECT_FALSE(alone.open(1));
}

TEST(SystemMidiOutput, OpensThePortListedEvenIfItMovedClosingTheOneBeforeAndFailsIfItHasGone)
{
    Fixture f({"A", "B", "C"});
    SystemMidiOutput& out = *f.output;
    EXPECT_TRUE(out.open(2));
    EXPECT_EQ(f.ports->open, 1);
    EXPECT_TRUE(out.isOpen());
    EXPECT_TRUE(out.open(1));
    EXPECT_EQ(f.ports->open, 0);
    EXPECT_EQ(f.ports->closes, 1);
    // The built-in synthesizer cannot open here: nothing is left open.
    EXPECT_FALSE(out.open(0));
    EXPECT_FALSE(out.isOpen());
    EXPECT_EQ(f.ports->open, -1);
    EXPECT_EQ(f.ports->closes, 2);

    // "A" unplugged since the list was read: "C" is now the second port.
    f.ports->names = {"B", "C"};
    EXPECT_TRUE(out.open(3));
    EXPECT_EQ(f.ports->open, 1);
    out.close();
    EXPECT_FALSE(out.isOpen());
    EXPECT_EQ(f.ports->open, -1);
    // "B" unplugged too.
    f.ports->names = {"C"};
    EXPECT_FALSE(out.open(2));
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.send(packShortMessage(midi::kNoteOn, 60, 100)));
    EXPECT_FALSE(out.open(4));
    EXPECT_FALSE(out.open(-1));
    EXPECT_TRUE(f.ports->sent.empty());
}

// Program changes go as two bytes, other messages as three; bytes the
// device would misread are refused.
TEST(SystemMidiOutput, SendsWhatTheDeviceReadsRightAndRefusesTheRest)
{
    const std::pair<std::uint32_t, Bytes> cases[] = {
        {packShortMessage(0x93, 0x3C, 0x64), {0x93, 0x3C, 0x64}},
        {packShortMessage(0x83, 0x3C, 0), {0x83, 0x3C, 0x00}},
        {packShortMessage(0xC5, 19, 0), {0xC5, 19}},
        {packShortMessage(0xBF, midi::kAllSoundOff, 0), {0xBF, 120, 0}},
        {packShortMessage(0x90, 60, 0), {0x90, 60, 0}},
        {packShortMessage(0xC0, 5, 200), {0xC0, 5}}, // no second data byte to check
        {packShortMessage(0x90, 0x80, 100), {}},     // a data byte that reads as a status byte
        {packShortMessage(0x90, 60, 200), {}},
        {packShortMessage(0x3C, 60, 100), {}},       // not a status byte at all
        {packShortMessage(0xF0, 60, 100), {}},       // a system message
    };
    Fixture f({"A"});
    EXPECT_FALSE(f.output->send(packShortMessage(0x90, 60, 100))) << "nothing open";
    ASSERT_TRUE(f.output->open(1));
    for (const auto& [message, bytes] : cases) {
        f.ports->sent.clear();
        EXPECT_EQ(f.output->send(message), !bytes.empty()) << std::hex << message;
        EXPECT_EQ(f.ports->sent, bytes.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{bytes}) << std::hex << message;
    }
}

TEST(SystemMidiOutput, TheSystemsOwnPortsAreReadQuietly)
{
    testing::internal::CaptureStderr();
    auto out = std::make_unique<SystemMidiOutput>();
    out->refresh();
    const int count = out->deviceCount();
    const std::string name = out->deviceName(0);
    out->open(count); // the last port, or the synthesizer when there is none
    out.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_GE(count, 1);
    EXPECT_EQ(name, "Built-in Synthesizer");
}

// Waits at most `ms` for a condition that another thread or process makes true.
template <typename Condition>
bool within(int ms, Condition condition)
{
    for (const QDeadlineTimer deadline(ms); !condition(); QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}

// A JACK client with one MIDI input, keeping every message it receives.
struct Recorder {
    Recorder()
    {
        client = jack_client_open("clavora-test", JackNoStartServer, nullptr);
        in = client ? jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0) : nullptr;
        if (!in)
            return;
        jack_set_process_callback(client, [](jack_nframes_t frames, void* self) {
            auto* recorder = static_cast<Recorder*>(self);
            void* buffer = jack_port_get_buffer(recorder->in, frames);
            const std::lock_guard lock(recorder->mutex);
            jack_midi_event_t event;
            for (jack_nframes_t i = 0; i < jack_midi_get_event_count(buffer); ++i)
                if (jack_midi_event_get(&event, buffer, i) == 0)
                    recorder->received.emplace_back(event.buffer, event.buffer + event.size);
            return 0;
        }, this);
        jack_activate(client);
    }
    ~Recorder()
    {
        if (client)
            jack_client_close(client);
    }
    std::vector<Bytes> heard()
    {
        const std::lock_guard lock(mutex);
        return received;
    }
    jack_client_t* client = nullptr;
    jack_port_t* in = nullptr;
    std::mutex mutex;
    std::vector<Bytes> received;
};

TEST(JackPort, AClientRecordsWhatIsPlayedIntoTheClavoraPort)
{
    const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
    if (jackd.isEmpty())
        GTEST_SKIP() << "jackd is not installed";
    const QString name = QStringLiteral("clavora-test-%1").arg(QCoreApplication::applicationPid());
    test::ScopedEnvironment server("JACK_DEFAULT_SERVER", name.toUtf8().constData());
    test::ScopedEnvironment noReservation("JACK_NO_AUDIO_RESERVATION", "1");
    QProcess jack;
    jack.start(jackd, {"-n", name, "-d", "dummy", "-r", "48000", "-p", "256"});
    ASSERT_TRUE(jack.waitForStarted());
    ASSERT_TRUE(within(5000, jackServerRuns)) << "the dummy JACK server did not come up";
    {
        Recorder recorder;
        ASSERT_TRUE(recorder.in);
        SystemMidiOutput output(std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config{}), MidiPorts::createSystem());

        // The synthesizer, the JACK port of the recorder, then our own port last.
        ASSERT_EQ(output.deviceCount(), 3);
        EXPECT_EQ(output.deviceName(1), "clavora-test:in");
        EXPECT_EQ(output.deviceName(2), SystemMidiOutput::kVirtualName);
        ASSERT_TRUE(output.open(2));
        ASSERT_EQ(jack_connect(recorder.client, "Clavora:Clavora", "clavora-test:in"), 0);
        EXPECT_TRUE(output.send(midi::packShortMessage(0x90, 0x3C, 0x7F)));
        EXPECT_TRUE(output.send(midi::packShortMessage(0xC5, 0x13, 0x00)));
        EXPECT_TRUE(output.send(midi::packShortMessage(0x80, 0x3C, 0x00)));
        ASSERT_TRUE(within(1000, [&] { return recorder.heard().size() >= 3; }));
        EXPECT_EQ(recorder.heard(), (std::vector<Bytes>{{0x90, 0x3C, 0x7F}, {0xC5, 0x13}, {0x80, 0x3C, 0x00}}));

        // Closing removes the port; the recorder's own port can be played too.
        output.close();
        EXPECT_TRUE(within(1000, [&] { return !jack_port_by_name(recorder.client, "Clavora:Clavora"); }));
        ASSERT_TRUE(output.open(1));
        EXPECT_TRUE(output.send(midi::packShortMessage(0x91, 0x40, 0x50)));
        EXPECT_TRUE(within(1000, [&] { return recorder.heard().size() >= 4; }));
    }
    jack.terminate();
    jack.waitForFinished(3000);
}

TEST(JackServerProbe, NoServerIsToldQuicklyAndNoneIsStarted)
{
    test::ScopedEnvironment server("JACK_DEFAULT_SERVER", "clavora-nobody-here");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(jackServerRuns());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(jackServerRuns()) << "the first question started no server";
}

} // namespace
} // namespace clavora
