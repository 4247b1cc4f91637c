#include "core/wine/kest_paths.h"

#include <algorithm>
#include <functional>

#include "core/options/option_string.h"

namespace pmkest {

namespace {

using EntryMap = std::function<std::optional<std::string>(const std::string&)>;

bool IsDirectorySwitch(std::string_view word) {
    if (word.size() < 2 || word[0] != '-') return false;
    const char letter =
        static_cast<char>(word[1] >= 'a' && word[1] <= 'z' ? word[1] - 32 : word[1]);
    for (const std::string_view s : kDirectorySwitches)
        if (s[1] == letter) return true;
    return false;
}

// Rewrites the ";"-separated entries of every directory word; false at the first failure.
bool MapDirectories(std::string_view text, const EntryMap& map, std::string& out,
                    std::string& failed) {
    out.clear();
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t blank = std::min(text.find(' ', pos), text.size());
        const std::string_view word = text.substr(pos, blank - pos);
        if (IsDirectorySwitch(word)) {
            out.append(word.substr(0, 2));
            size_t from = 2;
            while (from <= word.size()) {
                const size_t semi = std::min(word.find(';', from), word.size());
                const std::string entry(word.substr(from, semi - from));
                if (!entry.empty()) {
                    const std::optional<std::string> mapped = map(entry);
                    if (!mapped) {
                        failed = entry;
                        return false;
                    }
                    out += *mapped;
                }
                if (semi < word.size()) out += ';';
                from = semi + 1;
            }
        } else {
            out.append(word);
        }
        if (blank < text.size()) out += ' ';
        pos = blank + 1;
    }
    return true;
}

}  // namespace

std::optional<std::string> KestPaths::toKest(const std::string& path) const {
    if (!m_wine || path.empty() || path.front() != '/') return path;
    return ToWinePath(m_drives, path);
}

std::string KestPaths::fromKest(const std::string& path) const {
    if (!m_wine) return path;
    return ToUnixPath(m_drives, path).value_or(path);
}

KestPaths::Mapped KestPaths::optionsToKest(std::string_view options) const {
    Mapped result;
    if (!m_wine) {
        result.text = options;
        return result;
    }
    if (!MapDirectories(
            options, [this](const std::string& entry) { return toKest(entry); }, result.text,
            result.unreachable))
        result.text.clear();
    return result;
}

std::string KestPaths::optionsFromKest(std::string_view options) const {
    if (!m_wine) return std::string(options);
    std::string out;
    std::string unused;
    MapDirectories(
        options, [this](const std::string& entry) { return fromKest(entry); }, out, unused);
    return out;
}

}  // namespace pmkest
