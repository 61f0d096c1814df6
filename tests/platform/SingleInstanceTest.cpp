#include "ScopedEnvironment.h"
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
        EXPECT_TRUE(first.tryAcquire()) << "asking again keeps the lock";
        QFile lock(path);
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
        ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance second(path);
        EXPECT_FALSE(second.tryAcquire());
    }
    EXPECT_FALSE(QFile::exists(path)) << "the lock goes with its holder";
    SingleInstance third(path);
    EXPECT_TRUE(third.tryAcquire());
}

// A run that crashed left its lock behind: the next start takes it over.
TEST_F(SingleInstanceTest, TakesOverTheLockOfARunThatDied)
{
    QByteArray contents;
    {
        QLockFile lock(path);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    const pid_t child = ::fork(); // a process id that has ended
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    contents.replace(0, contents.indexOf('\n'), QByteArray::number(child));
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

TEST_F(SingleInstanceTest, TheLockLivesInTheRuntimeDirectoryOrElseIsTheUsersOwnInTheTemporaryOne)
{
    {
        test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData());
        EXPECT_EQ(SingleInstance::defaultLockPath(), path);
    }
    test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
    test::StderrCapture capture;
    const QString fallback = SingleInstance::defaultLockPath();
    EXPECT_EQ(capture.finish(), "") << "no warning on the terminal";
    EXPECT_EQ(fallback, QDir::tempPath() + QStringLiteral("/clavora-%1.lock").arg(::getuid()));
}

} // namespace
} // namespace clavora
