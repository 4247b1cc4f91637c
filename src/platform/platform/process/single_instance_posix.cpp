#include "platform/process/single_instance.h"

#include <QDir>
#include <QLockFile>

#include "platform/places/runtime_folder.h"

namespace pmkest {

struct SingleInstanceGuard::Marker {
    explicit Marker(const QString& path) : lock(path) {}
    QLockFile lock;
};

SingleInstanceGuard::SingleInstanceGuard(const QString& folder)
    : m_marker(std::make_unique<Marker>(QDir(folder).filePath(QStringLiteral("MyOwnMutex")))) {
    // A lock is stale only when its owner has gone, never because of its age.
    m_marker->lock.setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire() {
    return m_marker->lock.tryLock(0);
}

QString SingleInstanceGuard::DefaultFolder() {
    return RuntimeFolder();
}

}  // namespace pmkest
