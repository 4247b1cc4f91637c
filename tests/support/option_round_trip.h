#pragma once
// When composing a parsed option set and parsing it again must give the same set back.
// Shared by the option string tests and the fuzz target; standard C++ only.

#include <algorithm>
#include <string>
#include <string_view>

#include "core/options/option_string.h"

namespace pmkest::test {

inline int CountWords(std::string_view text) {
    return text.empty() ? 0 : 1 + static_cast<int>(std::count(text.begin(), text.end(), ' '));
}

// A set read from a text survives a round when nothing hits a limit: at most 32 composed words,
// single-switch directories that fit a word, lists of at most ten entries that do not start
// empty (a leading empty entry is absorbed by the next one on reading).
inline bool SurvivesRoundTrip(const OptionSet& parsed) {
    if (CountWords(ComposeOptionString(parsed)) > 32) return false;
    for (int i : {kDirOutput, kDirL51Cfg})
        if (parsed.directories[static_cast<size_t>(i)].size() > 125) return false;
    for (int i : {kDirUnits, kDirInclude, kDirObject}) {
        const std::string& list = parsed.directories[static_cast<size_t>(i)];
        if (list.empty()) continue;
        if (list.front() == ';') return false;
        if (std::count(list.begin(), list.end(), ';') >= 10) return false;
    }
    return true;
}

}  // namespace pmkest::test
