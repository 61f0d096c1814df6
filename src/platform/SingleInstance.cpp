#include "SingleInstance.h"

#include <QLockFile>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace clavora {

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath))
{
    // No age limit: a lock is stale only when its process no longer runs,
    // however long the holder has been playing.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (lock_->isLocked() || lock_->tryLock(0))
        return true;
    return lock_->error() != QLockFile::LockFailedError;
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

} // namespace clavora
