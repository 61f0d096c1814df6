#include "SingleInstance.h"
#include "StandardError.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace clavora {

namespace {

// Why the file at `path` cannot be our lock, or nothing when it can (also
// when it does not exist yet). In a folder others can write to, another
// user may have put a file, a symbolic link or a named pipe there first.
QString foreignLock(const QString& path)
{
#if defined(Q_OS_UNIX)
    struct stat status { };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not a regular file");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("it belongs to user %1").arg(status.st_uid);
#else
    Q_UNUSED(path);
#endif
    return {};
}

} // namespace

SingleInstance::SingleInstance(QStringList lockPaths)
    : paths_(std::move(lockPaths))
{
}

SingleInstance::SingleInstance(const QString& lockPath)
    : SingleInstance(QStringList {lockPath})
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (lock_)
        return true;
    for (const QString& path : std::as_const(paths_)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (const QString why = foreignLock(path); !why.isEmpty()) {
            writeToStandardError(
                QStringLiteral("clavora: lock file %1 is not ours (%2); not using it\n").arg(path, why));
            continue;
        }
        auto lock = std::make_unique<QLockFile>(path);
        // No age limit: a lock is stale only when its process no longer
        // runs, however long the holder has been playing.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        // This place cannot be written: try the next.
    }
    return true;
}

QString SingleInstance::lockPath() const
{
    return lock_ ? lock_->fileName() : QString();
}

QString SingleInstance::defaultLockPath()
{
    // Without XDG_RUNTIME_DIR, Qt would warn on the terminal and make up a
    // directory of its own: go to the temporary directory straight away.
    bool hasRuntimeDir = true;
#if defined(Q_OS_UNIX)
    hasRuntimeDir = !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
#endif
    if (hasRuntimeDir) {
        const QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!directory.isEmpty())
            return directory + QStringLiteral("/clavora.lock");
    }
    // The temporary directory is shared by all users; one user's instance
    // must not keep another's from starting.
    QString name = QStringLiteral("clavora.lock");
#if defined(Q_OS_UNIX)
    name = QStringLiteral("clavora-%1.lock").arg(::getuid());
#endif
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QLatin1Char('/') + name;
}

QStringList SingleInstance::defaultLockPaths()
{
    QStringList paths {defaultLockPath()};
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty())
        paths << cache + QStringLiteral("/clavora/clavora.lock");
    return paths;
}

} // namespace clavora
