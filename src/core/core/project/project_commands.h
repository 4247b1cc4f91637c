#pragma once
// The commands that create, open and edit projects. The main window hosts them.

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/app_state.h"
#include "core/options/option_string.h"
#include "core/project/project_files.h"
#include "core/wine/kest_paths.h"

namespace pmkest {

class UserDialogs;

// What the commands need from the main window and the options editor.
class ProjectCommandHost {
public:
    virtual ~ProjectCommandHost() = default;
    // Messages 1 or 2 and false when the KEST folder or the KEST ini folder is not usable.
    virtual bool CheckKestPaths() = 0;
    virtual void showProjectRow(const std::string& projectFile) = 0;
    virtual void DeriveProjectSettingsPath() = 0;
    virtual void AddRecentProject() = 0;
    virtual void ShowRecentProjects() = 0;
    // Parses the options into the editor, shows it modally; on Ok hands back the status bar
    // text and the output-directory field, on any other close nothing.
    struct EditorResult {
        std::string optionString;
        std::string outputDirectory;
        std::array<std::string, kDirCount> directories;  // the fields as typed
    };
    // False, after telling the user why, for values that cannot be stored: the editor then
    // stays open instead of closing on an edit that would be thrown away.
    using EditorCheck = std::function<bool(const EditorResult&)>;
    virtual std::optional<EditorResult> runOptionsEditor(const std::string& options,
                                                         const EditorCheck& acceptable) = 0;
    // True when KEST is running on the project with this settings file.
    virtual bool isKestRunningOn(const std::string& settingsFile) = 0;
    // The form of the paths that KEST in the current KEST folder reads.
    virtual KestPaths currentKestPaths() { return {}; }
};

class ProjectCommands {
public:
    ProjectCommands(AppState& state, UserDialogs& dialogs, ProjectCommandHost& host);

    void CreateProject1Click();
    void Openproject1Click();
    void openProjectButton();  // the painted button; the click flash and redraw are the host's
    void EditCurrentProject1Click();
    void EditProject1Click();

    // Where both dialogs start until the open commands move the open dialog.
    void setStartFolder(const QString& folder);

private:
    void optionsEdit();
    struct StoredEdit {
        std::string options;
        std::string outPath;
    };
    // What an accepted edit stores, or none after the message why it cannot be stored.
    std::optional<StoredEdit> storableEdit(const ProjectCommandHost::EditorResult& result,
                                           const KestPaths& paths);
    bool loadForEdit(const std::string& projectFile);
    std::optional<std::string> showOpenDialog();
    void showError(const QString& text);
    // Shows a failed or refused write; true when there was one.
    bool showFailure(const ProjectFileResult& result);

    AppState& m_state;
    UserDialogs& m_dialogs;
    ProjectCommandHost& m_host;
    // The open dialog keeps its folder and file name between commands.
    QString m_openFolder = QStringLiteral("/");
    QString m_openFileName;
    QString m_saveFolder = QStringLiteral("/");
};

}  // namespace pmkest
