#pragma once
// How paths are formed on this system: what ends a folder, what a root looks like, and whether
// the letter case of a name matters.

// Plain C++, no Qt: the option string fuzzer compiles it alone.
#include <cstddef>

namespace pmkest {

#ifdef _WIN32
inline constexpr char kFolderSeparators[] = "\\:";  // the drive colon ends "c:" too
inline constexpr char kFolderSeparator = '\\';
inline constexpr size_t kRootLength = 3;  // "c:\"
inline constexpr bool kVolumesAreDrives = true;
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr char kFolderSeparators[] = "/";
inline constexpr char kFolderSeparator = '/';
inline constexpr size_t kRootLength = 1;  // "/"
inline constexpr bool kVolumesAreDrives = false;
inline constexpr bool kNamesIgnoreCase = false;
#endif

}  // namespace pmkest
