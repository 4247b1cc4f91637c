#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/settings/stored_value.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/places/shell_folder_values.h"
#include "windows/main/main_window.h"

// The main window's part in the start-up files and in starting KEST.

namespace pmkest {

void TMain::WriteShellFolderLines(const StartOptions& options) {
    QStringList places = options.runtimeFolder.isEmpty() ? ShellFolderListPlaces()
                                                         : QStringList{options.runtimeFolder};
    if (!options.dirsFallbackFolder.isEmpty()) places << options.dirsFallbackFolder;
    std::vector<std::string> lines(m_state.shellFolders.ShellFolderLines.begin(),
                                   m_state.shellFolders.ShellFolderLines.end());
    const std::string text = JoinLinesCrLf(lines);
    // The first place that takes the file is enough: a refused one costs no message at every
    // start. Only when none does, the last reason is shown.
    Status written = Status(Failure{QString()});
    for (const QString& place : places) {
        if (place.isEmpty()) continue;
        const QString file =
            QDir::toNativeSeparators(QDir(place).filePath(QStringLiteral("dirs.txt")));
        const std::optional<std::string> path = cp1251::FromQString(file);
        if (!path) {
            written = Failure{Tr(UiText::PathNotStorable, m_state.language).arg(file)};
            continue;
        }
        QDir().mkpath(place);
        written = WriteFileAtomic(*path, text, m_state.language);
        if (written) return;
    }
    showStartupError(Tr(UiText::DirsNotWritten, m_state.language).arg(written.error()));
}

void TMain::StartCommandLineProject(const QString& argument) {
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
    m_label2->setText(absolute);
    DeriveProjectSettingsPath();
    StartKest();
}

bool TMain::confirmCloseDuringRun() {
    // Ending KEST loses its unsaved work, so only a yes goes on.
    if (!m_dialogs.askYesNo(Tr(UiText::TitleProgram, m_state.language),
                            Tr(UiText::EndKestQuestion, m_state.language)))
        return false;
    if (!FormClose()) return false;
    // A KEST adopted from an earlier manager is ended here; one of this manager's own start
    // ends it and quits.
    if (m_launcher->adopting())
        m_launcher->EndAdoptedRun();
    else
        m_launcher->EndRun();
    return true;
}

}  // namespace pmkest
