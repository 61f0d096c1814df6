// The JACK server stops under the open device: the program goes on, says so
// once, falls back to device 0, and ends cleanly with its take complete.
#include "FakePlatform.h"
#include "JackTestServer.h"
#include "platform/JackServer.h"
#include "platform/MidiConstants.h"
#include "platform/SystemMidiOutput.h"
#include "platform/TakeRecorder.h"
#include "sound/MidiPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <atomic>
#include <functional>

namespace clavora {
namespace {

using sound::MidiPort;

enum class Device { VirtualPort, OtherProgramsPort, SynthesizerAudio };

struct LossCase {
    const char* name;
    Device device;
    bool recording; // a --record take.mid: device 0 then opens to record alone
    const char* warning;
};

// Looks at the device every kDeviceCheck milliseconds of the fake clock,
// with as much real time passing, until `condition` holds; false when it
// does not within `milliseconds`.
bool lookUntil(test::FakePlatform& platform, int milliseconds, const std::function<bool()>& condition)
{
    for (const QDeadlineTimer deadline(milliseconds); !condition(); QThread::msleep(MidiPort::kDeviceCheck / 10)) {
        QCoreApplication::processEvents();
        platform.advance(MidiPort::kDeviceCheck / 10);
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

// Another program's JACK client, with an input port that hears what is played into it.
std::unique_ptr<RtMidiIn> otherProgram()
{
    auto other = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "clavora-other");
    other->openVirtualPort("in");
    return other;
}

// The list read again: the first device after device 0 whose name holds `part`; -1 when none does.
int deviceNamed(MidiPort& port, const std::string& part)
{
    port.refreshDevices();
    for (int device = 1; device < port.midiOutCount(); ++device)
        if (port.midiOutName(device).find(part) != std::string::npos)
            return device;
    return -1;
}

// What the list calls the port of the device.
const char* portName(Device device)
{
    return device == Device::VirtualPort ? SystemMidiOutput::kVirtualName : "clavora-other";
}

// A case's name, for the test's name.
const auto caseName = [](const auto& info) { return std::string(info.param.name); };

// The application the device's news go through, and a JACK server of the test's own.
template <typename Param> class JackTest : public ::testing::TestWithParam<Param> {
protected:
    int argc = 1;
    char name[5] = "test";
    char* argv[2] = {name, nullptr};
    QCoreApplication app {argc, argv};
    test::JackTestServer server;
};

using JackServerStops = JackTest<LossCase>;

TEST_P(JackServerStops, UnderTheOpenDeviceTheProgramSaysSoOnceFallsBackAndEndsCleanly)
{
    const LossCase& c = GetParam();
    FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    config.settings = "audio.driver=jack"; // the same output on any machine
    if (FluidSynthDevice(config).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();

    QTemporaryDir dir;
    const QString takePath = dir.filePath(QStringLiteral("take.mid"));
    std::unique_ptr<MidiOutput> output
        = std::make_unique<SystemMidiOutput>(std::make_unique<FluidSynthDevice>(config), MidiPorts::createSystem());
    double now = 0;
    if (c.recording)
        output = std::make_unique<TakeRecorder>(
            std::move(output), takePath, [&now] { return now; }, config);
    auto* const take = dynamic_cast<TakeRecorder*>(output.get());
    test::FakePlatform platform;
    MidiPort port(*output, platform);
    port.fallBackWhenLost([&] { port.sendShortMessage(midi::kProgramChange, 5, 0); });

    // Another program, which must not call into its client once the server
    // is gone either.
    std::unique_ptr<RtMidiIn> other;
    if (c.device == Device::OtherProgramsPort)
        other = otherProgram();
    const int device = c.device == Device::SynthesizerAudio ? 0 : deviceNamed(port, portName(c.device));
    ASSERT_NE(device, -1);
    ASSERT_TRUE(port.openMidiOutDevice(device));
    port.setCurrentMidiDevice(device);
    now = 10;
    port.sendShortMessage(midi::kNoteOn, 60, 100);

    server.stop();
    // The device dialog may read the list before the news is in: JACK
    // does not answer any more.
    port.refreshDevices();
    // Once the news is in, a message sent through a port of the stopped
    // server counts as failed, not as sent.
    if (c.device != Device::SynthesizerAudio) {
        for (const QDeadlineTimer deadline(5000); port.midiResult() == 0 && !deadline.hasExpired(); QThread::msleep(10))
            port.sendShortMessage(midi::kNoteOff, 60, 0);
        EXPECT_NE(port.midiResult(), 0);
    }
    lookUntil(platform, 5000, [&] { return !platform.boxes.empty(); });
    if (other)
        abandonDeadJackClient(other.release());
    ASSERT_EQ(platform.boxes.size(), 1u) << "the server's end is told once";
    EXPECT_EQ(platform.boxes[0].text, c.warning);

    // The device dialog reads the list again: the server's ports are gone.
    port.refreshDevices();
    if (!QFile::exists(QStringLiteral("/dev/snd/seq"))) {
        EXPECT_EQ(port.midiOutCount(), 1);
    }
    // The built-in synthesizer, chosen in it, cannot play through the
    // stopped server (a take still records); once the server is back, the
    // next choice plays through it again.
    now = 20;
    EXPECT_EQ(port.openMidiOutDevice(0), c.recording);
    port.sendShortMessage(midi::kNoteOn, 62, 100);
    RESTART_OR_SKIP(server);
    EXPECT_TRUE(port.openMidiOutDevice(0));
    now = 30;
    port.sendShortMessage(midi::kNoteOn, 64, 100);
    port.closeMidiOut();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(platform.boxes.size(), 1u);

    if (take) {
        EXPECT_TRUE(take->finish());
        QFile file(takePath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char* note : {"\x90\x3C\x64", "\x90\x3E\x64", "\x90\x40\x64"})
            EXPECT_TRUE(bytes.contains(note)) << "note " << int(note[1]) << " was recorded";
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, JackServerStops,
    ::testing::Values(LossCase {"VirtualPort", Device::VirtualPort, true, MidiPort::kDeviceLostText},
        LossCase {"OtherProgramsPort", Device::OtherProgramsPort, false, MidiPort::kDeviceLostSilentText},
        LossCase {"SynthesizerAudio", Device::SynthesizerAudio, true, MidiPort::kDeviceLostText}),
    caseName);

struct WatchCase {
    const char* name;
    bool serverStops;
    bool serverBack; // started again, after the news of its end came in
};

using JackServerWatchStops = JackTest<WatchCase>;

// Once the news of the end is in, the watch's client belongs to a dead
// server and is given up, even when a new server answers by then; it is
// closed only while the server it joined runs.
TEST_P(JackServerWatchStops, GivesItsClientUpOnceTheServerHasEnded)
{
    const WatchCase& c = GetParam();
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();
    JackServerWatch watch;
    std::atomic<int> news = 0;
    watch.setOnGone([&news] { ++news; });
    ASSERT_TRUE(watch.start());
    EXPECT_TRUE(watch.watching());
    if (c.serverStops) {
        server.stop();
        for (const QDeadlineTimer deadline(5000); !watch.serverGone(); QThread::msleep(10))
            ASSERT_FALSE(deadline.hasExpired()) << "the server's end was not heard";
    }
    if (c.serverBack) {
        RESTART_OR_SKIP(server);
    }
    int closes = 0;
    EXPECT_EQ(watch.stop([&closes] { ++closes; }), c.serverStops) << "true: the client was given up, not closed";
    EXPECT_EQ(closes, c.serverStops ? 0 : 1) << "a port is closed only on a server that runs";
    EXPECT_FALSE(watch.watching());
    EXPECT_EQ(watch.serverGone(), c.serverStops);
    EXPECT_EQ(news, c.serverStops ? 1 : 0);
    EXPECT_FALSE(watch.stop()) << "nothing is watched any more";
}

INSTANTIATE_TEST_SUITE_P(Servers, JackServerWatchStops,
    ::testing::Values(
        WatchCase {"Running", false, false}, WatchCase {"Ended", true, false}, WatchCase {"EndedAndBack", true, true}),
    caseName);

// Another program's JACK client whose next cycle, once asked for, takes a
// tenth of a second: a thread of JACK's caught between two instructions by
// a loaded machine.
class SlowClient {
public:
    SlowClient()
        : client_(jack_client_open("clavora-slow", JackNoStartServer, nullptr))
    {
        if (client_) {
            jack_set_process_callback(client_, &SlowClient::onCycle, this);
            jack_activate(client_);
        }
    }
    ~SlowClient()
    {
        if (client_)
            jack_client_close(client_);
    }
    // Returns once the slow cycle has begun; false when none began within 2 s
    // (or the client did not open).
    bool beginSlowCycle()
    {
        slow_ = true;
        for (const QDeadlineTimer deadline(2000); !inside_ && !deadline.hasExpired();)
            QThread::usleep(100);
        return inside_;
    }
    bool inSlowCycle() const { return inside_; }

private:
    static int onCycle(jack_nframes_t, void* self)
    {
        auto* client = static_cast<SlowClient*>(self);
        if (client->slow_.exchange(false)) {
            client->inside_ = true;
            QThread::msleep(100);
            client->inside_ = false;
        }
        return 0;
    }

    jack_client_t* client_;
    std::atomic<bool> slow_ = false;
    std::atomic<bool> inside_ = false;
};

// A port closed while a cycle of the server runs may still be read by that
// cycle (RtMidi's output reads a buffer it frees right after closing its
// port). On a server that runs its clients in step, a watch that follows
// the cycles waits until that cycle has ended.
TEST(JackServerWatchCycles, AwaitsTheEndOfAnotherClientsCycleThatHadBegun)
{
    test::JackTestServer server;
    if (!server.start(test::JackTestServer::Cycles::InStep))
        GTEST_SKIP() << server.whyNot().toStdString();
    SlowClient slow;
    JackServerWatch watch(JackServerWatch::Cycles::Followed);
    ASSERT_TRUE(watch.start());
    ASSERT_TRUE(slow.beginSlowCycle());
    watch.awaitCycles();
    EXPECT_FALSE(slow.inSlowCycle()) << "the wait ended while a cycle begun before was still running";
    EXPECT_FALSE(watch.stop());
}

using JackServerRestarts = JackTest<Device>;

// Another program's port, or our own, lost with its server, is opened again
// in device 0's place once the server runs again and the port is there (the
// other program has made it again), and hears the settings in force. Device
// 0 cannot play here (no SoundFont), so it says nothing meanwhile.
TEST_P(JackServerRestarts, ThePortLostIsOpenedAgainOnceItIsBackOnTheNewServer)
{
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();
    const bool ours = GetParam() == Device::VirtualPort;
    test::FakePlatform platform;
    platform.heldTimers = true;
    // Another program's port; or, for our own port, a program that listens to it.
    std::unique_ptr<RtMidiIn> other = ours ? nullptr : otherProgram();
    const std::string chosenName = portName(GetParam());
    SystemMidiOutput output(
        std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config {{}, ""}), MidiPorts::createSystem());
    MidiPort port(output, platform);
    port.fallBackWhenLost([&] { port.sendShortMessage(midi::kProgramChange, 5, 0); });
    port.followDevice();
    const int chosen = deviceNamed(port, chosenName);
    ASSERT_GT(chosen, 0);
    ASSERT_TRUE(port.openMidiOutDevice(chosen));
    port.setCurrentMidiDevice(chosen);
    port.sendShortMessage(midi::kControlChange, 7, 100);

    server.stop();
    if (other)
        abandonDeadJackClient(other.release());
    EXPECT_TRUE(lookUntil(platform, 5000, [&] { return !platform.boxes.empty(); }));
    EXPECT_NE(port.chosenDeviceName().find(chosenName), std::string::npos) << "a setup saved meanwhile names it";
    RESTART_OR_SKIP(server);
    if (!ours) {
        // The other program has not made its port again yet.
        EXPECT_FALSE(lookUntil(platform, 1500, [&] { return port.currentMidiDevice() > 0; }));
        other = otherProgram();
    }
    ASSERT_TRUE(lookUntil(platform, 5000, [&] { return port.currentMidiDevice() > 0; }));
    EXPECT_EQ(port.currentMidiDevice(), deviceNamed(port, chosenName));
    EXPECT_EQ(platform.boxes.size(), 1U) << "the return is told by the sound alone";
    if (ours) {
        // Connected after the return: it hears what is played from then on.
        other = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "clavora-listener");
        unsigned int source = 0;
        while (source < other->getPortCount() && other->getPortName(source).find("Clavora:Clavora") != 0)
            ++source;
        ASSERT_LT(source, other->getPortCount()) << "no JACK port of Clavora's output";
        other->openPort(source);
    }
    port.sendShortMessage(midi::kNoteOn, 60, 100);
    using Bytes = std::vector<unsigned char>;
    const std::vector<Bytes> expected = ours
        ? std::vector<Bytes> {{0x90, 0x3C, 0x64}}
        : std::vector<Bytes> {{0xB0, 0x07, 0x64}, {0xC0, 0x05}, {0x90, 0x3C, 0x64}};
    std::vector<Bytes> received;
    EXPECT_TRUE(lookUntil(platform, 2000, [&] {
        Bytes bytes;
        for (other->getMessage(&bytes); !bytes.empty(); other->getMessage(&bytes))
            received.push_back(bytes);
        return received.size() >= expected.size();
    }));
    EXPECT_EQ(received, expected);
    port.closeMidiOut();
}

INSTANTIATE_TEST_SUITE_P(Devices, JackServerRestarts, ::testing::Values(Device::VirtualPort, Device::OtherProgramsPort),
    [](const ::testing::TestParamInfo<Device>& info) {
        return std::string(info.param == Device::VirtualPort ? "VirtualPort" : "OtherProgramsPort");
    });

} // namespace
} // namespace clavora
