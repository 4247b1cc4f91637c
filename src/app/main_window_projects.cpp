// The main window as host of the project commands.
#include <QAction>

#include "app/main_window.h"
#include "lib/cp1251.h"
#include "options/options_editor.h"

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

void TMain::ShowProjectRow(const std::string& projectFile) {
    m_label2->setText(cp1251::ToQString(projectFile));
}

ProjectCommandHost::EditorResult TMain::RunOptionsEditor(const std::string& options) {
    if (!m_option) return {};
    m_option->ParseIntoControls(options);
    m_option->ShowModal();
    return {m_option->StatusText(), m_option->OutputDirectory()};
}

bool TMain::IsKestRunningOn(const std::string& settingsFile) {
    return m_launcher->running() && m_launcher->runningSettingsFile() == settingsFile;
}

}  // namespace pmkest
