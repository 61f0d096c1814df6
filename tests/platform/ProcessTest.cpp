// The program as a process: one at a time, and ended cleanly by signals.
#include "PlatformTest.h"
#include "platform/LibraryMessages.h"
#include "platform/QuitOnSignal.h"
#include "platform/SingleInstance.h"
#include "platform/StandardError.h"
#include "platform/StandardStreams.h"

#include <QCoreApplication>
#include <QDateTime>

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <cstdio>
#include <thread>

#include <sys/wait.h>

namespace clavora {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
    QString path = dir.filePath("clavora.lock");
};

TEST_F(SingleInstanceTest, ASecondInstanceIsRefusedHoweverLongTheFirstHasRun)
{
    {
        SingleInstance first(path);
        ASSERT_TRUE(first.tryAcquire());
        QFile lock(path); // an hour old
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite)
            && lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        SingleInstance second(path);
        EXPECT_FALSE(second.tryAcquire());
    }
    EXPECT_FALSE(QFile::exists(path)) << "the lock goes with its holder";
    SingleInstance third(path);
    EXPECT_TRUE(third.tryAcquire());
}

// The lock lives in the runtime folder; where that cannot be written, in the
// next place given, still guarding; where nothing can, the program runs.
TEST_F(SingleInstanceTest, AnUnwritablePlaceFallsBackToTheNextAndNoneAtAllRunsUnguarded)
{
    // A runtime "folder" that is a file: nobody, root included, writes there.
    test::writeFile(dir.filePath("runtime"), "");
    const QStringList paths {dir.filePath("runtime/clavora.lock"), dir.filePath("cache/clavora/clavora.lock")};
    SingleInstance first(paths);
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_EQ(first.lockPath(), paths.at(1));
    SingleInstance second(paths);
    EXPECT_FALSE(second.tryAcquire()) << "the second start is refused in the fallback place too";

    SingleInstance unguarded(QStringList {"/proc/clavora-a/clavora.lock", "/proc/clavora-b/clavora.lock"});
    EXPECT_TRUE(unguarded.tryAcquire());
    EXPECT_TRUE(unguarded.lockPath().isEmpty());
}

// In the runtime folder (the second-instance test uses it); else the user's own in the temporary one.
TEST_F(SingleInstanceTest, WithoutARuntimeDirectoryTheLockIsTheUsersOwnInTheTemporaryOne)
{
    test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
    const QByteArray temporaryDir = QFile::encodeName(dir.path());
    test::ScopedEnvironment temporary("TMPDIR", temporaryDir.constData());
    CaptureStderr();
    const QString fallback = SingleInstance::defaultLockPath();
    EXPECT_EQ(GetCapturedStderr(), "") << "no warning on the terminal";
    EXPECT_EQ(fallback.toStdString(), temporaryDir.toStdString() + "/clavora-" + std::to_string(::getuid()) + ".lock");
}

// Another user may put something in the lock's place first, in a folder all
// users share: it is not taken for ours (nor followed, nor read, nor
// removed); the next place guards instead, and stderr says why.
struct ForeignLock {
    const char* name;
    const char* why;
    // Puts the foreign thing at `path`; false when this system cannot.
    bool (*make)(const QString& path, const QString& aside);
};

class ForeignLockTest : public SingleInstanceTest, public ::testing::WithParamInterface<ForeignLock> { };

TEST_P(ForeignLockTest, IsLeftAloneAndTheNextPlaceGuards)
{
    const QString aside = dir.filePath("aside");
    if (!GetParam().make(path, aside))
        GTEST_SKIP() << "cannot put " << GetParam().name << " in place here";
    const QStringList paths {path, dir.filePath("cache/clavora/clavora.lock")};
    CaptureStderr();
    SingleInstance first(paths);
    ASSERT_TRUE(first.tryAcquire());
    SingleInstance second(paths);
    EXPECT_FALSE(second.tryAcquire()) << "the second start is refused in the next place";
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(first.lockPath(), paths.at(1));
    EXPECT_EQ(test::countOf(said, "clavora: lock file " + path.toStdString() + " is not ours (" + GetParam().why), 2)
        << said;
    EXPECT_FALSE(QFile::exists(aside)) << "what the link points to is not created";
    EXPECT_TRUE(QFileInfo(path).isSymLink() || QFileInfo::exists(path)) << "the foreign thing stays";
}

