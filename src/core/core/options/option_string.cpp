#include "core/options/option_string.h"

#include <algorithm>

#include "core/text/str_utils.h"

namespace pmkest {

namespace {

bool StartsWith(std::string_view word, std::string_view prefix) {
    return word.substr(0, prefix.size()) == prefix;
}

bool StartsWithMemoryPrefix(std::string_view word) {
    return std::any_of(kMemoryPrefixes.begin(), kMemoryPrefixes.end(),
                       [word](std::string_view prefix) { return StartsWith(word, prefix); });
}

// A word counts only for the longest switch it begins with: "-MGD" is not "-M".
bool SwitchMatches(int index, std::string_view word) {
    if (!StartsWith(word, kSwitchTexts[static_cast<size_t>(index)])) return false;
    if (index == kSwitchM) return !StartsWithMemoryPrefix(word);
    if (index == kSwitchO) return !StartsWith(word, kSwitchTexts[kSwitchOX]);
    return true;
}

char MemoryLetter(MemoryType type) {
    switch (type) {
        case MemoryType::Data:
            return 'D';
        case MemoryType::IData:
            return 'I';
        case MemoryType::XData:
            return 'X';
        case MemoryType::Default:
            break;
    }
    return 0;
}

// word is upper-cased for matching; asWritten is the same word as the directory values keep it.
void ApplyWord(std::string_view word, std::string_view asWritten, OptionSet& options) {
    for (int i = 0; i < kSwitchCount; ++i)
        if (SwitchMatches(i, word)) options.switches[static_cast<size_t>(i)] = true;

    for (size_t i = 0; i < kMemoryPrefixes.size(); ++i) {
        if (!StartsWith(word, kMemoryPrefixes[i]) || word.size() < 4) continue;
        switch (word[3]) {
            case 'D':
                options.memory[i] = MemoryType::Data;
                break;
            case 'I':
                options.memory[i] = MemoryType::IData;
                break;
            case 'X':
                options.memory[i] = MemoryType::XData;
                break;
            default:
                break;
        }
    }

    for (size_t i = 0; i < kDirectorySwitches.size(); ++i) {
        if (!StartsWith(word, kDirectorySwitches[i])) continue;
        const std::string_view value = asWritten.substr(2);
        std::string& text = options.directories[i];
        if (text.empty()) {
            text = value;
        } else {
            text += ';';
            text += value;
        }
    }
}

void AppendWord(std::string& result, std::string_view prefix, std::string_view value) {
    result += ' ';
    result += prefix;
    result += value;
}

void AppendList(std::string& result, std::string_view prefix, std::string_view text) {
    if (text.empty()) return;
    std::string entries = RemoveBlanks(text);
    std::replace(entries.begin(), entries.end(), ';', ' ');
    const WordTable words = SplitWords(' ', entries);
    const int count = std::min(words.presentCount(), kMaxListEntries);
    for (int i = 0; i < count; ++i)
        AppendWord(result, prefix, words.entries[static_cast<size_t>(i)].WordText);
}

}  // namespace

OptionSet ParseOptionString(std::string_view text, DirectoryCase directoryCase) {
    OptionSet options;
    const std::string trimmed = TrimBlanks(text);
    const WordTable words = SplitWords(' ', UpperLatin(trimmed));
    // Upper-casing keeps every length, so both tables hold the same words at the same places.
    const WordTable asWritten =
        directoryCase == DirectoryCase::Keep ? SplitWords(' ', trimmed) : words;
    const int count = words.presentCount();
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<size_t>(i);
        ApplyWord(words.entries[index].WordText, asWritten.entries[index].WordText, options);
    }
    return options;
}

std::string ComposeOptionString(const OptionSet& options) {
    std::string result;
    for (size_t i = 0; i < kSwitchTexts.size(); ++i)
        if (options.switches[i]) AppendWord(result, kSwitchTexts[i], {});

    for (size_t i = 0; i < kMemoryPrefixes.size(); ++i) {
        const char letter = MemoryLetter(options.memory[i]);
        if (letter != 0) AppendWord(result, kMemoryPrefixes[i], std::string_view(&letter, 1));
    }

    // Output and L51/CFG directories are one switch each, even when they hold ";".
    for (int i : {kDirOutput, kDirL51Cfg}) {
        const std::string& text = options.directories[static_cast<size_t>(i)];
        if (!text.empty())
            AppendWord(result, kDirectorySwitches[static_cast<size_t>(i)], RemoveBlanks(text));
    }
    for (int i : {kDirUnits, kDirInclude, kDirObject})
        AppendList(result, kDirectorySwitches[static_cast<size_t>(i)],
                   options.directories[static_cast<size_t>(i)]);

    return TrimBlanks(result);
}

int IgnoredOptionWords(std::string_view text) {
    const std::string trimmed = TrimBlanks(text);
    const auto words = 1 + std::count(trimmed.begin(), trimmed.end(), ' ');
    return static_cast<int>(std::max<decltype(words)>(0, words - kWordCount));
}

MemoryType MemoryTypeFromText(std::string_view text) {
    if (text == "Data") return MemoryType::Data;
    if (text == "IData") return MemoryType::IData;
    if (text == "XData") return MemoryType::XData;
    return MemoryType::Default;
}

std::string_view MemoryTypeText(MemoryType type) {
    switch (type) {
        case MemoryType::Data:
            return "Data";
        case MemoryType::IData:
            return "IData";
        case MemoryType::XData:
            return "XData";
        case MemoryType::Default:
            break;
    }
    return "Default";
}

}  // namespace pmkest
