#include "lang/ui_texts.h"

namespace pmkest {

QString Tr(UiText id, bool russian) {
    switch (id) {
        case UiText::AlreadyRunning:
            return QStringLiteral("Program Is Already Running!");
        case UiText::SettingsNotWritten:
            return russian ? QStringLiteral("Не удалось записать настройки менеджера:\n%1")
                           : QStringLiteral("The manager settings could not be written:\n%1");
        case UiText::CloseAnyway:
            return russian ? QStringLiteral("Закрыть программу без сохранения настроек?")
                           : QStringLiteral("Close the program without saving the settings?");
        case UiText::StartupStepFailed:
            return QStringLiteral("%1");
        case UiText::FolderNotEntered:
            return russian ? QStringLiteral("Не удалось открыть папку\n%1\n%2")
                           : QStringLiteral("The folder cannot be opened\n%1\n%2");
        case UiText::PathNotCp1251:
            return russian ? QStringLiteral(
                                 "Путь содержит символы вне кодовой страницы 1251 и не "
                                 "может быть сохранён:\n%1")
                           : QStringLiteral(
                                 "The path holds characters outside code page 1251 and "
                                 "cannot be stored:\n%1");
    }
    return {};
}

}  // namespace pmkest
