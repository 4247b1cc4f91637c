#pragma once
// Keeps a second copy of the program from running.

#include <QLockFile>
#include <QString>
#include <memory>

namespace pmkest {

// The "MyOwnMutex" marker: an exclusive lock file in the per-user runtime folder, held for the
// life of the process. Test and take are one call, so two simultaneous starts cannot both run.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& folder = DefaultFolder());
    // False when another running copy holds the lock.
    bool acquire();
    static QString DefaultFolder();

private:
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace pmkest
