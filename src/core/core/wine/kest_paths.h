#pragma once
// The form of the paths the manager writes for KEST: Unix paths for a native kest, Wine's
// drive form ("Z:\...") for kest.exe under Wine. Reading back turns Wine's form into the Unix
// path it stands for, so windows show and use Unix paths either way.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/wine/wine_paths.h"

namespace pmkest {

class KestPaths {
public:
    KestPaths() = default;  // native kest: paths stay as they are
    explicit KestPaths(WineDrives drives) : m_wine(true), m_drives(std::move(drives)) {}

    bool throughWine() const { return m_wine; }
    const WineDrives& drives() const { return m_drives; }

    // None when the path is absolute and lies outside every drive of the prefix. Relative
    // paths and paths already in drive form pass as they are.
    std::optional<std::string> toKest(const std::string& path) const;
    // Drive-form paths on a known drive become Unix paths; anything else stays as it is.
    std::string fromKest(const std::string& path) const;

    // Every directory of the option string's -E -T -U -I -J words, ";"-lists included; blanks
    // and all other words stay byte for byte. unreachable names the first path Wine cannot map.
    struct Mapped {
        std::string text;
        std::string unreachable;
        bool ok() const { return unreachable.empty(); }
    };
    Mapped optionsToKest(std::string_view options) const;
    std::string optionsFromKest(std::string_view options) const;

private:
    bool m_wine = false;
    WineDrives m_drives;
};

}  // namespace pmkest
