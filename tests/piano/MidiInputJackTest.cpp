// A real JACK MIDI client plays into Clavora's own input port: what it plays
// goes through the input's thread, the queue and the piano to the MIDI out,
// in order.
#include "FakePlatform.h"
#include "JackTestServer.h"
#include "RecordingMidiOutput.h"
#include "piano/MidiKeyboard.h"
#include "piano/Piano.h"
#include "platform/JackServer.h"
#include "platform/MidiInputQueue.h"
#include "platform/SystemMidiInput.h"
#include "sound/MidiPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

namespace clavora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

bool within(int milliseconds, const std::function<bool()>& condition)
{
    for (const QDeadlineTimer deadline(milliseconds); !condition(); QThread::msleep(2)) {
        QCoreApplication::processEvents();
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

// Complete channel messages pass; system messages, stray data bytes and
// messages cut short or too long do not.
TEST(MidiInputQueue, DropsWhatIsNotACompleteChannelMessage)
{
    const std::pair<Bytes, std::uint32_t> cases[] = {{{0x93, 0x3C, 0x64}, 0x643C93}, {{0xC2, 0x05}, 0x05C2},
        {{0xE0, 0x00, 0x40}, 0x4000E0}, {{0xD1, 0x7F}, 0x7FD1}, {{}, 0}, {{0x3C, 0x64}, 0}, {{0x90, 0x3C}, 0},
        {{0x90, 0x3C, 0x64, 0x01}, 0}, {{0xC2}, 0}, {{0xC2, 0x05, 0x00}, 0}, {{0x90, 0x80, 0x64}, 0},
        {{0xB0, 0x40, 0xFF}, 0}, {{0xF8}, 0}, {{0xFE}, 0}, {{0xF0, 0x7E, 0xF7}, 0}, {{0xF2, 0x10, 0x10}, 0}};
    for (const auto& [bytes, packed] : cases)
        EXPECT_EQ(channelMessageOf(bytes.data(), bytes.size()).value_or(0), packed) << bytes.size();
    EXPECT_FALSE(channelMessageOf(nullptr, 3));
}

// A real JACK server with an event loop for the input's messages, which
// are kept in `received`; without a server the test is skipped.
class JackInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jack.start())
            GTEST_SKIP() << jack.whyNot().toStdString();
        input.setReceiver([this](std::uint32_t message) { received.push_back(message); });
    }

    // The server's news of a port comes on a thread of its own.
    bool news(PortNews expected, int milliseconds = 2000)
    {
        return within(milliseconds, [&] { return input.checkSource() == expected; });
    }

    // Another program's client with an output port connected to Clavora In.
    static std::unique_ptr<RtMidiOut> player()
    {
        auto player = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "clavora-player");
        unsigned int target = 0;
        while (target < player->getPortCount()
            && player->getPortName(target).find(SystemMidiInput::kPortName) == std::string::npos)
            ++target;
        if (target < player->getPortCount())
            player->openPort(target);
        return player;
    }

    int argc = 1;
    char name[16] = "midi_input_test";
    char* argv[1] = {name};
    QCoreApplication app {argc, argv};
    JackTestServer jack;
    SystemMidiInput input;
    std::vector<std::uint32_t> received;
};

TEST_F(JackInput, AClientPlaysThePianoThroughClavoraIn)
{
    RecordingMidiOutput midi;
    FakePlatform platform;
    platform.heldTimers = true;
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);
    piano.startUp();
    midi.clear();
    MidiKeyboard keyboard(piano, platform);
    input.setReceiver([&](std::uint32_t message) {
        received.push_back(message);
        keyboard.receive(message);
    });
    const int ours = input.sourceCount() - 1;
    ASSERT_EQ(input.sourceName(ours), SystemMidiInput::kVirtualName);
    EXPECT_FALSE(input.open(-1));
    EXPECT_FALSE(input.open(ours + 1));
    ASSERT_TRUE(input.open(ours));
    EXPECT_EQ(input.openSource(), ours);

    const auto player = JackInput::player();
    ASSERT_TRUE(player->isPortOpen()) << "no JACK port of Clavora's input";
    // Another program's port is listed now, before ours, which stays the one open.
    input.refresh();
    ASSERT_GT(input.sourceCount(), 1);
    EXPECT_EQ(input.openSource(), input.sourceCount() - 1);
    // A port of a second client of our name (JACK calls it "Clavora-01") is
    // never offered: it may be our own output, played back into us.
    {
        RtMidiOut own(RtMidi::UNIX_JACK, "Clavora-01");
        own.openVirtualPort("Out");
        input.refresh();
        for (int i = 0; i + 1 < input.sourceCount(); ++i)
            EXPECT_EQ(input.sourceName(i).find(SystemMidiInput::kClientName), std::string::npos) << input.sourceName(i);
    }
    input.refresh();

    // Plays the messages, waits until `valid` of them have come through,
    // lets the chord wait run out, and returns what was sent.
    const auto play = [&](const std::vector<Bytes>& messages, std::size_t valid) {
        midi.clear();
        const std::size_t expected = received.size() + valid;
        for (const Bytes& bytes : messages)
            player->sendMessage(bytes.data(), bytes.size());
        EXPECT_TRUE(within(2000, [&] { return received.size() >= expected; }));
        platform.advance(MidiKeyboard::kChordWindow);
        return midi.log();
    };
    EXPECT_EQ(play({{0x90, 0x3C, 0x64}, {0x80, 0x3C, 0x00}}, 2), (Log {"90 3C 64", "80 3C 00"}));
    EXPECT_EQ(play({{0x95, 0x30, 0x7F}}, 1), (Log {"97 37 67", "97 3C 67", "97 40 67"}));
    EXPECT_EQ(play({{0x85, 0x30, 0x00}, {0x90, 0x30, 0x7F}, {0x90, 0x33, 0x7F}, {0x90, 0x37, 0x7F}}, 4),
        (Log {"87 37 00", "87 3C 00", "87 40 00", "97 37 67", "97 3C 67", "97 3F 67"}));
    EXPECT_EQ(play({{0x3C, 0x64}, {0x90, 0x3C}, {0xF8}, {0x90, 0x3C, 0x64, 0x01}, {0x91, 0x3E, 0x50}}, 1),
        (Log {"90 3E 50"}));
    input.close();
    EXPECT_EQ(input.openSource(), -1);
    // Closed, its port has left the server: nothing more can reach it.
    for (unsigned int i = 0; i < player->getPortCount(); ++i)
        EXPECT_EQ(player->getPortName(i).find("Clavora"), std::string::npos) << player->getPortName(i);
}

