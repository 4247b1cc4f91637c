#pragma once

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <array>

#include "app/app_state.h"
#include "lib/paint_box.h"
#include "lib/status_panels.h"

class QAction;
class QCheckBox;
class QMenu;

namespace pmkest {

class UserDialogs;

// Where the main window finds its files; tests point it at temporary folders.
struct StartOptions {
    QString programFolder;  // the executable's folder
    QStringList arguments;  // command-line arguments after the program name
};

class TMain : public QMainWindow {
    Q_OBJECT
public:
    TMain(AppState& state, UserDialogs& dialogs, const StartOptions& options,
          QWidget* parent = nullptr);

    AppState& state() { return m_state; }
    PaintBox* paintBox(int number) const { return m_paintBoxes.at(static_cast<size_t>(number - 1)); }
    // True when the window may close; false when the user chose to stay.
    bool FormClose();

    void ReadManagerSettings();
    bool WriteManagerSettings(QString& error);
    void DeriveProjectSettingsPath();
    void ShowRecentProjects();
    void AddRecentProject();
    void OpenRecentProject(int k);
    void ResetButtons();
    void ApplyLanguage(bool russian);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const StartOptions& options);
    void buildControls();
    void buildMenus();
    void showStartupError(const QString& text);
    void PaintBoxPaint(int number);
    void PaintBoxMouseMove(int number);
    void PaintBoxClick(int number);
    void FormMouseMove();
    QString buttonCaption(int number) const;

    AppState& m_state;
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

    QString m_openDialogFolder;
    QString m_saveDialogFolder;
    bool m_closing = false;
};

}  // namespace pmkest
