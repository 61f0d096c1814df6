// The take kept in memory: saved after the fact as the trace saw it, with
// the leading silence cut; bounded; forgotten on request; saved whole or not
// at all.
#include "platform/TakeMemory.h"
#include "PlatformTest.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

namespace clavora {
namespace {

class TakeMemoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void play(TakeMemory& memory, const std::vector<TimedMessage>& take)
    {
        for (const TimedMessage& m : take) {
            now = m.milliseconds;
            memory.send(m.message);
        }
    }

    QTemporaryDir dir;
    RecordingMidiOutput device;
    double now = 0;
    std::function<double()> clock = [this] { return now; };
};

TEST_F(TakeMemoryTest, MidiFileHoldsWhatWasPlayedFromTheFirstNoteToTheMillisecond)
{
    TakeMemory memory(device, clock);
    memory.send(packShortMessage(midi::kNoteOn, 0x30, 0x40)); // nothing open: not played, not kept
    ASSERT_TRUE(memory.open(0));
    play(memory,
        {{120.4, packShortMessage(midi::kProgramChange, 5, 0)}, {130.0, packShortMessage(midi::kControlChange, 7, 100)},
            {1500.4, packShortMessage(midi::kNoteOn, 0x3C, 100)}, {2500.6, packShortMessage(midi::kNoteOff, 0x3C, 0)},
            {3500.0, packShortMessage(midi::kNoteOn + 1, 0x40, 80)},
            {3600.0, packShortMessage(midi::kNoteOff + 1, 0x40, 0)}});
    const QString path = dir.filePath(QStringLiteral("take.mid"));
    ASSERT_EQ(memory.save(path, {}), QString());
    EXPECT_EQ(test::eventsOf(path),
        QStringList({"0 FF 51 03 07 A1 20", "0 C0 05", "0 B0 07 64", "0 90 3C 64", "1000 80 3C 00", "2000 91 40 50",
            "2100 81 40 00", "2100 FF 2F 00"}));
    EXPECT_EQ(device.messages().size(), 6u);
    // The take goes on after saving.
    memory.send(packShortMessage(midi::kNoteOn, 0x3E, 90));
    EXPECT_EQ(memory.size(), 7u);
}

TEST_F(TakeMemoryTest, TheBoundDropsTheOldestAndNewRecordingForgetsAllButTheInstruments)
{
    TakeMemory memory(device, clock, 4);
    ASSERT_TRUE(memory.open(0));
    EXPECT_FALSE(memory.hasNotes());
    play(memory,
        {{0, packShortMessage(midi::kProgramChange, 5, 0)}, {10, packShortMessage(midi::kNoteOn, 0x3C, 100)},
            {20, packShortMessage(midi::kNoteOff, 0x3C, 0)}, {25, packShortMessage(midi::kProgramChange + 1, 7, 0)},
            {30, packShortMessage(midi::kNoteOn, 0x40, 100)}, {40.5, packShortMessage(midi::kNoteOff, 0x40, 0)}});
    EXPECT_EQ(memory.size(), 4u);
    EXPECT_TRUE(memory.hasNotes());
    // The dropped program change still sets the instrument at the start.
    const std::vector<TimedMessage> expected {{0, packShortMessage(midi::kProgramChange, 5, 0)},
        {0, packShortMessage(midi::kNoteOff, 0x3C, 0)}, {0, packShortMessage(midi::kProgramChange + 1, 7, 0)},
        {0, packShortMessage(midi::kNoteOn, 0x40, 100)}, {10.5, packShortMessage(midi::kNoteOff, 0x40, 0)}};
    EXPECT_EQ(memory.take(), expected);

    memory.forget();
    EXPECT_FALSE(memory.hasNotes());
    EXPECT_EQ(memory.size(), 0u);
    const std::vector<TimedMessage> instruments {
        {0, packShortMessage(midi::kProgramChange, 5, 0)}, {0, packShortMessage(midi::kProgramChange + 1, 7, 0)}};
    EXPECT_EQ(memory.take(), instruments);
}

TEST_F(TakeMemoryTest, AFailedSaveLeavesNoFileAndSaysWhy)
{
    TakeMemory memory(device, clock);
    ASSERT_TRUE(memory.open(0));
    play(memory, {{5, packShortMessage(midi::kNoteOn, 0x3C, 100)}});
    test::writeFile(dir.filePath(QStringLiteral("plain")), "not a folder");
    const QString unwritable = QStringLiteral("/proc/take.mid");
    for (const QString& path :
        {dir.filePath(QStringLiteral("plain/take.mid")), unwritable, dir.filePath(QStringLiteral("take.txt"))})
        EXPECT_NE(memory.save(path, {}), QString()) << path.toStdString();
    // No SoundFont to render with.
    EXPECT_NE(memory.save(dir.filePath(QStringLiteral("take.wav")), {{}, ""}), QString());
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList({"plain"}));
}

// The disk fills up in the middle of a save: the file saved before stays as
// it was, and nothing else is left in its folder.
TEST_F(TakeMemoryTest, ADiskThatFillsUpLeavesTheOldFileAndNoHalfOne)
{
    const QString path = dir.filePath(QStringLiteral("keep.clavora"));
    ASSERT_EQ(saveFileAtomically(path, "the setup saved before"), QString());
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = saveFileAtomically(path, QByteArray(64 * 1024, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error.toStdString(), "File too large");
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the setup saved before");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
        QStringList({"keep.clavora"}));
}

TEST_F(TakeMemoryTest, WavFileLastsToTwoSecondsAfterTheLastMessageButNotPastTheSaving)
{
    const FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    if (FluidSynthDevice(config).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TakeMemory memory(device, clock);
    ASSERT_TRUE(memory.open(0));
    play(memory,
        {{1000, packShortMessage(midi::kNoteOn, 0x3C, 100)}, {1300, packShortMessage(midi::kNoteOff, 0x3C, 0)}});
    constexpr double kPeriodMs = 128 * 1000.0 / 48000;
    for (const auto& [savedAt, lasts] : {std::pair {10000.0, 2300.0}, std::pair {1500.0, 500.0}}) {
        now = savedAt;
        const QString path = dir.filePath(QStringLiteral("take %1.wav").arg(savedAt));
        ASSERT_EQ(memory.save(path, config), QString());
        const test::Wav wav = test::readWav(path);
        ASSERT_EQ(wav.channels, 2);
        const double ms = static_cast<double>(wav.samples.size() / 2) * 1000.0 / wav.sampleRate;
        EXPECT_GE(ms, lasts) << savedAt;
        EXPECT_LT(ms, lasts + kPeriodMs) << savedAt;
    }
}

} // namespace
} // namespace clavora
