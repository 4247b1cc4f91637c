#pragma once

#include <QString>

namespace pmkest {

// Empty when the folder can be entered and its entries read; otherwise the system's reason.
QString FolderAccessError(const QString& path);

}  // namespace pmkest
