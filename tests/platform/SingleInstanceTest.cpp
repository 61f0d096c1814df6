#include "StderrCapture.h"
#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace clavora {
namespace {

using test::StderrCapture;

// The id of a process that has ended.
qint64 deadProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST(SingleInstance, ASecondInstanceIsRefusedWhileTheFirstRuns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("clavora.lock");
    {
        SingleInstance first(path);
        ASSERT_TRUE(first.tryAcquire());
        EXPECT_TRUE(first.tryAcquire()) << "asking again keeps the lock";
        SingleInstance second(path);
        EXPECT_FALSE(second.tryAcquire());

        // However long the first has been running.
        QFile lock(path);
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
        ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance later(path);
        EXPECT_FALSE(later.tryAcquire());
    }
    EXPECT_FALSE(QFile::exists(path)) << "the lock goes with its holder";
    SingleInstance third(path);
    EXPECT_TRUE(third.tryAcquire());
}

TEST(SingleInstance, TakesOverTheLockOfAnInstanceThatDied)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("clavora.lock");

    // A genuine lock file, then made to belong to a process that has gone.
    QByteArray contents;
    {
        QLockFile lock(path);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    const qsizetype lineEnd = contents.indexOf('\n');
    ASSERT_GT(lineEnd, 0);
    contents.replace(0, lineEnd, QByteArray::number(deadProcessId()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    SingleInstance next(path);
    EXPECT_TRUE(next.tryAcquire());
    SingleInstance another(path);
    EXPECT_FALSE(another.tryAcquire());
}

TEST(SingleInstance, AnUnwritableLockPlaceDoesNotStopTheProgram)
{
    SingleInstance instance(QStringLiteral("/proc/clavora-test/clavora.lock"));
    EXPECT_TRUE(instance.tryAcquire());
}

// Sets or clears an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray* value)
        : name_(name)
        , had_(qEnvironmentVariableIsSet(name))
        , old_(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(SingleInstance, DefaultLockLivesInTheUsersRuntimeDirectory)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray path = runtime.path().toLocal8Bit();
    ScopedEnvironment env("XDG_RUNTIME_DIR", &path);
    EXPECT_EQ(SingleInstance::defaultLockPath(), runtime.path() + "/clavora.lock");
}

TEST(SingleInstance, WithoutRuntimeDirectoryTheLockIsTheUsersOwnInTheTemporaryDirectory)
{
    ScopedEnvironment env("XDG_RUNTIME_DIR", nullptr);
    StderrCapture capture;
    const QString path = SingleInstance::defaultLockPath();
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(path, QDir::tempPath() + QStringLiteral("/clavora-%1.lock").arg(::getuid()));
}

} // namespace
} // namespace clavora
