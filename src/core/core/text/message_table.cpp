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

struct LibraryMessage {
    int number;
    const char* text;
};

// Run-time error texts at error number + 100; the other library entries are never shown here.
constexpr LibraryMessage kLibraryMessages[] = {
    {102, "Файл не найден"},
    {103, "Путь не найден"},
    {104, "Слишком много открытых файлов"},
    {105, "Доступ к файлу запрещен"},
    {106, "Неверный дескриптор файла"},
    {115, "Неверный номер диска"},
    {116, "Нельзя удалить текущий каталог"},
    {117, "Нельзя переименовать на другой диск"},
    {200, "Конец файла"},
    {201, "Диск переполнен"},
    {202, "Файл не назначен"},
    {203, "Файл не открыт"},
    {204, "Файл не открыт для ввода"},
    {205, "Файл не открыт для вывода"},
    {206, "Неверный числовой формат"},
    {250, "Диск защищен от записи"},
    {251, "Неизвестное устройство"},
    {252, "Диск не готов"},
    {253, "Неизвестная команда"},
    {254, "Ошибка данных"},
    {255, "Неверная длина запроса"},
    {256, "Ошибка поиска"},
    {257, "Неизвестный тип носителя"},
    {258, "Сектор не найден"},
    {259, "Нет бумаги в принтере"},
    {260, "Ошибка записи на устройство"},
    {261, "Ошибка чтения с устройства"},
    {262, "Аппаратный сбой"},
    {300, "Деление на ноль"},
    {301, "Ошибка проверки диапазона"},
    {302, "Переполнение стека"},
    {303, "Ошибка выделения памяти"},
    {304, "Неверный указатель"},
    {305, "Переполнение при вычислении с плавающей точкой"},
    {306, "Потеря значимости при вычислении с плавающей точкой"},
    {307, "Неверная операция с плавающей точкой"},
    {310, "Не установлен менеджер оверлеев"},
    {311, "Ошибка чтения оверлея"},
    {315, "Ошибка приведения типа"},
    {316, "Ошибка вариантного типа"},
};

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
    for (const auto& message : kLibraryMessages)
        table.setEntry(message.number, cp1251::FromUtf8(message.text));
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
