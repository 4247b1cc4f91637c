#pragma once
// The manager's own dialog for picking one directory.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/chooser/drive_roots.h"
#include "core/files/file_utils.h"

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace pmkest {

class DirectoryListBox;
class StatusPanels;
class UserDialogs;

// What the dialog takes from the system once, when it is created.
struct DirDlgSources {
    std::vector<VolumeInfo> volumes;
    std::string desktopFolder;   // empty when unknown
    std::string personalFolder;  // empty when unknown
};
// The mounted volumes, and the Desktop and Personal folders found at start-up.
DirDlgSources SystemDirDlgSources(const ShellFolders& folders);

struct ChosenDirectory {
    bool accepted = false;
    std::string directory;
};

class TDirDlgF : public QDialog {
    Q_OBJECT
public:
    TDirDlgF(AppState& state, UserDialogs& dialogs, const DirDlgSources& sources,
             QWidget* parent = nullptr);

    // Opens in the folder of the current project file; the directory counts only if accepted.
    ChosenDirectory ChooseDirectory();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // The Computer, Desktop and Personal pictures with their captions.
    void buildShortcuts();
    void FormCreate(const std::vector<VolumeInfo>& volumes);
    void FormActivate();
    void layOutDriveButtons();
    // The machine's drives, and under Wine the prefix's drives before them.
    void showDriveButtons();
    void SpeedButtonClick(int slot);
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void DirectoryListBox1Change();
    void Button1Click();
    void Button2Click();

    // Moves the list; a folder that cannot be entered is reported and the list stays.
    bool goTo(const QString& path);
    void showListDirectory();
    static void flashFrame(QFrame* frame);

    AppState& m_state;
    UserDialogs& m_dialogs;
    std::string m_desktopFolder;
    std::string m_personalFolder;
    std::string m_startPath;
    std::string m_chosenDirectory;
    std::vector<VolumeInfo> m_systemDrives;  // fixed at creation

    DirectoryListBox* m_list = nullptr;
    std::array<QToolButton*, kDriveButtonCount> m_driveButtons{};
    std::array<QFrame*, 3> m_panels{};
    std::array<QLabel*, 3> m_images{};
    QPushButton* m_button1 = nullptr;
    QPushButton* m_button2 = nullptr;
    StatusPanels* m_statusBar = nullptr;
};

}  // namespace pmkest
