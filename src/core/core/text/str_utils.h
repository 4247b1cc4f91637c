#pragma once
// Small text routines on CP1251 byte strings. Only the space (32) counts as a blank.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pmkest {

std::string TrimRightBlanks(std::string_view text);
std::string TrimLeftBlanks(std::string_view text);
std::string TrimBlanks(std::string_view text);
std::string RemoveBlanks(std::string_view text);

// Positions are 1-based.
std::string LeftPart(std::string_view text, int count);
std::string MidPart(std::string_view text, int32_t from, int32_t to);
std::string RightPart(std::string_view text, int count);

std::string UpperLatin(std::string_view text);
// Latin a..z and the CP1251 Cyrillic small letters (224..255); ё (184) stays small.
std::string UpperText(std::string_view text);
bool IsTrueText(std::string_view text);

// Thrown by ReadKeyInt; what() is "'<value>' is not a valid integer value", a value longer
// than 64 characters cut there and ended by an ellipsis.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& value);
};

// Signed 32-bit conversion: leading blanks, optional sign, decimal or hex ("$", "0x").
// Throws ConversionError on anything else, including a trailing blank or an empty value.
int32_t StrToInt(std::string_view value);

// Key readers: the key matches anywhere in the line (case-sensitive); the value is the text
// after the line's first "=". A line without the key leaves the variable untouched.
std::string KeyValue(std::string_view line);
bool ReadKeyText(std::string_view key, std::string_view line, std::string& variable);
bool ReadKeyInt(std::string_view key, std::string_view line, int32_t& variable);
bool ReadKeyBool(std::string_view key, std::string_view line, bool& variable);

constexpr int kWordCount = 32;
constexpr size_t kWordLength = 127;

struct WordEntry {
    std::string WordText;
    bool WordPresent = false;
};

// Entries 1..32 live at indices 0..31. Words past the 32nd are dropped.
struct WordTable {
    std::array<WordEntry, kWordCount> entries;
    // Number of leading present entries.
    int presentCount() const;
};

WordTable SplitWords(char separator, std::string_view text);

}  // namespace pmkest
