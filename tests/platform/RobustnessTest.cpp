// The program's outputs to the system fail without taking the program down:
// a trace whose reader went away, a named pipe nobody reads, a signal from
// outside, a lock folder that cannot be written.
#include "StderrCapture.h"
#include "platform/FluidSynthDevice.h"
#include "platform/MidiConstants.h"
#include "platform/QuitOnSignal.h"
#include "platform/RecordingMidiOutput.h"
#include "platform/SingleInstance.h"
#include "platform/TraceMidiOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clavora {
namespace {

using test::StderrCapture;

const std::uint32_t kNoteOn = midi::packShortMessage(0x90, 0x3C, 0x7F);

int countOf(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

class Robustness : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(device.open(0));
    }
    QTemporaryDir dir;
    RecordingMidiOutput device{{"Synth"}};
    QElapsedTimer start;
};

TEST_F(Robustness, ATraceWhoseReaderWentAwayEndsWithOneLineAndPlayingGoesOn)
{
    const QString fifo = dir.filePath("trace.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // As in the program, where SIGPIPE is ignored once signals are handled.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);

    StderrCapture err;
    TraceMidiOutput trace(device, fifo, start);
    ASSERT_TRUE(trace.isTracing());
    EXPECT_TRUE(trace.send(kNoteOn));
    char line[64] = {};
    EXPECT_GT(::read(reader, line, sizeof line - 1), 0);
    ::close(reader);  // head has read its line and left

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(trace.send(kNoteOn)) << "the device still gets every message";
    EXPECT_FALSE(trace.isTracing());
    const std::string said = err.finish();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(countOf(said, "clavora: MIDI trace"), 1) << said;
    EXPECT_NE(said.find("ended"), std::string::npos) << said;
    EXPECT_EQ(device.messages().size(), 4U);
}

TEST_F(Robustness, ANamedPipeWithoutReaderDoesNotHoldUpTheStart)
{
    const QString fifo = dir.filePath("nobody.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    StderrCapture err;
    QElapsedTimer clock;
    clock.start();
    TraceMidiOutput trace(device, fifo, start);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(trace.isTracing());
    EXPECT_TRUE(trace.send(kNoteOn));
    const std::string said = err.finish();
    EXPECT_EQ(countOf(said, "clavora: MIDI trace"), 1) << said;
    EXPECT_NE(said.find("nobody.fifo"), std::string::npos) << said;
}

TEST_F(Robustness, ATracePathThatCannotBeOpenedIsNamedOnce)
{
    StderrCapture err;
    TraceMidiOutput trace(device, dir.filePath("missing/folder/trace.txt"), start);
    trace.send(kNoteOn);
    trace.send(kNoteOn);
    const std::string said = err.finish();
    EXPECT_FALSE(trace.isTracing());
    EXPECT_EQ(countOf(said, "missing/folder/trace.txt"), 1) << said;
    EXPECT_EQ(device.messages().size(), 2U);
}

TEST(SoundFonts, AnUnusableFileIsNamedOnceAndTheNextInstalledOneServes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string installed = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    if (!QFile::exists(QString::fromStdString(installed)))
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    const std::string empty = dir.filePath("empty.sf2").toStdString();
    const std::string text = dir.filePath("notes.sf2").toStdString();
    QFile(QString::fromStdString(empty)).open(QIODevice::WriteOnly);
    QFile notSoundFont(QString::fromStdString(text));
    ASSERT_TRUE(notSoundFont.open(QIODevice::WriteOnly));
    notSoundFont.write("RIFF this is not a SoundFont at all");
    notSoundFont.close();

    FluidSynthDevice::Config config;
    config.soundFonts = {empty, dir.filePath("missing.sf2").toStdString(), text, installed};
    StderrCapture err;
    EXPECT_EQ(FluidSynthDevice(config).soundFontPath(), installed);
    EXPECT_EQ(FluidSynthDevice(config).soundFontPath(), installed);
    const std::string said = err.finish();
    EXPECT_EQ(countOf(said, "empty.sf2"), 1) << said;
    EXPECT_EQ(countOf(said, "notes.sf2"), 1) << said;
    EXPECT_EQ(countOf(said, "missing.sf2"), 0) << "an absent file is not an error: " << said;
}

TEST(Signals, HandledOnceInstalledButIgnoredHangupStaysIgnored)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto previousHup = std::signal(SIGHUP, SIG_IGN);  // as under nohup
    {
        QuitOnSignal quit;
        struct sigaction now = {};
        ::sigaction(SIGHUP, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_IGN);
        ::sigaction(SIGTERM, nullptr, &now);
        EXPECT_NE(now.sa_handler, SIG_DFL);
        ::sigaction(SIGPIPE, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_IGN);

        bool signalled = false;
        QObject::connect(&quit, &QuitOnSignal::signalled, [&] { signalled = true; });
        ::raise(SIGTERM);
        QCoreApplication::processEvents();
        EXPECT_TRUE(signalled);
    }
    struct sigaction after = {};
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN) << "the ignored hang-up is left as found";
    std::signal(SIGHUP, previousHup);
    std::signal(SIGPIPE, SIG_DFL);
}

TEST(SingleInstanceFallback, AnUnwritableFirstPlaceFallsBackAndStillGuards)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A runtime "folder" that is a file: nobody, root included, writes there.
    QFile notAFolder(dir.filePath("runtime"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QStringList paths{dir.filePath("runtime/clavora.lock"), dir.filePath("cache/clavora/clavora.lock")};

    SingleInstance first(paths);
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_EQ(first.lockPath(), paths.at(1));
    SingleInstance second(paths);
    EXPECT_FALSE(second.tryAcquire()) << "the second start is refused in the fallback place too";
}

TEST(SingleInstanceFallback, NoWritablePlaceAtAllRunsUnguarded)
{
    SingleInstance instance(QStringList{"/proc/clavora-a/clavora.lock", "/proc/clavora-b/clavora.lock"});
    EXPECT_TRUE(instance.tryAcquire());
    EXPECT_TRUE(instance.lockPath().isEmpty());
}

} // namespace
} // namespace clavora
