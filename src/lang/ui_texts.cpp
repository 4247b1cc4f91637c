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
        case UiText::PathNotStorable:
            return russian ? QStringLiteral(
                                 "Путь содержит символы, которые программа не может "
                                 "сохранить (кодировка Windows-1251):\n%1")
                           : QStringLiteral(
                                 "The path holds characters that the program cannot "
                                 "store (Windows-1251 code page):\n%1");
        case UiText::FolderNotEntered:
            return russian ? QStringLiteral("Не удалось открыть папку\n%1\n%2")
                           : QStringLiteral("The folder cannot be opened\n%1\n%2");
    }
    return {};
}

}  // namespace pmkest
