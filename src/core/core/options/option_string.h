#pragma once
// The Turbo51 option string and the editor's view of it: switches, memory types, directories.
// Texts are CP1251 bytes. Both conversions are pure.

#include <array>
#include <string>
#include <string_view>

#include "platform/path_rules.h"

namespace pmkest {

// Indices into OptionSet::switches, in composition order (CheckBox1 .. CheckBox12).
enum OptionSwitch : int {
    kSwitchA,
    kSwitchB,
    kSwitchC,
    kSwitchD,
    kSwitchG,
    kSwitchH,
    kSwitchLA,
    kSwitchM,
    kSwitchO,
    kSwitchOX,
    kSwitchQ,
    kSwitchS,
    kSwitchCount
};

// Indices into OptionSet::memory (ComboBox1 .. ComboBox4).
enum OptionMemory : int { kMemGlobal, kMemLocal, kMemParameter, kMemTemporary, kMemCount };

// Indices into OptionSet::directories (Edit1 .. Edit5).
enum OptionDirectory : int {
    kDirOutput,   // -E
    kDirL51Cfg,   // -T
    kDirUnits,    // -U
    kDirInclude,  // -I
    kDirObject,   // -J
    kDirCount
};

enum class MemoryType { Default, Data, IData, XData };

inline constexpr std::array<std::string_view, kSwitchCount> kSwitchTexts = {
    "-A", "-B", "-C", "-D", "-G", "-H", "-LA", "-M", "-O", "-OX", "-Q", "-S"};
inline constexpr std::array<std::string_view, kMemCount> kMemoryPrefixes = {"-MG", "-ML", "-MP",
                                                                            "-MT"};
inline constexpr std::array<std::string_view, kDirCount> kDirectorySwitches = {"-E", "-T", "-U",
                                                                               "-I", "-J"};

// Composition emits at most this many entries of a ";"-list field.
constexpr int kMaxListEntries = 10;

struct OptionSet {
    std::array<bool, kSwitchCount> switches{};
    std::array<MemoryType, kMemCount> memory{};
    std::array<std::string, kDirCount> directories;  // as typed; lists separated by ";"

    bool operator==(const OptionSet&) const = default;
};

// Switches are matched in any letter case. Directory values are upper-cased like the switches
// where the file system ignores case; where it does not, upper-casing would name another
// folder, so the program keeps them as written.
enum class DirectoryCase { Upper, Keep };
inline constexpr DirectoryCase kFileSystemDirectoryCase =
    kNamesIgnoreCase ? DirectoryCase::Upper : DirectoryCase::Keep;

// Reads the first 32 blank-separated words; later words are ignored, as is any word that is
// not a known switch. Words are cut to 127 characters. Never fails.
OptionSet ParseOptionString(std::string_view text,
                            DirectoryCase directoryCase = DirectoryCase::Upper);

// Switches separated by single blanks, empty when nothing is set. Never fails.
std::string ComposeOptionString(const OptionSet& options);

// Words of the text beyond the 32 that a parse reads; lets a caller warn that they are lost.
int IgnoredOptionWords(std::string_view text);

// The memory-type boxes: exactly "Data", "IData" or "XData", anything else is Default.
MemoryType MemoryTypeFromText(std::string_view text);
std::string_view MemoryTypeText(MemoryType type);

}  // namespace pmkest
