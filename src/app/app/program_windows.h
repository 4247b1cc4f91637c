#pragma once
// The program's five windows, created in their fixed order and wired together.

#include <memory>

#include "windows/chooser/dir_dialog.h"
#include "windows/main/about_box.h"
#include "windows/main/main_window.h"
#include "windows/options/command_line_window.h"
#include "windows/options/options_editor.h"

namespace pmkest {

class ProgramWindows {
public:
    enum class Secondary { Now, AfterFirstPaint };
    // The main window first (its creation may already start KEST), then the hidden ones. With
    // AfterFirstPaint the hidden ones follow as soon as the main window is on the screen, so
    // that it appears without waiting for windows nobody can see yet.
    ProgramWindows(UiState& state, UserDialogs& dialogs, const StartOptions& start,
                   Secondary when = Secondary::Now);
    ~ProgramWindows();

    void createSecondary();

    std::unique_ptr<TMain> main;
    std::unique_ptr<Toptf> commandLine;
    std::unique_ptr<TOption> options;
    std::unique_ptr<TDirDlgF> chooser;
    std::unique_ptr<TAboutBox> about;

private:
    UiState& m_state;
    UserDialogs& m_dialogs;
};

}  // namespace pmkest
