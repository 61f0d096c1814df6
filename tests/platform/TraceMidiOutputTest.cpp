// A trace of every MIDI message, which fails without taking the program
// down: a path that cannot be opened, a reader that went away, a named pipe
// nobody reads.
#include "platform/TraceMidiOutput.h"
#include "PlatformTest.h"

#include <QLocale>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>

namespace clavora {
namespace {

using test::countOf;

QStringList linesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

// One line per message the open device took, in the file as soon as it has
// gone, after what the file held; nothing while no device is open. The
// trace leaves no descriptor open behind it, and ends without a word when
// it dropped nothing.
TEST(TraceMidiOutput, WritesWhatTheOpenDeviceTakes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.txt");
    test::writeFile(path, "12.500 90 40 50\n");
    QElapsedTimer start;
    start.start();
    RecordingMidiOutput device {{"First", "Second"}};
    device.setFailing({0});
    const qsizetype descriptors = openDescriptors();
    auto traced = std::make_unique<TraceMidiOutput>(device, path, start);
    TraceMidiOutput& trace = *traced;
    ASSERT_TRUE(trace.isTracing());
    EXPECT_FALSE(trace.open(0));
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    ASSERT_TRUE(trace.open(1));
    EXPECT_TRUE(trace.send(packShortMessage(0xBF, midi::kAllSoundOff, 0)));
    ASSERT_TRUE(trace.waitUntilWritten(std::chrono::seconds(10)));
    EXPECT_EQ(linesOf(path).size(), 2);
    trace.send(packShortMessage(0x8A, 0x0B, 0x00));
    const double end = double(start.nsecsElapsed()) / 1e6;
    trace.close();
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    ASSERT_TRUE(trace.waitUntilWritten(std::chrono::seconds(10)));

    const QStringList lines = linesOf(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "12.500 90 40 50");
    EXPECT_EQ(lines[1].section(' ', 1), "BF 78 00");
    EXPECT_EQ(lines[2].section(' ', 1), "8A 0B 00");
    const double first = lines[1].section(' ', 0, 0).toDouble(), second = lines[2].section(' ', 0, 0).toDouble();
    EXPECT_TRUE(0 <= first && first <= second && second <= end + 0.001) << first << ' ' << second << ' ' << end;
    EXPECT_EQ(device.log(), (std::vector<std::string> {"open 0", "open 1", "BF 78 00", "8A 0B 00", "close"}));
    CaptureStderr();
    traced.reset();
    EXPECT_EQ(GetCapturedStderr(), "") << "a trace that dropped nothing ends without a word";
    EXPECT_EQ(openDescriptors(), descriptors);
}

// A trace file it makes is the user's to read and write, and others' to read.
TEST(TraceMidiOutput, ANewTraceFileIsReadable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.txt");
    RecordingMidiOutput device;
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(TraceMidiOutput(device, path, QElapsedTimer()).isTracing());
    ::umask(mask);
    struct stat made { };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, 0644U);
}

TEST(TraceMidiOutput, LinesHaveThreeDecimalsAndUpperCaseHexWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TraceMidiOutput::formatLine(1534.2071, packShortMessage(0x90, 0x3C, 0x7F)), "1534.207 90 3C 7F");
    QLocale::setDefault(previous);
}

const std::uint32_t kNoteOn = packShortMessage(0x90, 0x3C, 0x7F);

class TraceIntoAPipe : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(device.open(0));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    }
    QTemporaryDir dir;
    QString fifo = dir.filePath("trace.fifo");
    RecordingMidiOutput device {{"Synth"}};
    QElapsedTimer start;
};

TEST_F(TraceIntoAPipe, ATraceWhoseReaderWentAwayEndsWithOneLineAndPlayingGoesOn)
{
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // As in the program, where SIGPIPE is ignored once signals are handled.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    CaptureStderr();
    TraceMidiOutput trace(device, fifo, start);
    EXPECT_TRUE(trace.isTracing());
    EXPECT_TRUE(trace.send(kNoteOn));
    ASSERT_TRUE(trace.waitUntilWritten(std::chrono::seconds(10)));
    char line[64] = {};
    EXPECT_GT(::read(reader, line, sizeof line - 1), 0);
    ::close(reader); // head has read its line and left
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(trace.send(kNoteOn)) << "the device still gets every message";
    ASSERT_TRUE(trace.waitUntilWritten(std::chrono::seconds(10)));
    EXPECT_FALSE(trace.isTracing());
    const std::string said = GetCapturedStderr();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(countOf(said, "clavora: MIDI trace"), 1) << said;
    EXPECT_NE(said.find("ended"), std::string::npos) << said;
    EXPECT_EQ(device.messages().size(), 4U);
}

