// The built program as users start it: with a take, a trace, closed standard
// streams, a full disk, a trace reader that stops reading, another run
// holding the lock, and a signal to end it. Each run has a runtime folder of
// its own and records into it.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include "VirtualDisplay.h"
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using clavora::test::VirtualDisplay;

// Waits for `done`, at most `limit` (generous: the machine may be busy).
bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit = 30s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What is wrong with a take, or nothing: its track's length is what follows
// the header, it starts with the tempo and ends with an end of track.
std::string midiFileFault(const QByteArray& bytes)
{
    if (bytes.size() < 33 || !bytes.startsWith("MThd") || bytes.mid(14, 4) != "MTrk")
        return "no header";
    const auto length
        = static_cast<qsizetype>(qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + 18));
    if (length != bytes.size() - 22)
        return "a track length of " + std::to_string(length) + " with " + std::to_string(bytes.size() - 22)
            + " bytes after the header";
    if (bytes.mid(22, 7) != QByteArray::fromHex("00ff510307a120"))
        return "no tempo first";
    if (!bytes.endsWith(QByteArray::fromHex("ff2f00")))
        return "no end of track";
    return {};
}

// The take's size once the start-up has been recorded: header, tempo and
// end of track alone are 33 bytes.
constexpr qint64 kEmptyTake = 33;

class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("runtime"));
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        environment.insert("XDG_RUNTIME_DIR", runtime);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("CLAVORA_SYNTH_SETTINGS", "audio.driver=file audio.file.name=" + dir.filePath("live.wav"));
    }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
    // Starts the program through the shell, so that `redirections` apply.
    void start(const QString& redirections)
    {
        program.setProcessEnvironment(environment);
        program.start("/bin/sh", {"-c", "exec \"$0\" --record \"$1\" " + redirections, CLAVORA_PROGRAM, take});
        ASSERT_TRUE(program.waitForStarted());
    }
    // Ends it as the desktop does at log-out; false when it does not end.
    bool terminate()
    {
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        return program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit;
    }
    bool startedUp() const { return QFile(take).size() > kEmptyTake; }
    // Why it did not start, for the failure's message: whether it still
    // runs, and what it printed.
    std::string account()
    {
        const QByteArray printed = program.readAllStandardOutput() + program.readAllStandardError();
        return (program.state() == QProcess::NotRunning ? "it ended, printing: " : "it still runs, printing: ")
            + printed.toStdString();
    }

    QTemporaryDir dir;
    QString runtime = dir.filePath("runtime");
    QString take = dir.filePath("take.mid");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess program;
};

// Started with standard streams closed, the lock file and the take must not
// take their place: a message on stderr (here, about a trace that cannot be
// opened) would be written into them.
class ClosedStreams : public RunningProgram, public ::testing::WithParamInterface<const char*> { };

TEST_P(ClosedStreams, LeaveTheLockFileAndTheTakeUntouched)
{
    environment.insert("CLAVORA_MIDI_TRACE", "/proc/no/such/folder/trace.txt");
    start(GetParam());
    ASSERT_TRUE(waitFor([this] { return startedUp(); })) << "no start-up recorded; " << account();
    const QByteArray lock = contentsOf(runtime + "/clavora.lock");
    EXPECT_TRUE(lock.startsWith(QByteArray::number(program.processId()) + '\n')) << lock.toStdString();
    EXPECT_FALSE(lock.contains("clavora:")) << lock.toStdString();
    ASSERT_TRUE(terminate());
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray recorded = contentsOf(take);
    EXPECT_EQ(midiFileFault(recorded), "");
    EXPECT_FALSE(recorded.contains("clavora"));
}

INSTANTIATE_TEST_SUITE_P(Redirections, ClosedStreams, ::testing::Values("2>&-", "1>&- 2>&-"));

// The disk fills at start-up (a file size limit stands in for it): the take
// keeps what went in whole, the failure is said once, and the program,
// ended by a signal with the warning box open, says it failed.
TEST_F(RunningProgram, AFullDiskKeepsTheTakeValidAndEndsInFailure)
{
    program.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {120, 120};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    start({});
    QByteArray said;
    ASSERT_TRUE(waitFor([&] {
        program.waitForReadyRead(0); // reads what the program wrote so far
        return (said += program.readAllStandardError()).contains("could not be written on");
    })) << said.toStdString();
    ASSERT_TRUE(terminate());
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_FALSE(program.readAllStandardError().contains("could not be written on")) << "said once";
    const QByteArray recorded = contentsOf(take);
    EXPECT_EQ(midiFileFault(recorded), "");
    EXPECT_GT(recorded.size(), kEmptyTake);
    EXPECT_LE(recorded.size(), 120);
}

