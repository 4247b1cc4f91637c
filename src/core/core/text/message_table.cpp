#include "core/text/message_table.h"

#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"

namespace pmkest {

namespace {

// Entries 1..6, in the order of their numbers.
constexpr UiText kMainMessages[6] = {
    UiText::NoKestPath,      UiText::NoKestIniPath,        UiText::NoProjectName,
    UiText::ProjectNotFound, UiText::AlternateIniNotFound, UiText::LibraryComponentNotFound};

}  // namespace

const std::string& MessageTable::entry(int number) const {
    static const std::string empty;
    if (number < 0 || number >= kMessageCount) return empty;
    return m_entries[static_cast<size_t>(number)];
}

void MessageTable::setEntry(int number, std::string_view text) {
    if (number <= 0 || number >= kMessageCount) return;
    m_entries[static_cast<size_t>(number)] = std::string(text.substr(0, kMessageLength));
}

void ResetMessageState(MessageState& state) {
    state.MessageCode = 0;
}

void FillMessageTable(MessageTable& table) {
    table = MessageTable();
    PutMainMessages(table, Language::Russian);
}

void PutMainMessages(MessageTable& table, Language language) {
    for (int i = 0; i < 6; ++i)
        table.setEntry(i + 1, cp1251::FromQString(Tr(kMainMessages[i], language)).value_or(""));
    table.setLanguage(language);
}

void ShowPendingMessage(MessageState& state, uint8_t kind, UserDialogs& dialogs) {
    int32_t code = state.MessageCode;
    if (code == 0) return;
    // Out-of-range codes (above 399, or negative) show entry 1.
    if (code < 0 || code >= kMessageCount) code = 1;
    static constexpr MessageKind kinds[] = {MessageKind::Error, MessageKind::Information,
                                            MessageKind::Question, MessageKind::Warning,
                                            MessageKind::Plain};
    static constexpr UiText titles[] = {UiText::TitleError, UiText::TitleInformation,
                                        UiText::TitleConfirm, UiText::TitleWarning,
                                        UiText::TitleProgram};
    const int index = kind > 4 ? 4 : kind;
    dialogs.showMessage(kinds[index], Tr(titles[index], state.table.language()),
                        cp1251::ToQString(state.table.entry(code)));
    state.MessageCode = 0;
}

void RaiseMessage(MessageState& state, Message message, UserDialogs& dialogs) {
    state.MessageCode = static_cast<int32_t>(message);
    ShowPendingMessage(state, 0, dialogs);
}

}  // namespace pmkest
