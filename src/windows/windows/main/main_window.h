#pragma once
// The main window (TMain): the project rows, the painted buttons, the menus and the flags.

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/project/project_commands.h"
#include "core/text/language.h"
#include "widgets/buttons/paint_box.h"
#include "widgets/status_panels.h"
#include "widgets/ui_state.h"
#include "windows/launch/kest_launcher.h"

class QAction;
class QCheckBox;
class QMenu;

namespace pmkest {

class TAboutBox;
class TerminationSignals;
class TOption;
class UserDialogs;

// Where the main window finds its files; tests point it at temporary folders.
struct StartOptions {
    QString programFolder;     // the executable's folder
    QStringList arguments;     // command-line arguments after the program name
    QString runtimeFolder;     // where dirs.txt goes; empty for the system's places
    QString userConfigFolder;  // settings when the program folder is read-only; empty: per-user
    TerminationSignals* termination = nullptr;  // SIGTERM and SIGHUP; none in tests
    QString dirsFallbackFolder = {};  // dirs.txt when runtimeFolder refuses it; tests only
};

class TMain : public QMainWindow, public ProjectCommandHost {
    Q_OBJECT
public:
    TMain(UiState& state, UserDialogs& dialogs, const StartOptions& options,
          QWidget* parent = nullptr);

    PaintBox* paintBox(int number) const {
        return m_paintBoxes.at(static_cast<size_t>(number - 1));
    }
    // True when the window may close; false when the user chose to stay.
    bool FormClose();
    // SIGTERM or SIGHUP: ends the program as closing the window does, without asking, since
    // nobody may be there to answer. A run of KEST is ended and its result copied back first.
    void terminationRequested();
    // The program is on its way out (it may be told so before its event loop runs).
    bool closing() const { return m_closing; }

    void ReadManagerSettings();
    Status WriteManagerSettings();
    void DeriveProjectSettingsPath() override;
    void ShowRecentProjects() override;
    void AddRecentProject() override;
    void OpenRecentProject(int k);
    void ResetButtons();
    void ApplyLanguage(Language language);
    void setAboutBox(TAboutBox* box) { m_aboutBox = box; }
    // The options editor, for the project commands.
    void setOptionEditor(TOption* editor) { m_option = editor; }
    // Creates the hidden windows when a command needs them before they exist.
    void setSecondaryFactory(std::function<void()> create) {
        m_createSecondary = std::move(create);
    }
    TOption* optionEditor() const { return m_option; }

    // Commands of the main window.
    void PaintBox5Click();  // Path KEST
    void PaintBox2Click();  // Path KEST.INI
    void PaintBox6Click();  // Help
    void Image4Click();     // Russian flag
    void Image6Click();     // British flag
    void About1Click();
    void StartKest() { m_launcher->StartKest(); }
    bool CheckKestPaths() override { return m_launcher->CheckKestPaths(); }

    // The project commands' view of the main window.
    void showProjectRow(const std::string& projectFile) override;
    std::optional<EditorResult> runOptionsEditor(const std::string& options,
                                                 const EditorCheck& acceptable) override;
    bool isKestRunningOn(const std::string& settingsFile) override;
    KestPaths currentKestPaths() override;
    KestLauncher& launcher() { return *m_launcher; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const StartOptions& options);
    void buildControls();
    void buildButtons();
    void buildFlags();
    void buildMenus();
    void connectProjectCommands();
    void showStartupError(const QString& text);
    void writeShellFolderLines(const StartOptions& options);
    void startCommandLineProject(const QString& argument);
    bool confirmCloseDuringRun();
    void PaintBoxClick(int number);
    void FormMouseMove();
    void choosePathFolder(std::string& folder, QLabel* row, const QString& presetName);
    void flashFlag(QFrame* bevel, Language language);
    // nullopt (after telling the user) when a chosen path has no CP1251 form or would not read
    // back from the settings file as itself.
    QString buttonCaption(int number) const;

    UiState& m_state;
    UserDialogs& m_dialogs;

    QWidget* m_client = nullptr;
    QLabel* m_label4 = nullptr;  // KEST folder row
    QLabel* m_label1 = nullptr;  // KEST initialisation folder row
    QLabel* m_label2 = nullptr;  // project row
    std::array<QFrame*, 3> m_rowBevels{};
    std::array<PaintBox*, 6> m_paintBoxes{};
    QCheckBox* m_checkBox1 = nullptr;
    QFrame* m_bevel4 = nullptr;
    QFrame* m_bevel5 = nullptr;
    QLabel* m_image4 = nullptr;
    QLabel* m_image6 = nullptr;
    TAboutBox* m_aboutBox = nullptr;
    TOption* m_option = nullptr;
    std::function<void()> m_createSecondary;
    std::unique_ptr<ProjectCommands> m_commands;
    StatusPanels* m_statusBar = nullptr;

    QMenu* m_file1 = nullptr;
    QMenu* m_reopenProject1 = nullptr;
    QMenu* m_help1 = nullptr;
    QAction* m_createProject1 = nullptr;
    QAction* m_editProject1 = nullptr;
    QAction* m_openproject1 = nullptr;
    QAction* m_editCurrentProject1 = nullptr;
    QAction* m_exit1 = nullptr;
    QAction* m_about1 = nullptr;
    std::array<QAction*, kRecentCount> m_reopenItems{};  // N11 .. N201

    KestLauncher* m_launcher = nullptr;

    bool m_closing = false;
};

}  // namespace pmkest
