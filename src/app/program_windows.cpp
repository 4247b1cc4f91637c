#include "app/program_windows.h"

namespace pmkest {

ProgramWindows::ProgramWindows(AppState& state, UserDialogs& dialogs, const StartOptions& options)
    : main(std::make_unique<TMain>(state, dialogs, options)),
      commandLine(std::make_unique<Toptf>(state, main.get())),
      options(std::make_unique<TOption>(state, *commandLine, main.get())),
      chooser(std::make_unique<TDirDlgF>(state, dialogs, SystemDirDlgSources(state.shellFolders),
                                         main.get())),
      about(std::make_unique<TAboutBox>(main.get())) {
    this->options->setDirectoryChooser(chooser.get());
    main->setOptionEditor(this->options.get());
    main->setAboutBox(about.get());
}

}  // namespace pmkest
