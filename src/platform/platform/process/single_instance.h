#pragma once
// Keeps a second copy of the program from running.

#include <QString>
#include <memory>

namespace pmkest {

// On Windows the named mutex "MyOwnMutex"; elsewhere an exclusive lock file of that name in the
// per-user runtime folder. Test and take are one call, so two simultaneous starts cannot both
// run. A folder other than the default gives a marker of its own (tests run side by side).
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& folder = DefaultFolder());
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    // False when another running copy holds the marker.
    bool acquire();
    static QString DefaultFolder();

private:
    struct Marker;
    std::unique_ptr<Marker> m_marker;
};

}  // namespace pmkest