INSTANTIATE_TEST_SUITE_P(Kinds, ForeignLockTest,
    ::testing::Values(ForeignLock {"ASymbolicLink", "it is a symbolic link",
                          [](const QString& path, const QString& aside) { return QFile::link(aside, path); }},
        ForeignLock {"ADirectory", "it is not a regular file",
            [](const QString& path, const QString&) { return QDir().mkdir(path); }},
        ForeignLock {"ANamedPipe", "it is not a regular file",
            [](const QString& path, const QString&) {
                return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
            }},
        ForeignLock {"AnotherUsersFile", "it belongs to user 65534",
            [](const QString& path, const QString&) {
                test::writeFile(path, "4242\nclavora\nother\n");
                return ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
            }}),
    [](const ::testing::TestParamInfo<ForeignLock>& info) { return std::string(info.param.name); });

TEST(Signals, HeldUntilHandledButIgnoredHangupStaysIgnored)
{
    int argc = 1;
    char name[] = "test", *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto previousHup = std::signal(SIGHUP, SIG_IGN); // as under nohup
    auto handler = [](int number) {
        struct sigaction now = {};
        ::sigaction(number, nullptr, &now);
        return now.sa_handler;
    };
    // A signal that comes before the guard is in place waits for it.
    QuitOnSignal::holdSignals();
    ::raise(SIGTERM);
    {
        QuitOnSignal quit;
        EXPECT_EQ(handler(SIGHUP), SIG_IGN);
        EXPECT_NE(handler(SIGTERM), SIG_DFL);
        EXPECT_EQ(handler(SIGPIPE), SIG_IGN);
        bool signalled = false;
        QObject::connect(&quit, &QuitOnSignal::signalled, [&] { signalled = true; });
        QCoreApplication::processEvents();
        EXPECT_TRUE(signalled);
    }
    EXPECT_EQ(handler(SIGHUP), SIG_IGN) << "the ignored hang-up is left as found";
    std::signal(SIGHUP, previousHup);
    std::signal(SIGPIPE, SIG_DFL);
}

// The libraries speak through their hooks: their chatter is dropped, a
// FluidSynth panic is shown, and the standard error stream itself is never
// taken away, so our own messages, Qt's and anything else written on it
// (a crash report) get through, from any thread.
TEST(StandardError, LibrariesSpeakThroughTheirHooksAndNothingElseIsSilenced)
{
    routeQtMessagesToStandardError();
    routeLibraryMessages();
    CaptureStderr();
    std::thread([] {
        fluid_log(FLUID_ERR, "driver failed");
        fluid_log(FLUID_WARN, "adjusting");
        fluid_log(FLUID_PANIC, "out of memory");
        jack_error_callback("cannot connect to server");
        snd_lib_error(__FILE__, __LINE__, "open", -2, "no such device %d", 9);
        writeToStandardError("ours\n");
        qWarning("Qt's");
        std::fputs("anyone's\n", stderr);
    }).join();
    EXPECT_EQ(GetCapturedStderr(), "clavora.libraries: FluidSynth: out of memory\nours\nQt's\nanyone's\n");
    qInstallMessageHandler(nullptr);
}

// The standard streams the program starts with: the closed ones are opened
// on the null device, and the open ones stay as they are, also after a closed
// one. Each row closes some of 0, 1 and 2 and expects, for each, 'n' (the
// null device) or 'p' (the pipe it was before).
struct StreamsRow {
    const char* name;
    std::vector<int> closed;
    std::string expected;
};

class StandardStreams : public ::testing::TestWithParam<StreamsRow> { };

TEST_P(StandardStreams, ClosedOnesReadTheNullDeviceOpenOnesStay)
{
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    struct stat null { };
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    // The child uses only calls that are safe after a fork.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        for (const int fd : {0, 1, 2})
            ::dup2(report[1], fd);
        for (const int fd : GetParam().closed)
            ::close(fd);
        openClosedStandardStreams();
        for (const int fd : {0, 1, 2}) {
            struct stat seen { };
            char kind = '?';
            if (::fstat(fd, &seen) == 0)
                kind = S_ISFIFO(seen.st_mode) ? 'p' : seen.st_rdev == null.st_rdev ? 'n' : '?';
            static_cast<void>(::write(report[1], &kind, 1));
        }
        ::_exit(0);
    }
    ::close(report[1]);
    std::string kinds;
    char buffer[16];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
        kinds.append(buffer, static_cast<std::size_t>(got));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(kinds, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Start, StandardStreams,
    ::testing::Values(StreamsRow {"none_closed", {}, "ppp"}, StreamsRow {"input_closed", {0}, "npp"},
        StreamsRow {"error_closed", {2}, "ppn"}, StreamsRow {"output_and_error_closed", {1, 2}, "pnn"},
        StreamsRow {"all_closed", {0, 1, 2}, "nnn"}),
    [](const ::testing::TestParamInfo<StreamsRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace clavora
