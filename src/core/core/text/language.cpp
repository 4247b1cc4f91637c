#include "core/text/language.h"

namespace pmkest {

const LanguageTexts& TextsFor(bool russian) {
    static const LanguageTexts kRussian{
        {QStringLiteral("Запуск"), QStringLiteral("Путь KEST.INI"),
         QStringLiteral("Выбрать проект"), QStringLiteral("Закрыть"), QStringLiteral("Путь KEST"),
         QStringLiteral("Справка")},
        QStringLiteral("Менеджер проектов KEST [13.01.09]"),
        QStringLiteral("Создать новый проект"),
        QStringLiteral("Редактировать загруженный проект"),
        QStringLiteral("Редактировать проект"),
        QStringLiteral("Открыть проект"),
        QStringLiteral("Ранее открытые проекты"),
        QStringLiteral("Выйти"),
        QStringLiteral("Файл"),
        QStringLiteral("Скрыть окно"),
        QStringLiteral("Справка"),
        QStringLiteral("О программе"),
        QStringLiteral("kesttoolsr.html"),
        QStringLiteral("Русский"),
    };
    static const LanguageTexts kEnglish{
        {QStringLiteral("Start"), QStringLiteral("Path KEST.INI"), QStringLiteral("Open Project"),
         QStringLiteral("Close"), QStringLiteral("Path KEST"), QStringLiteral("Help")},
        QStringLiteral("Project manager for KEST [13.01.09]"),
        QStringLiteral("Create New Project"),
        QStringLiteral("Edit Loaded Project"),
        QStringLiteral("Edit Project"),
        QStringLiteral("Open Project"),
        QStringLiteral("Reopen Project"),
        QStringLiteral("Exit"),
        QStringLiteral("File"),
        QStringLiteral("Hide Window"),
        QStringLiteral("Help"),
        QStringLiteral("About"),
        QStringLiteral("kesttoolse.html"),
        QStringLiteral("English"),
    };
    return russian ? kRussian : kEnglish;
}

}  // namespace pmkest
