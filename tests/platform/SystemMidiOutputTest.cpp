// The system's MIDI ports, faked (our own "Clavora" port among them), then
// read from the system.
#include "platform/SystemMidiOutput.h"
#include "PlatformTest.h"

#include <rtmidi/RtMidi.h>

#include <tuple>

namespace clavora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

// System ports that log what they are asked to do ("open 1", "close",
// "93 3C 64"); our own port can be offered where a MIDI system runs.
struct FakePorts final : MidiPorts {
    explicit FakePorts(std::vector<std::string> plugged)
        : names(std::move(plugged))
    {
    }
    std::vector<std::string> portNames() override { return names; }
    bool openPort(int index) override
    {
        log.push_back("open " + std::to_string(index));
        return open = index >= 0 && index < static_cast<int>(names.size());
    }
    bool canOpenVirtual() override { return virtualPort; }
    bool openVirtualPort() override
    {
        log.push_back("open virtual");
        return open = virtualOpens;
    }
    void closePort() override
    {
        log.push_back("close");
        open = false;
    }
    bool sendBytes(const Bytes& bytes) override
    {
        const QByteArray sent(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        log.push_back(sent.toHex(' ').toUpper().toStdString());
        return open;
    }
    std::vector<std::string> names;
    Log log;
    bool open = false, virtualPort = false, virtualOpens = true;
};

std::unique_ptr<FluidSynthDevice> mutedSynth() // cannot open: no SoundFont
{
    return std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config {{}, ""});
}

// The ports given, after the built-in synthesizer.
struct Fixture {
    explicit Fixture(std::vector<std::string> names)
        : ports(new FakePorts(std::move(names)))
        , output(mutedSynth(), std::unique_ptr<MidiPorts>(ports))
    {
    }
    FakePorts* ports;
    SystemMidiOutput output;
};

TEST(SystemMidiOutput, ListsTheSynthesizerThenThePortsCutTo32CharactersReadAgainOnlyOnRefresh)
{
    Fixture f({"Midi Through:Midi Through Port-0 14:0", "USB Keys:USB Keys MIDI 1 20:0",
        "Señal Ñandú Piano Eléctrico Uno Dos", "Piano Ñandú 0123456789 abcdefgh\U0001F3B9 1"});
    SystemMidiOutput& out = f.output;
    // Cut by characters, not bytes; a character that would be cut in two
    // (the keyboard sign, two UTF-16 units from the 32nd on) is left out.
    const Log listed {"Built-in Synthesizer", "Midi Through:Midi Through Port-0", "USB Keys:USB Keys MIDI 1 20:0",
        "Señal Ñandú Piano Eléctrico Uno ", "Piano Ñandú 0123456789 abcdefgh", ""};
    f.ports->names.push_back("E"); // plugged in after the list was read
    ASSERT_EQ(out.deviceCount(), 5);
    for (int device = 0; device < 6; ++device)
        EXPECT_EQ(out.deviceName(device), listed[std::size_t(device)]) << device;
    EXPECT_EQ(out.deviceName(-1), "");
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 6);
    EXPECT_EQ(out.deviceName(5), "E");
    f.ports->names.clear();
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 1);
    f.ports->virtualPort = true; // a JACK server or the ALSA sequencer runs now: our port comes last
    out.refresh();
    ASSERT_EQ(out.deviceCount(), 2);
    EXPECT_EQ(out.deviceName(1), SystemMidiOutput::kVirtualName);
    EXPECT_TRUE(out.open(1));
    EXPECT_TRUE(out.send(packShortMessage(0x90, 0x3C, 0x7F)));
    out.close();
    EXPECT_EQ(f.ports->log, (Log {"open virtual", "90 3C 7F", "close"}));
    f.ports->virtualOpens = false; // the MIDI system has gone since the list was read
    EXPECT_FALSE(out.open(1));
    EXPECT_FALSE(out.isOpen());

    SystemMidiOutput alone(mutedSynth(), nullptr);
    EXPECT_EQ(alone.deviceCount(), 1);
    EXPECT_EQ(alone.deviceName(0), "Built-in Synthesizer");
    EXPECT_FALSE(alone.open(1));
}

