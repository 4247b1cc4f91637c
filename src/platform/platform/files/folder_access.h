#pragma once
// Whether a folder can be listed and whether new files can be made in it.

#include <QString>

namespace pmkest {

// Empty when the folder can be entered and its entries read; otherwise the system's reason.
QString FolderAccessError(const QString& path);

// True when a new file can be made in the folder. Tried, not read off the permission bits,
// which say nothing of read-only mounts, access lists or root.
bool FolderTakesNewFiles(const QString& path);

}  // namespace pmkest
