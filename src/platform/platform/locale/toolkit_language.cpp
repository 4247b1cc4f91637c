#include "platform/locale/toolkit_language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "platform/qt_compat.h"

namespace pmkest {

void UseToolkitLanguage(QLocale::Language language) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    const QString name = QStringLiteral("ToolkitRussian");
    auto* translator = app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
    if (language != QLocale::Russian) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        return;
    }
    if (translator) return;
    translator = new QTranslator(app);
    translator->setObjectName(name);
    // Without the translation files the toolkit simply stays English.
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), compat::TranslationsFolder())) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
}

}  // namespace pmkest
