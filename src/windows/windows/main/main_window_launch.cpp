#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/settings/stored_value.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "windows/main/main_window.h"

// The main window's part in the start-up files and in starting KEST.

namespace pmkest {

void TMain::writeShellFolderLines(const StartOptions& options) {
    const Status written = WriteShellFolderList(m_state.shellFolders, options.runtimeFolder,
                                                options.dirsFallbackFolder, m_state.language);
    if (!written) showStartupError(written.error());
}

void TMain::startCommandLineProject(const QString& argument) {
    // Kept absolute: the project's folder becomes its source path, and the path is stored.
    const QString absolute = QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
    QString error;
    const std::optional<std::string> path = StorablePath(absolute, m_state.language, error);
    if (!path) {
        showStartupError(error);
        return;
    }
    m_state.project.ProjectFile = *path;
    if (!PathExists(*path)) return;
    // The file is read through only to prove that it can be read.
    const Expected<std::string> read = ReadWholeFile(*path, m_state.language);
    if (!read) {
        showStartupError(read.error());
        return;
    }
    m_label2->setText(cp1251::ToQString(*path));
    DeriveProjectSettingsPath();
    StartKest();
}

bool TMain::confirmCloseDuringRun() {
    // Ending KEST loses its unsaved work, so only a yes goes on; a KEST that ends meanwhile
    // takes the question away and the close goes ahead, as nothing is lost any more.
    bool kestEnded = false;
    const QMetaObject::Connection watch =
        connect(m_launcher, &KestLauncher::kestEnded, this, [this, &kestEnded] {
            kestEnded = true;
            m_dialogs.withdrawQuestion();
        });
    const bool yes = m_dialogs.askYesNo(Tr(UiText::TitleProgram, m_state.language),
                                        Tr(UiText::EndKestQuestion, m_state.language));
    disconnect(watch);
    if (!yes && !kestEnded) return false;
    if (!FormClose()) return false;
    // A KEST adopted from an earlier manager is ended here; one of this manager's own start
    // ends it and quits. An adopted run that ended meanwhile is over already.
    if (m_launcher->adopting())
        m_launcher->endAdoptedRun();
    else if (m_launcher->runsOwnKest())
        m_launcher->endRun();
    return true;
}

}  // namespace pmkest
