#pragma once
// The numbered messages: a table of 400 short texts and the pending message number.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/language.h"

namespace pmkest {

class UserDialogs;

constexpr int kMessageCount = 400;
constexpr size_t kMessageLength = 80;

class MessageTable {
public:
    const std::string& entry(int number) const;
    // Keeps at most 80 bytes; entry 0 always stays empty.
    void setEntry(int number, std::string_view text);
    // The language of entries 1..6, which the box titles follow.
    Language language() const { return m_language; }
    void setLanguage(Language language) { m_language = language; }

private:
    std::array<std::string, kMessageCount> m_entries;
    Language m_language = Language::Russian;
};

struct MessageState {
    MessageTable table;
    int32_t MessageCode = 0;
};

void ResetMessageState(MessageState& state);
void FillMessageTable(MessageTable& table);
// Entries 1..6 in the given language.
void PutMainMessages(MessageTable& table, Language language);
// Shows the pending entry (if any) in a box of the given kind and clears the code.
// Kinds: 0 error, 1 information, 2 question, 3 warning, 4 and above plain.
void ShowPendingMessage(MessageState& state, uint8_t kind, UserDialogs& dialogs);
// The messages the program raises, under their numbers in the table.
enum class Message : int32_t {
    NoKestPath = 1,
    NoKestIniPath = 2,
    NoProjectName = 3,
    ProjectNotFound = 4,
    AlternateIniNotFound = 5,
    LibraryComponentNotFound = 6,
};
// MessageCode = the message's number, then ShowPendingMessage with kind 0.
void RaiseMessage(MessageState& state, Message message, UserDialogs& dialogs);

}  // namespace pmkest
