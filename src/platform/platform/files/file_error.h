#pragma once
// The one form of a file error text that the user reads.

#include <QString>

namespace pmkest {

// "<path>: <reason>", the path with the system's own separators; every file error reads so.
QString FileErrorText(const QString& path, const QString& reason);

}  // namespace pmkest
