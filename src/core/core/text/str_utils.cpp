#include "core/text/str_utils.h"

#include <algorithm>
#include <limits>

namespace pmkest {

namespace {
constexpr char kBlank = ' ';
}

std::string TrimRightBlanks(std::string_view text) {
    while (!text.empty() && text.back() == kBlank) text.remove_suffix(1);
    return std::string(text);
}

std::string TrimLeftBlanks(std::string_view text) {
    while (!text.empty() && text.front() == kBlank) text.remove_prefix(1);
    return std::string(text);
}

std::string TrimBlanks(std::string_view text) {
    return TrimLeftBlanks(TrimRightBlanks(text));
}

std::string RemoveBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != kBlank) out.push_back(c);
    return out;
}

std::string LeftPart(std::string_view text, int count) {
    if (count <= 0) return {};
    return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string MidPart(std::string_view text, int32_t from, int32_t to) {
    if (from < 1) from = 1;
    if (to < from || static_cast<size_t>(from) > text.size()) return {};
    const size_t length = static_cast<size_t>(to) - static_cast<size_t>(from) + 1;
    return std::string(text.substr(static_cast<size_t>(from) - 1, length));
}

std::string RightPart(std::string_view text, int count) {
    if (count <= 0) return {};
    if (text.size() <= static_cast<size_t>(count)) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<size_t>(count)));
}

std::string UpperLatin(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string UpperText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 97 && u <= 122) || u >= 224) c = static_cast<char>(u - 32);
    }
    return out;
}

bool IsTrueText(std::string_view text) {
    return UpperText(text) == "TRUE";
}

namespace {
// A message box quoting a megabyte of text takes seconds to appear and shows nothing useful.
std::string Quoted(const std::string& value) {
    constexpr size_t kShown = 64;
    if (value.size() <= kShown) return value;
    return value.substr(0, kShown) + "\x85";  // the ellipsis of CP1251
}
}  // namespace

ConversionError::ConversionError(const std::string& value)
    : std::runtime_error("'" + Quoted(value) + "' is not a valid integer value") {}

int32_t StrToInt(std::string_view value) {
    const std::string original(value);
    std::string_view s = value;
    while (!s.empty() && s.front() == kBlank) s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) throw ConversionError(original);
    uint64_t magnitude = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            throw ConversionError(original);
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) throw ConversionError(original);
    }
    if (base == 16) {
        // Hex spells the 32-bit pattern, as the classic conversion does.
        const auto bits = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(bits)) : bits;
    }
    const int64_t signedValue =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (signedValue < std::numeric_limits<int32_t>::min() ||
        signedValue > std::numeric_limits<int32_t>::max())
        throw ConversionError(original);
    return static_cast<int32_t>(signedValue);
}

std::string KeyValue(std::string_view line) {
    const size_t p = line.find('=');
    if (p == std::string_view::npos) return std::string(line);
    return std::string(line.substr(p + 1));
}

namespace {
bool Matches(std::string_view key, std::string_view line) {
    return !key.empty() && line.find(key) != std::string_view::npos;
}
}  // namespace

bool ReadKeyText(std::string_view key, std::string_view line, std::string& variable) {
    if (!Matches(key, line)) return false;
    variable = TrimBlanks(KeyValue(line));
    return true;
}

bool ReadKeyInt(std::string_view key, std::string_view line, int32_t& variable) {
    if (!Matches(key, line)) return false;
    variable = StrToInt(KeyValue(line));
    return true;
}

bool ReadKeyBool(std::string_view key, std::string_view line, bool& variable) {
    if (!Matches(key, line)) return false;
    variable = IsTrueText(KeyValue(line));
    return true;
}

int WordTable::presentCount() const {
    int n = 0;
    while (n < kWordCount && entries[static_cast<size_t>(n)].WordPresent) ++n;
    return n;
}

WordTable SplitWords(char separator, std::string_view text) {
    WordTable table;
    std::string_view rest = text;
    for (auto& entry : table.entries) {
        const size_t p = rest.find(separator);
        const std::string_view piece = p == std::string_view::npos ? rest : rest.substr(0, p + 1);
        entry.WordText = LeftPart(RemoveBlanks(piece), static_cast<int>(kWordLength));
        entry.WordPresent = true;
        if (p == std::string_view::npos) break;
        rest.remove_prefix(p + 1);
    }
    return table;
}

}  // namespace pmkest
