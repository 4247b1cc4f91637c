#pragma once
// Whether a folder can be listed and whether new files can be made in it.

#include <QString>

namespace pmkest {

// Why a folder cannot be listed. The program's own reasons are worded by the caller in the
// interface language; where the system gives a text of its own, that text is kept.
struct FolderRefusal {
    enum class Reason { None, NotNamed, Missing, NotAFolder, AccessDenied, System };
    Reason reason = Reason::None;
    QString systemText;  // Reason::System only
    bool refused() const { return reason != Reason::None; }
};

// None when the folder can be entered and its entries read.
FolderRefusal FolderAccessError(const QString& path);

// True when a new file can be made in the folder. Tried, not read off the permission bits,
// which say nothing of read-only mounts, access lists or root.
bool FolderTakesNewFiles(const QString& path);

}  // namespace pmkest
