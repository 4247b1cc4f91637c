#include "app/entry.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "app/program_windows.h"
#include "core/ui_texts.h"
#include "platform/single_instance.h"
#include "widgets/qt_user_dialogs.h"
#include "widgets/startup_probe.h"
#include "widgets/ui_state.h"

namespace pmkest {

int RunProgram(int argc, char** argv, UserDialogs* dialogs, const QString& instanceFolder) {
    QApplication app(argc, argv);
    QtUserDialogs qtDialogs;
    UserDialogs& shownDialogs = dialogs ? *dialogs : qtDialogs;

    SingleInstanceGuard guard(instanceFolder.isEmpty() ? SingleInstanceGuard::DefaultFolder()
                                                       : instanceFolder);
    if (!guard.acquire()) {
        shownDialogs.showMessage(MessageKind::Information, QStringLiteral("pmkest"),
                                 Tr(UiText::AlreadyRunning, false));
        return 0;
    }

    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    StartOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    const QStringList arguments = QCoreApplication::arguments();
    options.arguments = arguments.mid(1);

    UiState state;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/pmkest.png")));
    ProgramWindows windows(state, shownDialogs, options,
                           ProgramWindows::Secondary::AfterFirstPaint);
    TMain& main = *windows.main;
    qtDialogs.setParentWidget(&main);
    InstallStartupProbe(&main);
    main.show();
    return app.exec() == 0 ? 0 : 1;
}

}  // namespace pmkest