TEST(SystemMidiOutput, OpensThePortListedEvenIfItMovedClosingTheOneBeforeAndFailsIfItHasGone)
{
    Fixture f({"A", "B", "C"});
    const std::tuple<Log, int, bool> steps[] = {{{"A", "B", "C"}, 2, true}, {{"A", "B", "C"}, 1, true},
        {{"A", "B", "C"}, 0, false}, // the built-in synthesizer cannot open here
        {{"B", "C"}, 3, true}, // "A" unplugged since the list was read: "C" is now the second port
        {{"C"}, 2, false}, // "B" unplugged too
        {{"C"}, 4, false}, {{"C"}, -1, false}};
    for (const auto& [plugged, device, opens] : steps) {
        f.ports->names = plugged;
        EXPECT_EQ(f.output.open(device), opens) << device;
        EXPECT_EQ(f.output.isOpen(), opens) << device;
    }
    EXPECT_FALSE(f.output.send(packShortMessage(midi::kNoteOn, 60, 100)));
    EXPECT_EQ(f.ports->log, (Log {"open 1", "close", "open 0", "close", "open 1", "close"}));
}

// Program changes go as two bytes, other messages as three; bytes the
// device would misread are refused.
TEST(SystemMidiOutput, SendsWhatTheDeviceReadsRightAndRefusesTheRest)
{
    // The edges of the ranges; a program change has no second data byte to
    // check; refused: a data byte that reads as a status byte, no status
    // byte at all, a system message.
    const std::pair<std::uint32_t, const char*> cases[] = {{packShortMessage(0x93, 0x3C, 0x64), "93 3C 64"},
        {packShortMessage(0x83, 0x3C, 0), "83 3C 00"}, {packShortMessage(0xC5, 19, 0), "C5 13"},
        {packShortMessage(0xBF, midi::kAllSoundOff, 0), "BF 78 00"}, {packShortMessage(0x90, 60, 0), "90 3C 00"},
        {packShortMessage(0x80, 0x7F, 0x7F), "80 7F 7F"}, {packShortMessage(0xC0, 5, 200), "C0 05"},
        {packShortMessage(0x90, 0x80, 100), ""}, {packShortMessage(0x90, 60, 200), ""},
        {packShortMessage(0x3C, 60, 100), ""}, {packShortMessage(0xF0, 60, 100), ""}};
    Fixture f({"A"});
    ASSERT_TRUE(f.output.open(1));
    for (const auto& [message, bytes] : cases) {
        f.ports->log.clear();
        EXPECT_EQ(f.output.send(message), *bytes != 0) << bytes;
        EXPECT_EQ(f.ports->log, *bytes ? Log {bytes} : Log {}) << std::hex << message;
    }
}

// Without a JACK server, its ports are skipped at once and none is started.
TEST(SystemMidiOutput, TheSystemsOwnPortsAreReadQuietlyAndQuickly)
{
    test::ScopedEnvironment server("JACK_DEFAULT_SERVER", "clavora-nobody-here");
    if (test::libjackStuck())
        GTEST_SKIP() << test::kLibjackStuck;
    QElapsedTimer clock;
    clock.start();
    CaptureStderr();
    auto out = std::make_unique<SystemMidiOutput>();
    out->refresh();
    const int count = out->deviceCount();
    const std::string last = out->deviceName(count - 1);
    out->open(count - 1); // the last port, or the synthesizer when there is none
    out.reset();
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(jackServerRuns()) << "no server was started";
    // With an ALSA sequencer our own port comes last; without one (and
    // without JACK) the synthesizer is all there is.
    if (QFile::exists(QStringLiteral("/dev/snd/seq"))) {
        EXPECT_EQ(last, "Virtual port \"Clavora\"");
    } else {
        EXPECT_EQ(count, 1);
    }
}

