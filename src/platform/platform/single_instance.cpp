#include "platform/single_instance.h"

#include <QDir>

#include "platform/runtime_folder.h"

namespace pmkest {

SingleInstanceGuard::SingleInstanceGuard(const QString& folder)
    : m_lock(std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("MyOwnMutex")))) {
    // A lock is stale only when its owner has gone, never because of its age.
    m_lock->setStaleLockTime(0);
}

bool SingleInstanceGuard::acquire() {
    return m_lock->tryLock(0);
}

QString SingleInstanceGuard::DefaultFolder() {
    return RuntimeFolder();
}

}  // namespace pmkest
