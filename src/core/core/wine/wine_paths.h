#pragma once
// Paths as a Windows program under Wine sees them ("Z:\home\ivan\blink\") and back.
// A prefix's drives map letters to Unix folders; Z: is normally "/". Texts are CP1251 bytes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pmkest {

struct WineDrive {
    char letter = 'z';  // lower case
    std::string root;   // absolute Unix folder with its trailing "/"
};
using WineDrives = std::vector<WineDrive>;

// The deepest drive root holding the absolute path names the drive. A folder keeps its
// trailing separator ("/a/" gives "Z:\a\"). None for a relative path or one outside every drive.
std::optional<std::string> ToWinePath(const WineDrives& drives, std::string_view unixPath);

// "X:\..." (either slash, any letter case) on a known drive gives the Unix path; none for
// anything else (Unix paths, other drives, UNC names).
std::optional<std::string> ToUnixPath(const WineDrives& drives, std::string_view winePath);

// A drive letter, a colon and a separator or nothing: the form Wine's programs write.
bool IsDrivePath(std::string_view path);

}  // namespace pmkest
