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
// The system drops trailing dots and blanks of a name: "x.mpm." opens x.mpm.
inline constexpr bool kTrailingDotsDropped = true;
// KEST, an ANSI program, opens no path of this many characters or more.
inline constexpr size_t kKestPathLimit = 260;
#else
inline constexpr char kFolderSeparators[] = "/";
inline constexpr char kFolderSeparator = '/';
inline constexpr size_t kRootLength = 1;  // "/"
inline constexpr bool kVolumesAreDrives = false;
inline constexpr bool kNamesIgnoreCase = false;
inline constexpr bool kTrailingDotsDropped = false;
inline constexpr size_t kKestPathLimit = 0;  // none
#endif

}  // namespace pmkest
