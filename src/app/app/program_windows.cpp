#include "app/program_windows.h"

#include <QEvent>
#include <QTimer>

namespace pmkest {

namespace {

// Creates the hidden windows right after the main window's first paint.
class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(ProgramWindows& windows, QObject* parent)
        : QObject(parent), m_windows(windows) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_windows.createSecondary();
                deleteLater();
            });
        }
        return false;
    }

private:
    ProgramWindows& m_windows;
};

}  // namespace

ProgramWindows::ProgramWindows(UiState& state, UserDialogs& dialogs, const StartOptions& start,
                               Secondary when)
    : main(std::make_unique<TMain>(state, dialogs, start)), m_state(state), m_dialogs(dialogs) {
    main->setSecondaryFactory([this] { createSecondary(); });
    if (when == Secondary::Now)
        createSecondary();
    else
        main->installEventFilter(new FirstPaintWatcher(*this, main.get()));
}

ProgramWindows::~ProgramWindows() {
    // The hidden windows are children of the main window; they go first.
    about.reset();
    chooser.reset();
    options.reset();
    commandLine.reset();
}

void ProgramWindows::createSecondary() {
    if (commandLine) return;
    commandLine = std::make_unique<Toptf>(m_state, main.get());
    options = std::make_unique<TOption>(m_state, *commandLine, main.get());
    chooser = std::make_unique<TDirDlgF>(m_state, m_dialogs,
                                         SystemDirDlgSources(m_state.shellFolders), main.get());
    about = std::make_unique<TAboutBox>(main.get());
    options->setDirectoryChooser(chooser.get());
    main->setOptionEditor(options.get());
    main->setAboutBox(about.get());
}

}  // namespace pmkest
