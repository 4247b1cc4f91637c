#pragma once
// The options editor: the Turbo51 options of a project as check boxes, memory-type boxes and
// directory fields. The controls are the state; the status bar holds the composed string.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/options/option_string.h"
#include "core/project/project_commands.h"
#include "widgets/ui_state.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;

namespace pmkest {

class PaintBox;
class StatusPanels;
class TDirDlgF;
class Toptf;

class TOption : public QDialog {
    Q_OBJECT
public:
    TOption(UiState& state, Toptf& commandLine, QWidget* parent = nullptr);
    // The chooser is created after the editor.
    void setDirectoryChooser(TDirDlgF* chooser) { m_dirDlg = chooser; }

    // Resets every control, then sets them from the option string.
    void parseIntoControls(std::string_view optionString);
    // Shows the window modally; true when it was left with Ok.
    bool showModal();
    // Asked before Ok closes the window; a refusal keeps it open on the field at fault.
    void setAcceptCheck(ProjectCommandHost::EditorCheck check) { m_acceptCheck = std::move(check); }
    // The option string as last composed: the window's result.
    std::string statusText() const;
    // The output directory field (Edit1).
    std::string outputDirectory() const;

    OptionSet readControls() const;
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildSwitchGroup(QWidget* client, int& label);
    void buildDirectoryGroup(QWidget* client, int& label);
    void buildButtons(QWidget* client);
    void chainTabOrder();
    void buildMenu();
    void FormCreate();
    void FormActivate();
    void ManualInput1Click();
    void OkClose1Click();
    void CancelClose1Click();
    void PaintBox1Click();
    void PaintBox2Click();
    void FormMouseMove();
    void SpeedButtonClick(int field);
    // False when the check refused the values; the field at fault then has the focus.
    bool acceptable();

    UiState& m_state;
    Toptf& m_commandLine;
    TDirDlgF* m_dirDlg = nullptr;

    std::array<QCheckBox*, kSwitchCount> m_checkBoxes{};
    std::array<QComboBox*, kMemCount> m_comboBoxes{};
    std::array<QLineEdit*, kDirCount> m_edits{};
    std::array<QToolButton*, kDirCount> m_speedButtons{};
    PaintBox* m_paintBox1 = nullptr;
    PaintBox* m_paintBox2 = nullptr;
    StatusPanels* m_statusBar = nullptr;
    QMenu* m_file1 = nullptr;
    QAction* m_manualInput1 = nullptr;
    QAction* m_okClose1 = nullptr;
    QAction* m_cancelClose1 = nullptr;
    QTimer* m_timer1 = nullptr;
    QString m_composed;
    ProjectCommandHost::EditorCheck m_acceptCheck;
};

}  // namespace pmkest
