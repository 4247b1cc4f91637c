#pragma once
// The characters that end a folder in a path as the program holds it.

#include <QtGlobal>

namespace pmkest {

#ifdef Q_OS_WIN
inline constexpr char kFolderSeparators[] = "\\:";  // the drive colon ends "c:" too
#else
inline constexpr char kFolderSeparators[] = "/";
#endif

}  // namespace pmkest
