#include "core/project/project_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/files/text_file.h"
#include "core/project/project_files.h"
#include "core/project/settings_trust.h"
#include "core/settings/manager_settings.h"
#include "core/settings/stored_value.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "core/wine/kest_under_wine.h"

namespace pmkest {

namespace {
QString ProjectMask() {
    return QStringLiteral("*.mpm");
}

// The first entry of a field that holds a blank inside it, trimmed; blanks at the ends of an
// entry change nothing, since they are dropped.
std::optional<std::string> EntryWithBlank(const std::string& field) {
    size_t start = 0;
    for (;;) {
        const size_t end = field.find(';', start);
        const std::string entry = TrimBlanks(field.substr(start, end - start));
        if (entry.find(' ') != std::string::npos) return entry;
        if (end == std::string::npos) return std::nullopt;
        start = end + 1;
    }
}
}  // namespace

ProjectCommands::ProjectCommands(AppState& state, UserDialogs& dialogs, ProjectCommandHost& host)
    : m_state(state), m_dialogs(dialogs), m_host(host), m_openFileName(ProjectMask()) {}

void ProjectCommands::setStartFolder(const QString& folder) {
    m_openFolder = folder;
    m_saveFolder = folder;
}

void ProjectCommands::showError(const QString& text) {
    m_dialogs.reportError(m_state.language, text);
}

bool ProjectCommands::showFailure(const ProjectFileResult& result) {
    if (result.outcome == ProjectFileResult::Failed) showError(result.error);
    if (result.outcome == ProjectFileResult::Unstorable)
        showError(ValueFaultText(result.fault, m_state.language));
    return result.outcome == ProjectFileResult::Failed ||
           result.outcome == ProjectFileResult::Unstorable;
}

std::optional<std::string> ProjectCommands::showOpenDialog() {
    FileDialogRequest request;
    request.folder = m_openFolder;
    request.fileName = m_openFileName;
    // The dialog keeps the folder and the name it had when it closed, also when cancelled.
    const FileDialogResult chosen = m_dialogs.openFile(request);
    m_openFolder = chosen.folder;
    m_openFileName = chosen.fileName;
    // A pattern only filters the list; it never becomes a project.
    if (!chosen.accepted || HasWildcard(QFileInfo(chosen.path).fileName())) return std::nullopt;
    return StorablePath(chosen.path, m_dialogs, m_state.language);
}

std::optional<ProjectCommands::StoredEdit> ProjectCommands::storableEdit(
    const ProjectCommandHost::EditorResult& result, const KestPaths& paths) {
    const TProject& project = m_state.project;
    // A blank ends a switch: "-E/a b" would name another folder, so it is refused, not squeezed.
    for (const std::string& field : result.directories)
        if (const std::optional<std::string> entry = EntryWithBlank(field)) {
            showError(
                Tr(UiText::FolderHoldsBlank, m_state.language).arg(cp1251::ToQString(*entry)));
            return std::nullopt;
        }
    const KestPaths::Mapped options = paths.optionsToKest(result.optionString);
    if (!options.ok()) {
        KestReaches(std::nullopt, options.unreachable, m_dialogs, m_state.language);
        return std::nullopt;
    }
    const std::string outPath = TrimBlanks(result.outputDirectory).empty()
                                    ? FolderPart(project.ProjectFile)
                                    : result.outputDirectory;
    const std::optional<std::string> kestOutPath = paths.toKest(outPath);
    if (!KestReaches(kestOutPath, outPath, m_dialogs, m_state.language)) return std::nullopt;
    const std::string folder = FolderPart(project.ProjectFile);
    if (!KestReaches(paths.toKest(folder), folder, m_dialogs, m_state.language))
        return std::nullopt;
    for (const std::string* value : {&options.text, &*kestOutPath})
        if (const auto fault = FindValueFault(*value, KeysOf::ProjectSettings)) {
            showError(ValueFaultText(*fault, m_state.language));
            return std::nullopt;
        }
    return StoredEdit{options.text, *kestOutPath};
}

void ProjectCommands::optionsEdit() {
    TProject& project = m_state.project;
    // The copy back at the end of a run would silently undo this edit.
    if (m_host.isKestRunningOn(project.SettingsFile)) {
        showError(Tr(UiText::EditWhileRunning, m_state.language)
                      .arg(cp1251::ToQString(project.SettingsFile)));
        return;
    }
    // The editor shows and hands back Unix paths; KEST under Wine reads its own drive form.
    const KestPaths paths = m_host.currentKestPaths();
    const std::optional<ProjectCommandHost::EditorResult> result =
        m_host.runOptionsEditor(paths.optionsFromKest(TrimBlanks(project.PascalOptions)),
                                [this, &paths](const ProjectCommandHost::EditorResult& values) {
                                    return storableEdit(values, paths).has_value();
                                });
    if (!result) return;
    const std::optional<StoredEdit> edit = storableEdit(*result, paths);
    if (!edit) return;
    project.PascalOptions = edit->options;
    project.PascalOutPath = edit->outPath;
    showFailure(SaveProjectSettings(project, m_state.language, paths));
}

bool ProjectCommands::loadForEdit(const std::string& projectFile) {
    // The options go into the file the project names: agreed to first when that is not the
    // project's own.
    if (FileExists(projectFile)) {
        const Expected<std::optional<std::string>> first =
            ReadProjectFileLine(projectFile, m_state.language);
        if (first && *first && !SettingsFileAgreed(m_state, m_dialogs, projectFile, **first))
            return false;
    }
    const ProjectFileResult loaded = LoadProject(m_state.project, projectFile, m_state.language);
    if (loaded.outcome == ProjectFileResult::Failed) showError(loaded.error);
    return loaded.ok();
}

void ProjectCommands::CreateProject1Click() {
    if (!m_host.CheckKestPaths()) return;
    FileDialogRequest request;
    request.folder = m_saveFolder;
    request.fileName = ProjectMask();
    request.filter = QStringLiteral("Project Files (*.mpm)");
    request.defaultSuffix = QStringLiteral("mpm");
    request.confirmOverwrite = true;
    const FileDialogResult chosen = m_dialogs.saveFile(request);
    std::optional<std::string> path;
    if (chosen.accepted && !HasWildcard(QFileInfo(chosen.path).fileName()))
        path = StorablePath(chosen.path, m_dialogs, m_state.language);
    // Wine must reach the project's folder before anything of the project is written.
    const KestPaths paths = m_host.currentKestPaths();
    if (path && !KestReaches(paths.toKest(FolderPart(*path)), FolderPart(*path), m_dialogs,
                             m_state.language))
        return;
    if (path) {
        // Made aside and taken over only once both files are written: a failed create leaves
        // the current project and the folder as they were.
        TProject project = m_state.project;
        project.ProjectFile = *path;
        project.SettingsFile = SettingsPathFor(*path);
        // An existing file (replacing it was confirmed) simply becomes current.
        const bool fresh = !FileExists(*path);
        if (fresh) {
            const Status written = WriteFileAtomic(project.ProjectFile,
                                                   project.SettingsFile + "\r\n", m_state.language);
            if (!written) {
                showError(written.error());
                return;
            }
            const ProjectFileResult made =
                InitProjectSettings(project, m_state.kestIniFolder, m_state.language, paths);
            if (!made.ok()) {
                QFile::remove(ToFsPath(project.ProjectFile));
                showFailure(made);
                return;
            }
        }
        m_state.project = project;
        m_host.showProjectRow(project.ProjectFile);
        m_host.DeriveProjectSettingsPath();
        if (fresh && loadForEdit(m_state.project.ProjectFile)) optionsEdit();
    }
    m_host.AddRecentProject();
    m_host.ShowRecentProjects();
}

void ProjectCommands::Openproject1Click() {
    if (!m_host.CheckKestPaths()) return;
    TProject& project = m_state.project;
    if (!project.ProjectFile.empty())
        m_openFolder = cp1251::ToQString(FolderPart(project.ProjectFile));
    m_openFileName = ProjectMask();
    const std::optional<std::string> path = showOpenDialog();
    if (!path) return;
    project.ProjectFile = *path;
    project.SettingsFile = SettingsPathFor(*path);
    m_host.showProjectRow(project.ProjectFile);
    m_host.DeriveProjectSettingsPath();
    m_host.AddRecentProject();
}

void ProjectCommands::openProjectButton() {
    if (!m_host.CheckKestPaths()) return;
    TProject& project = m_state.project;
    m_openFolder = cp1251::ToQString(FolderPart(project.ProjectFile));
    m_openFileName = ProjectMask();
    const std::optional<std::string> path = showOpenDialog();
    if (!path) return;
    // Unlike the menu command, only an existing file changes the settings file path.
    project.ProjectFile = *path;
    m_host.showProjectRow(project.ProjectFile);
    m_host.DeriveProjectSettingsPath();
    m_host.AddRecentProject();
}

void ProjectCommands::EditCurrentProject1Click() {
    if (!loadForEdit(m_state.project.ProjectFile)) return;
    optionsEdit();
}

void ProjectCommands::EditProject1Click() {
    const std::optional<std::string> path = showOpenDialog();
    if (!path) return;
    m_state.project.ProjectFile = *path;
    m_host.showProjectRow(*path);
    m_host.DeriveProjectSettingsPath();
    if (!loadForEdit(*path)) return;
    optionsEdit();
}

}  // namespace pmkest