// Another run holds the lock (this test plays the first run): the second
// ends at once, successfully, without opening the MIDI output or the take or
// showing anything.
TEST_F(RunningProgram, ASecondRunEndsAtOnceAndShowsNothing)
{
    QLockFile firstRun(runtime + "/clavora.lock");
    ASSERT_TRUE(firstRun.tryLock(0));
    const QString trace = dir.filePath("trace.txt");
    environment.insert("CLAVORA_MIDI_TRACE", trace);
    start({});
    ASSERT_TRUE(program.waitForFinished(5000)) << "the second run stayed open";
    EXPECT_TRUE(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0);
    EXPECT_FALSE(QFile::exists(trace)) << "the second run opened the MIDI output";
    EXPECT_FALSE(QFile::exists(take));
    EXPECT_EQ((program.readAllStandardOutput() + program.readAllStandardError()).toStdString(), "");
    EXPECT_TRUE(firstRun.isLocked());
}

// A command line that cannot be taken ends the run at once, with the reason
// and exit code 2.
TEST_F(RunningProgram, ARecordOptionWithoutAFileEndsAtOnceAndSaysWhy)
{
    program.setProcessEnvironment(environment);
    program.start(CLAVORA_PROGRAM, {"--record"});
    ASSERT_TRUE(program.waitForFinished(5000)) << "it stayed open";
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_EQ(
        program.readAllStandardError().toStdString(), "clavora: --record needs a file name (take.mid or take.wav)\n");
}

// `xdotool` with these arguments on `display`; its output.
QString xdotool(const QString& display, const QStringList& arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(120000)) {
        tool.kill();
        tool.waitForFinished();
    }
    return QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
}

// The trace leads into a named pipe whose reader stopped reading (a pager
// held still): 4,000 key strokes later Esc still silences, and a signal ends
// the program cleanly.
TEST_F(RunningProgram, ATraceReaderThatStopsReadingHoldsNothingUp)
{
    const VirtualDisplay virtualDisplay;
    if (!virtualDisplay.running())
        GTEST_SKIP() << virtualDisplay.failure().toStdString();
    const QString display = QString::fromLatin1(virtualDisplay.name());
    if (xdotool(display, {"version"}).isEmpty())
        GTEST_SKIP() << "xdotool is not there to press keys";
    const QString fifo = dir.filePath("trace.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETPIPE_SZ, 4096); // a page: full after a few hundred lines
    environment.insert("CLAVORA_MIDI_TRACE", fifo);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", display);
    start({});
    ASSERT_TRUE(waitFor([this] { return startedUp(); })) << "no start-up recorded; " << account();
    const QString window
        = xdotool(display, {"search", "--sync", "--onlyvisible", "--class", "clavora"}).section('\n', 0, 0);
    ASSERT_FALSE(window.isEmpty());
    xdotool(display, {"windowfocus", "--sync", window});
    // Keys count once the window plays them: one stroke heard first.
    const qint64 before = QFile(take).size();
    ASSERT_TRUE(waitFor([&] {
        xdotool(display, {"key", "q"});
        return QFile(take).size() > before;
    })) << "the window does not play";

    QStringList strokes {"key", "--delay", "0"};
    for (int i = 0; i < 2000; ++i)
        strokes.append({"q", "w"});
    xdotool(display, strokes);
    xdotool(display, {"key", "Escape"});
    // All sound off on the sixteen channels, one after the other (a busy
    // machine may let a millisecond pass between two of them).
    QStringList silence;
    for (int channel = 0; channel < 16; ++channel)
        silence << QStringLiteral("b%1").arg(channel, 0, 16) + QStringLiteral("7800");
    const QRegularExpression silenced(silence.join(QStringLiteral("[0-7][0-9a-f]")));
    EXPECT_TRUE(waitFor([this, &silenced] { return silenced.match(contentsOf(take).toHex()).hasMatch(); }))
        << "Esc did not silence; the take ends " << contentsOf(take).right(24).toHex().toStdString();
    EXPECT_TRUE(terminate()) << "the program did not end";
    ::close(reader);
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray said = program.readAllStandardError();
    EXPECT_EQ(said.count("falls behind"), 1) << said.toStdString();
    EXPECT_EQ(midiFileFault(contentsOf(take)), "");
}

} // namespace