// A reader that stops reading (a paused pager) never holds up the playing:
// what it cannot take is dropped, said once, and counted at the end, and
// what it does take are whole lines, in order.
TEST_F(TraceIntoAPipe, AStalledReaderNeverHoldsUpThePlayingAndWhatIsDroppedIsCounted)
{
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETPIPE_SZ, 4096); // a page: a few hundred lines
    CaptureStderr();
    auto trace = std::make_unique<TraceMidiOutput>(device, fifo, start, 64);
    ASSERT_TRUE(trace->isTracing());
    for (int i = 0; i < 2000; ++i)
        ASSERT_TRUE(trace->send(packShortMessage(0x90, i % 128, i / 128)));
    EXPECT_GT(trace->droppedLines(), 0U);
    trace.reset(); // does not wait for the reader either
    const std::string said = GetCapturedStderr();

    std::string text;
    char chunk[65536];
    for (ssize_t n; (n = ::read(reader, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    ::close(reader);
    const QStringList lines
        = QString::fromStdString(text.substr(0, text.rfind('\n') + 1)).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 0);
    int previous = -1;
    for (const QString& line : lines) {
        ASSERT_EQ(line.section(' ', 1, 1), "90") << line.toStdString();
        const int index = line.section(' ', 3).toInt(nullptr, 16) * 128 + line.section(' ', 2, 2).toInt(nullptr, 16);
        ASSERT_GT(index, previous) << line.toStdString();
        previous = index;
    }
    EXPECT_EQ(countOf(said, "falls behind"), 1) << said;
    EXPECT_EQ(countOf(said, "clavora: MIDI trace"), 2) << said;
    const std::string counted = said.substr(said.rfind(": ") + 2);
    EXPECT_EQ(std::stoi(counted) + lines.size(), 2000) << said;
    EXPECT_EQ(device.messages().size(), 2000U);
}

// Even one dropped line is said when it happens and counted at the end: with
// room for one line and the pipe already full, the second message finds the
// first still waiting.
TEST_F(TraceIntoAPipe, ASingleDroppedLineIsCounted)
{
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const int pipeSize = ::fcntl(reader, F_SETPIPE_SZ, 4096);
    const int filler = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(filler, 0);
    const std::string full(static_cast<std::size_t>(pipeSize), 'x');
    ASSERT_EQ(::write(filler, full.data(), full.size()), pipeSize);
    ::close(filler);
    CaptureStderr();
    auto trace = std::make_unique<TraceMidiOutput>(device, fifo, start, 1);
    EXPECT_TRUE(trace->send(kNoteOn));
    EXPECT_TRUE(trace->send(kNoteOn));
    EXPECT_EQ(trace->droppedLines(), 1U);
    std::string text;
    char chunk[8192];
    for (const QDeadlineTimer deadline(10000); text.find('\n') == std::string::npos && !deadline.hasExpired();
         QThread::msleep(5))
        for (ssize_t n; (n = ::read(reader, chunk, sizeof chunk)) > 0;)
            text.append(chunk, static_cast<std::size_t>(n));
    EXPECT_TRUE(text.ends_with(" 90 3C 7F\n")) << text.size() << " bytes read";
    ASSERT_TRUE(trace->waitUntilWritten(std::chrono::seconds(10)));
    trace.reset();
    const std::string said = GetCapturedStderr();
    ::close(reader);
    EXPECT_EQ(countOf(said, "falls behind"), 1) << "the first drop is said when it happens: " << said;
    EXPECT_EQ(countOf(said, ": 1 line dropped"), 1) << said;
}

// A trace that cannot be opened (a named pipe nobody reads among them) does
// not hold up the start and is named once; the device gets everything.
TEST_F(TraceIntoAPipe, APathThatCannotBeOpenedIsNamedOnceAndEverythingStillReachesTheDevice)
{
    for (const QString& path : {fifo, QStringLiteral("/proc/no/such/dir/trace.txt")}) {
        auto owned = std::make_unique<RecordingMidiOutput>(std::vector<std::string> {"Only"});
        RecordingMidiOutput& inner = *owned;
        CaptureStderr();
        QElapsedTimer clock;
        clock.start();
        TraceMidiOutput trace(std::move(owned), path, start);
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_FALSE(trace.isTracing());
        EXPECT_TRUE(trace.open(0));
        EXPECT_TRUE(trace.isOpen());
        EXPECT_TRUE(trace.send(packShortMessage(0x91, 61, 99)));
        EXPECT_TRUE(trace.send(packShortMessage(0x81, 61, 0)));
        trace.close();
        const std::string said = GetCapturedStderr();
        EXPECT_EQ(countOf(said, "clavora: MIDI trace " + path.toStdString()), 1) << said;
        EXPECT_EQ(countOf(said, "clavora: MIDI trace"), 1) << said;
        EXPECT_EQ(inner.log(), (std::vector<std::string> {"open 0", "91 3D 63", "81 3D 00", "close"}));
    }
}

} // namespace
} // namespace clavora
