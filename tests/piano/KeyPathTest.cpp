// A press goes from the playing logic through the program's output chain to
// the device within the call that made it, and allocates nothing on the way:
// nothing between a key event and the synthesizer can be kept waiting by the
// allocator, a queue or another thread.
#include "FakePlatform.h"
#include "drums/DrumPads.h"
#include "keys/KeyCodes.h"
#include "keys/VoiceArea.h"
#include "piano/Piano.h"
#include "platform/BackgroundOpenMidiOutput.h"
#include "platform/FluidSynthDevice.h"
#include "platform/SystemMidiOutput.h"
#include "sound/MidiPort.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// Allocations made by this thread while `counting` is set.
thread_local bool counting = false;
thread_local int allocations = 0;

} // namespace

// The array forms of the standard library go through these.
void* operator new(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace clavora {
namespace {

// A device that counts the messages and keeps the last one, allocating nothing.
class FixedRecorder final : public MidiOutput {
public:
    int deviceCount() const override { return 1; }
    std::string deviceName(int) const override { return {}; }
    bool open(int) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool send(std::uint32_t message) override
    {
        last = message;
        ++count;
        return true;
    }
    int count = 0;
    std::uint32_t last = 0;

private:
    bool open_ = false;
};

// Key Q pressed in piano or drums mode with some main voices.
struct Press {
    const char* name;
    bool drums;
    int voices;
    int sent;
    std::uint32_t lastNoteOn; // packed: status | data 1 << 8 | data 2 << 16
};

class KeyPath : public ::testing::TestWithParam<Press> { };

TEST_P(KeyPath, APressReachesTheDeviceInTheSameCallBeforeItsLookWithoutAllocating)
{
    const Press& p = GetParam();
    const int code = 'Q';
    auto owned = std::make_unique<FixedRecorder>();
    FixedRecorder& device = *owned;
    // The program's own way in: the device opens on a worker while the
    // window is built, and the presses come once it is open.
    BackgroundOpenMidiOutput output(std::move(owned));
    test::FakePlatform platform;
    sound::MidiPort port(output, platform);
    Piano piano(port, platform);
    output.openAhead(0);
    piano.startUp();
    output.finishOpening();
    piano.setPlayDrums(p.drums);
    piano.mainArea().voices().setValue(p.voices);
    // A first press and release may size what they reuse afterwards.
    piano.keyDown(code, 0);
    piano.keyUp(code, 0);

    // The key shows pressed once its notes are out: drawing waits, the sound does not.
    int sentWhenShown = -1;
    const auto shown = [&](int, bool pressed) {
        if (pressed)
            sentWhenShown = device.count;
    };
    QObject::connect(&piano, &Piano::keyLookChanged, shown);
    QObject::connect(&piano.drumPads(), &DrumPads::padLookChanged, shown);

    const int before = device.count;
    counting = true;
    allocations = 0;
    piano.keyDown(code, 0);
    const int afterPress = device.count;
    const std::uint32_t last = device.last;
    piano.keyUp(code, 0);
    counting = false;

    EXPECT_EQ(afterPress - before, p.sent);
    EXPECT_EQ(last, p.lastNoteOn);
    EXPECT_EQ(sentWhenShown, afterPress);
    EXPECT_EQ(device.count - afterPress, p.sent) << "each note-on is stopped";
    EXPECT_EQ(allocations, 0);
}

INSTANTIATE_TEST_SUITE_P(Presses, KeyPath,
    ::testing::Values(Press {"MainKey", false, 1, 1, 0x7F4190}, Press {"MainKeyThreeVoices", false, 3, 3, 0x7F3592},
        Press {"DrumPad", true, 1, 1, 0x4F2399}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyPath, TheSynthesizerTakesANoteWithoutAllocating)
{
    QTemporaryDir dir;
    FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    config.settings = "audio.driver=file audio.file.name=" + dir.filePath("take.wav").toStdString();
    auto synth = std::make_unique<FluidSynthDevice>(config);
    if (synth->soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    SystemMidiOutput output(std::move(synth), nullptr);
    ASSERT_TRUE(output.open(SystemMidiOutput::kSynthDevice));
    while (output.loadDeferred()) { }
    output.send(0x7F3C90);
    output.send(0x003C80);

    counting = true;
    allocations = 0;
    const bool on = output.send(0x7F3C90);
    const bool off = output.send(0x003C80);
    counting = false;

    EXPECT_TRUE(on);
    EXPECT_TRUE(off);
    EXPECT_EQ(allocations, 0);
}

} // namespace
} // namespace clavora
