// The main window as host of the project commands.
#include <QAction>
#include <QFileInfo>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "windows/launch/kest_launcher.h"
#include "windows/main/main_window.h"
#include "windows/options/options_editor.h"

namespace pmkest {

void TMain::connectProjectCommands() {
    m_commands = std::make_unique<ProjectCommands>(m_state, m_dialogs, *this);
    ProjectCommands* commands = m_commands.get();
    connect(m_createProject1, &QAction::triggered, this,
            [commands] { commands->CreateProject1Click(); });
    connect(m_openproject1, &QAction::triggered, this,
            [commands] { commands->Openproject1Click(); });
    connect(m_editCurrentProject1, &QAction::triggered, this,
            [commands] { commands->EditCurrentProject1Click(); });
    connect(m_editProject1, &QAction::triggered, this,
            [commands] { commands->EditProject1Click(); });
}

void TMain::showProjectRow(const std::string& projectFile) {
    m_label2->setText(cp1251::ToQString(projectFile));
}

std::optional<ProjectCommandHost::EditorResult> TMain::runOptionsEditor(
    const std::string& options, const EditorCheck& acceptable) {
    if (!m_option && m_createSecondary) m_createSecondary();
    if (!m_option) return std::nullopt;
    m_option->parseIntoControls(options);
    m_option->setAcceptCheck(acceptable);
    const bool accepted = m_option->showModal();
    m_option->setAcceptCheck({});
    if (!accepted) return std::nullopt;
    return EditorResult{m_option->statusText(), m_option->outputDirectory(),
                        m_option->readControls().directories};
}

KestPaths TMain::currentKestPaths() {
    return KestPathsFor(m_state.kestFolder);
}

bool TMain::isKestRunningOn(const std::string& settingsFile) {
    if (!m_launcher->running()) return false;
    return SameFile(m_launcher->runningSettingsFile(), settingsFile);
}

}  // namespace pmkest
