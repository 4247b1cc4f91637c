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
        case UiText::EditWhileRunning:
            return russian ? QStringLiteral(
                                 "KEST сейчас работает с этим проектом (%1). После "
                                 "завершения KEST его настройки будут скопированы "
                                 "обратно и изменения пропали бы. Закройте KEST и "
                                 "повторите.")
                           : QStringLiteral(
                                 "KEST is running on this project (%1). When KEST "
                                 "ends, its settings are copied back and the changes "
                                 "would be lost. Close KEST and try again.");
        case UiText::PathNotStorable:
            return russian ? QStringLiteral(
                                 "Путь содержит символы, которые программа не может "
                                 "сохранить (кодировка Windows-1251):\n%1")
                           : QStringLiteral(
                                 "The path holds characters that the program cannot "
                                 "store (Windows-1251 code page):\n%1");
        case UiText::EndKestQuestion:
            return russian ? QStringLiteral(
                                 "KEST ещё работает. Завершить KEST?\n"
                                 "Несохранённые в KEST изменения будут потеряны.")
                           : QStringLiteral(
                                 "KEST is still running. End KEST?\n"
                                 "Work not saved in KEST will be lost.");
        case UiText::SwapFailed:
            return russian
                       ? QStringLiteral("KEST не запущен: не удалось скопировать %1 в %2.\n%3")
                       : QStringLiteral("KEST was not started: %1 could not be copied to %2.\n%3");
        case UiText::CopyBackFailed:
            return russian ? QStringLiteral(
                                 "Не удалось скопировать %1 в %2; результат работы KEST "
                                 "остался в %1.\n%3")
                           : QStringLiteral(
                                 "%1 could not be copied to %2; KEST's result is still "
                                 "in %1.\n%3");
        case UiText::DirsNotWritten:
            return russian ? QStringLiteral("Не удалось записать список папок пользователя:\n%1")
                           : QStringLiteral("The list of user folders could not be written:\n%1");
        case UiText::FolderNotEntered:
            return russian ? QStringLiteral("Не удалось открыть папку\n%1\n%2")
                           : QStringLiteral("The folder cannot be opened\n%1\n%2");
        case UiText::CommandLineHelp:
            return russian ? QStringLiteral(
                                 "Использование: pmkest [параметры] [проект.mpm]\n"
                                 "Менеджер проектов KEST, версия %1.\n\n"
                                 "Параметры:\n"
                                 "  -h, --help     показать эту справку и выйти\n"
                                 "  -v, --version  показать версию и выйти\n\n"
                                 "Аргументы:\n"
                                 "  проект.mpm     файл проекта: он становится текущим, и "
                                 "KEST сразу\n"
                                 "                 запускается с ним; имя, начинающееся с "
                                 "\"-\", пишите\n"
                                 "                 после \"--\"\n")
                           : QStringLiteral(
                                 "Usage: pmkest [options] [project.mpm]\n"
                                 "Project manager for KEST, version %1.\n\n"
                                 "Options:\n"
                                 "  -h, --help     show this help and exit\n"
                                 "  -v, --version  show the version and exit\n\n"
                                 "Arguments:\n"
                                 "  project.mpm    a project file: it becomes the current "
                                 "project and KEST\n"
                                 "                 starts on it at once; a name that begins "
                                 "with \"-\" goes\n"
                                 "                 after \"--\"\n");
        case UiText::UnknownOption:
            return russian ? QStringLiteral(
                                 "pmkest: неизвестный параметр: %1\n"
                                 "Список параметров: pmkest --help\n")
                           : QStringLiteral(
                                 "pmkest: unknown option: %1\n"
                                 "For the options see: pmkest --help\n");
    }
    return {};
}

}  // namespace pmkest