// A keyboard's port that leaves (unplugged, or its program ended) is said
// once and waited for: once a port of its name is back it plays again. When
// the server stops, the input closes, and once the server is back the port
// is waited for again.
TEST_F(JackInput, ASourceThatLeavesIsWaitedForAndTakenAgainWhenBack)
{
    const auto plugIn = [](const char* client) {
        auto keys = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, client);
        keys->openVirtualPort("out");
        return keys;
    };

    auto keys = plugIn("clavora-keys");
    ASSERT_TRUE(input.openNamed("clavora-keys:out"));
    EXPECT_EQ(input.checkSource(), PortNews::None);
    keys.reset();
    EXPECT_TRUE(news(PortNews::Gone));
    EXPECT_EQ(input.checkSource(), PortNews::None);
    // A setup saved now still names it; the dialog, which reads the list
    // again, shows None.
    EXPECT_EQ(input.openSourceName(), "clavora-keys:out");
    input.refresh();
    EXPECT_EQ(input.openSource(), -1);
    keys = plugIn("clavora-keys");
    EXPECT_TRUE(news(PortNews::Back));
    const Bytes noteOn {0x90, 0x3E, 0x64};
    keys->sendMessage(noteOn.data(), noteOn.size());
    EXPECT_TRUE(within(2000, [&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<std::uint32_t> {0x643E90});
    EXPECT_EQ(input.openSourceName(), "clavora-keys:out");
    // With a second keyboard the one open is the one the dialog shows,
    // whichever of the two is listed first.
    int padsSource = -1;
    {
        const auto pads = plugIn("clavora-pads");
        input.refresh();
        for (const std::string name : {"clavora-pads:out", "clavora-keys:out"}) {
            ASSERT_TRUE(input.openNamed(name));
            ASSERT_GE(input.openSource(), 0);
            EXPECT_EQ(input.sourceName(input.openSource()), name);
            if (name == "clavora-pads:out")
                padsSource = input.openSource();
        }
    }
    // Chosen from a list read before it left, it fails to open, so the
    // dialog can say so, instead of being waited for unasked.
    ASSERT_EQ(input.sourceName(padsSource), "clavora-pads:out");
    EXPECT_FALSE(input.open(padsSource));
    EXPECT_EQ(input.openSourceName(), "");
    ASSERT_TRUE(input.openNamed("clavora-keys:out"));

    jack.stop();
    abandonDeadJackClient(keys.release());
    EXPECT_TRUE(news(PortNews::Gone));
    EXPECT_EQ(input.openSource(), -1);
    EXPECT_EQ(input.openSourceName(), "clavora-keys:out");
    RESTART_OR_SKIP(jack);
    QThread::msleep(1500);
    EXPECT_EQ(input.checkSource(), PortNews::None);
    keys = plugIn("clavora-keys");
    EXPECT_TRUE(news(PortNews::Back));
    received.clear();
    keys->sendMessage(noteOn.data(), noteOn.size());
    EXPECT_TRUE(within(2000, [&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<std::uint32_t> {0x643E90});
}

// Clavora's own port is made again on a server that is back, and what is
// played into it is heard; choosing None meanwhile stops the wait.
TEST_F(JackInput, OurOwnPortIsMadeAgainOnAServerThatIsBack)
{
    const int ours = input.sourceCount() - 1;
    ASSERT_EQ(input.sourceName(ours), SystemMidiInput::kVirtualName);
    ASSERT_TRUE(input.open(ours));
    jack.stop();
    EXPECT_TRUE(news(PortNews::Gone));
    RESTART_OR_SKIP(jack);
    EXPECT_TRUE(news(PortNews::Back, 3000));
    auto player = JackInput::player();
    ASSERT_TRUE(player->isPortOpen()) << "no JACK port of Clavora's input";
    const Bytes noteOn {0x91, 0x40, 0x50};
    player->sendMessage(&noteOn);
    EXPECT_TRUE(within(2000, [&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<std::uint32_t> {0x504091});

    // The server stops while the port is open, and the list is read again
    // (libjack frees the dead clients when a new one fails to connect):
    // closing gives the client up without a call into it, which would crash.
    jack.stop();
    abandonDeadJackClient(player.release());
    EXPECT_TRUE(news(PortNews::Gone));
    input.refresh();
    EXPECT_EQ(input.sourceCount(), 0);
    input.close();
    EXPECT_EQ(input.openSource(), -1);
    EXPECT_EQ(input.openSourceName(), "");
    RESTART_OR_SKIP(jack);
    QThread::msleep(1500);
    EXPECT_EQ(input.checkSource(), PortNews::None);
    EXPECT_EQ(input.openSource(), -1);
}

} // namespace
} // namespace clavora::test
