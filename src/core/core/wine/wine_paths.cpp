#include "core/wine/wine_paths.h"

namespace pmkest {

namespace {

char LowerLatin(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLatinLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsDrivePath(std::string_view path) {
    return path.size() >= 2 && IsLatinLetter(path[0]) && path[1] == ':' &&
           (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

std::optional<std::string> ToWinePath(const WineDrives& drives, std::string_view unixPath) {
    if (unixPath.empty() || unixPath.front() != '/') return std::nullopt;
    // "/a/b" lies in the root "/a/b/" too: compare with a separator at its end.
    std::string probe(unixPath);
    if (probe.back() != '/') probe += '/';
    const WineDrive* best = nullptr;
    for (const WineDrive& drive : drives) {
        if (drive.root.empty() || probe.compare(0, drive.root.size(), drive.root) != 0) continue;
        if (!best || drive.root.size() > best->root.size()) best = &drive;
    }
    if (!best) return std::nullopt;
    std::string result(1, static_cast<char>(LowerLatin(best->letter) - 'a' + 'A'));
    result += ":\\";
    const std::string_view rest =
        unixPath.size() > best->root.size() ? unixPath.substr(best->root.size()) : "";
    for (const char c : rest) {
        // Doubled separators would read as an empty folder name in Windows form.
        if (c == '/' && result.back() == '\\') continue;
        result += c == '/' ? '\\' : c;
    }
    return result;
}

std::optional<std::string> ToUnixPath(const WineDrives& drives, std::string_view winePath) {
    if (!IsDrivePath(winePath)) return std::nullopt;
    const char letter = LowerLatin(winePath[0]);
    for (const WineDrive& drive : drives) {
        if (drive.letter != letter) continue;
        std::string result = drive.root;
        const std::string_view rest = winePath.size() > 3 ? winePath.substr(3) : "";
        for (const char c : rest) {
            if ((c == '\\' || c == '/') && result.back() == '/') continue;
            result += c == '\\' ? '/' : c;
        }
        return result;
    }
    return std::nullopt;
}

}  // namespace pmkest
