#include "app/entry.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "app/about_box.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "dirdlg/dir_dialog.h"
#include "lang/ui_texts.h"
#include "options/command_line_window.h"
#include "options/options_editor.h"
#include "platform/qt_user_dialogs.h"
#include "platform/single_instance.h"
#include "platform/startup_probe.h"

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

    AppState state;
    TMain main(state, shownDialogs, options);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/pmkest.png")));
    qtDialogs.setParentWidget(&main);
    // The secondary windows: created once, hidden, in this order.
    Toptf optf(state, &main);
    TOption option(state, optf, &main);
    TDirDlgF dirDlgF(state, shownDialogs, SystemDirDlgSources(state.shellFolders), &main);
    option.setDirectoryChooser(&dirDlgF);
    main.setOptionEditor(&option);
    TAboutBox aboutBox(&main);
    main.setAboutBox(&aboutBox);
    InstallStartupProbe(&main);
    main.show();
    return app.exec() == 0 ? 0 : 1;
}

}  // namespace pmkest