// Another program's port followed by name: gone once, then back once a port
// of its name is there again (under other ALSA numbers too) and takes the
// connection. With a count of the server's port news, the ports are read
// only when the count has moved.
TEST(PortFollower, SaysGoneOnceAndConnectsAgainWhenTheNameIsBack)
{
    std::vector<std::string> ports {"Synth:in 20:0"};
    Log log;
    bool refuse = false;
    const PortFollower::Device device {[&] {
                                           log.push_back("read");
                                           return ports;
                                       },
        [&] { log.push_back("disconnect"); },
        [&](int index, const std::string& found) {
            log.push_back("connect " + std::to_string(index) + " " + found);
            return !refuse;
        }};
    PortFollower follower;
    follower.connected(3);
    const std::string name = "Synth:in 20:0";
    EXPECT_EQ(follower.look(name, 3u, device), PortNews::None);
    EXPECT_EQ(follower.look(name, std::nullopt, device), PortNews::None);
    ports = {"Other:in 24:0"};
    EXPECT_EQ(follower.look(name, 4u, device), PortNews::Gone);
    EXPECT_EQ(follower.look(name, std::nullopt, device), PortNews::None);
    ports = {"Other:in 24:0", "Synth:in 28:0"};
    refuse = true;
    EXPECT_EQ(follower.look(name, std::nullopt, device), PortNews::None);
    refuse = false;
    EXPECT_EQ(follower.look(name, std::nullopt, device), PortNews::Back);
    EXPECT_EQ(follower.look(name, std::nullopt, device), PortNews::None);
    EXPECT_EQ(log,
        (Log {"read", "read", "disconnect", "read", "read", "connect 1 Synth:in 28:0", "read",
            "connect 1 Synth:in 28:0", "read"}));
}

// A real JACK server (its dummy back-end needs no sound card): our own port
// goes with its client once it is closed, so that nothing of ours is left on
// the server. Another program's port that leaves and comes back is connected
// again.
TEST(JackPort, OurPortGoesWhenClosedAndAnotherProgramsPortIsConnectedAgainWhenBack)
{
    test::JackTestServer server;
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();
    SystemMidiOutput output(std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config {}), MidiPorts::createSystem());
    const int ours = output.deviceCount() - 1;
    ASSERT_EQ(output.deviceName(ours), SystemMidiOutput::kVirtualName);
    ASSERT_TRUE(output.open(ours));
    EXPECT_TRUE(test::JackView().hasClient("Clavora"));
    output.close();
    EXPECT_FALSE(test::JackView().hasClient("Clavora"));

    // Another program's port, chosen from the list after a third program's.
    RtMidiIn first(RtMidi::UNIX_JACK, "clavora-first");
    first.openVirtualPort("in");
    const auto plugIn = [] {
        auto other = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "clavora-other");
        other->openVirtualPort("in");
        return other;
    };
    auto other = plugIn();
    output.refresh();
    int device = 1;
    while (device < output.deviceCount() && output.deviceName(device).find("clavora-other") == std::string::npos)
        ++device;
    ASSERT_LT(device, output.deviceCount()) << "no port of clavora-other";
    ASSERT_TRUE(output.open(device));

    // It leaves (its program ended) and comes back: that is said once, and
    // it is connected again. The server's news of a port comes on a thread
    // of its own.
    const auto news = [&](PortNews expected) {
        for (const QDeadlineTimer deadline(2000); !deadline.hasExpired(); QThread::msleep(5))
            if (output.checkDevice() == expected)
                return true;
        return false;
    };
    EXPECT_EQ(output.checkDevice(), PortNews::None);
    other.reset();
    EXPECT_TRUE(news(PortNews::Gone));
    EXPECT_EQ(output.checkDevice(), PortNews::None);
    other = plugIn();
    EXPECT_TRUE(news(PortNews::Back));
    EXPECT_TRUE(output.send(0x413C90u));
    std::vector<Bytes> heard;
    for (const QDeadlineTimer deadline(2000); heard.empty() && !deadline.hasExpired(); QThread::msleep(5))
        for (Bytes message; other->getMessage(&message), !message.empty();)
            heard.push_back(message);
    EXPECT_EQ(heard, (std::vector<Bytes> {{0x90, 0x3C, 0x41}}));
}

} // namespace
} // namespace clavora
