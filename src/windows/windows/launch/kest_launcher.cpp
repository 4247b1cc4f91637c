#include "windows/launch/kest_launcher.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QWidget>
#include <utility>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/launch/kest_start_checks.h"
#include "core/project/project_files.h"
#include "core/project/settings_trust.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "core/wine/wine_setup.h"
#include "platform/kest_process.h"
#include "platform/stop_points.h"
#include "platform/termination_signals.h"
#include "widgets/status_panels.h"

namespace pmkest {

KestLauncher::KestLauncher(AppState& state, UserDialogs& dialogs, const LaunchView& view,
                           QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_view(view) {
    RunRecovery::Hooks hooks;
    hooks.setRunning = [this](bool running, const std::string& settingsFile) {
        m_running = running;
        m_runningSettings = running ? settingsFile : std::string();
        SetMainControlsEnabled(!running);
        showAdoption(running && m_recovery->adopting());
    };
    hooks.countRun = [this] { CountRun(); };
    m_recovery = new RunRecovery(m_state, m_dialogs, std::move(hooks), this);
}

void KestLauncher::showAdoption(bool shown) {
    if (!m_view.status || shown == m_showsAdoption) return;
    m_showsAdoption = shown;
    if (!shown) {
        m_view.status->setPanelText(2, m_panelBeforeAdoption);
        return;
    }
    // The greyed-out window says why it waits.
    const RunJournal& run = *m_recovery->currentRun();
    const QDateTime started = run.started.toLocalTime();
    const QString when = started.toString(started.date() == QDate::currentDate()
                                              ? QStringLiteral("HH:mm:ss")
                                              : QStringLiteral("yyyy-MM-dd HH:mm"));
    m_panelBeforeAdoption = m_view.status->panelText(2);
    m_view.status->setPanelText(
        2, Tr(UiText::WaitingForKest, m_state.language).arg(when, ToFsPath(run.projectFile)));
}

bool KestLauncher::CheckKestPaths() {
    if (m_state.kestFolder.empty() || !FileExists(m_state.kestFolder + "kest.exe")) {
        RaiseMessage(m_state.messages, Message::NoKestPath, m_dialogs);
        return false;
    }
    const std::string ini = m_state.kestIniFolder + "kest.ini";
    // A folder of that name is not "no path": say what stands there.
    if (!m_state.kestIniFolder.empty() && PathExists(ini) && !FileExists(ini)) {
        showError(
            FileFaultText(ToFsPath(ini), {FileFault::Kind::Folder, {}, {}}, m_state.language));
        return false;
    }
    if (m_state.kestIniFolder.empty() || !FileExists(ini)) {
        RaiseMessage(m_state.messages, Message::NoKestIniPath, m_dialogs);
        return false;
    }
    return true;
}

void KestLauncher::showError(const QString& text) {
    m_dialogs.reportError(m_state.language, text);
}

void KestLauncher::StartKest() {
    // Controls are disabled during a run, but a second start must never swap files under it.
    if (m_running) return;
    if (!CheckKestPaths()) return;
    // kest.ini may still hold the result of a run that was cut short: that comes first.
    if (!m_recovery->FinishInterruptedRun()) return;
    // No project chosen yet: say so instead of an I/O error about an empty name.
    if (m_state.project.ProjectFile.empty()) {
        RaiseMessage(m_state.messages, Message::NoProjectName, m_dialogs);
        return;
    }

    const Expected<std::optional<std::string>> first =
        ReadProjectFileLine(m_state.project.ProjectFile, m_state.language);
    if (!first) {
        showError(first.error());
        return;
    }
    if (*first) m_state.project.SettingsFile = **first;
    // The status bar names the file the run actually uses, whatever the project is called.
    if (m_view.status) m_view.status->setPanelText(2, ToFsPath(m_state.project.SettingsFile));
    if (!SettingsFileAgreed(m_state, m_dialogs, m_state.project.ProjectFile,
                            m_state.project.SettingsFile))
        return;
    // A folder or a device in its place is named by the swap's message.
    if (!PathExists(m_state.project.SettingsFile)) {
        RaiseMessage(m_state.messages, Message::AlternateIniNotFound, m_dialogs);
        return;
    }

    // Fixed for this run: commands that change the current project meanwhile do not move them.
    // KEST in a protected folder reads the kest.ini its earlier writes left in the user's store.
    const std::string iniFolder = KestIniFolderInUse(m_state.kestIniFolder);
    const std::string ini = iniFolder + "kest.ini";
    const std::string res = iniFolder + "kest.res";
    const std::string settings = m_state.project.SettingsFile;
    const Language language = m_state.language;

    KestCommand command = KestCommandFor(m_state.kestFolder);
    bool preparing = false;
    if (KestRunsUnderWine(m_state.kestFolder) && !prepareWine(command, preparing)) return;
    // An ANSI KEST sees a name its code page cannot hold as question marks.
    if (const auto unreadable = PathKestCannotRead(
            {m_state.kestFolder, iniFolder, settings, FolderPart(m_state.project.ProjectFile)},
            AnsiCodePage())) {
        showError(Tr(UiText::AnsiCodePageNot1251, language)
                      .arg(ToFsPath(*unreadable), QString::number(AnsiCodePage())));
        return;
    }

    // The result must be able to go back into the project before KEST is given it: a folder
    // that refuses a new version of the settings file would only be found after the run.
    if (const Status replaceable = CheckReplaceable(settings, language); !replaceable) {
        showError(Tr(UiText::ResultCannotGoBack, language).arg(replaceable.error()));
        return;
    }
    // The program is being ended (a box before this was dismissed by it): nothing is swapped.
    if (TerminationSignals::received()) return;
    // Written before anything is swapped, so a manager ended during the run loses nothing.
    const QString journalError = m_recovery->BeginRun(m_state.project.ProjectFile, settings, ini);
    if (!journalError.isEmpty()) {
        showError(journalError);
        return;
    }
    // KEST must not run on the wrong settings: a failed swap stops the start.
    for (const auto& [from, to] : {std::pair{ini, res}, std::pair{settings, ini}}) {
        const Status copied = CopyFileData(from, to, language);
        if (!copied) {
            m_recovery->AbandonRun();
            showError(
                Tr(UiText::SwapFailed, language).arg(ToFsPath(from), ToFsPath(to), copied.error()));
            return;
        }
    }
    PassStopPoint("swap-copied");
    // KEST carries the run's mark, so that it can be found should the manager end before it
    // has noted KEST's id.
    QString mark;
    const QString markError = m_recovery->KestStarting(command.program, mark);
    if (!markError.isEmpty()) {
        showError(markError);
        return;
    }
    KestCommand marked = command;
    if (marked.environment.isEmpty()) marked.environment = QProcessEnvironment::systemEnvironment();
    marked.environment.insert(QLatin1String(RunRecovery::kMarkVariable), mark);

    m_running = true;
    m_endRequested = false;
    m_runningSettings = settings;
    SetMainControlsEnabled(false);
    // The status bar says which Wine and prefix this run uses, or which kest.ini when it is
    // not the one the manager was told of, for as long as it runs.
    QString settingsPanel;
    const QString wineInUse =
        !command.environment.isEmpty()
            ? Tr(UiText::WineInUse, language)
                  .arg(command.program, command.environment.value(QStringLiteral("WINEPREFIX")))
        : iniFolder != m_state.kestIniFolder
            ? Tr(UiText::KestIniInStore, language).arg(ToFsPath(ini))
            : QString();
    if (m_view.status && !wineInUse.isEmpty()) {
        settingsPanel = m_view.status->panelText(2);
        m_view.status->setPanelText(2, wineInUse);
        m_view.status->setToolTip(wineInUse);
    }
    // Making a new prefix keeps Wine busy for a while before KEST shows: say so.
    if (preparing) showPrefixNote(command.environment.value(QStringLiteral("WINEPREFIX")));
    const bool ok = RunAndWait(marked, m_view.hideOption && m_view.hideOption->isChecked());
    m_recovery->KestEnded(m_exitCode);
    if (m_prefixNote) m_prefixNote->deleteLater();
    const bool ended = m_endRequested;
    if (!ok && !ended)
        m_dialogs.showMessage(MessageKind::Plain,
                              m_exitCode > 0 ? Tr(UiText::ExitCodeTitle, language).arg(m_exitCode)
                                             : Tr(UiText::TitleProgram, language),
                              Tr(UiText::KestProblems, language));
    SetMainControlsEnabled(true);
    if (m_view.status && !wineInUse.isEmpty()) m_view.status->setPanelText(2, settingsPanel);
    m_recovery->FinishRun();
    m_running = false;
    m_endRequested = false;
    m_runningSettings.clear();

    if (ended) {
        // The settings were written when the window closed; this run is not counted.
        QCoreApplication::quit();
        return;
    }
    CountRun();
}

void KestLauncher::CountRun() {
    // Wraps like the 32-bit counter it is stored as.
    m_state.launchCounter = static_cast<int32_t>(static_cast<uint32_t>(m_state.launchCounter) + 1u);
    if (m_view.status) m_view.status->setPanelText(1, QString::number(m_state.launchCounter));
}

bool KestLauncher::prepareWine(KestCommand& command, bool& preparing) {
    const TProject& project = m_state.project;
    const WineStart wine = PrepareWineStart(
        m_state.kestFolder, {m_state.kestFolder, m_state.kestIniFolder, project.SettingsFile,
                             FolderPart(project.ProjectFile)});
    const Language language = m_state.language;
    switch (wine.problem) {
        case WineStart::Ready:
            break;
        case WineStart::WineMissing:
            showError(Tr(UiText::WineNotFound, language).arg(wine.subject));
            return false;
        case WineStart::Needs32Bit:
            showError(Tr(UiText::Wine32Missing, language).arg(wine.subject));
            return false;
        case WineStart::NeedsLocale:
            showError(Tr(UiText::NoCp1251Locale, language).arg(wine.subject));
            return false;
    }
    command.program = wine.wine;
    command.environment = wine.environment;
    preparing = !wine.prefixReady;
    return true;
}

void KestLauncher::showPrefixNote(const QString& prefix) {
    // A window of its own, so it is seen with the main window hidden too.
    auto* note = new QLabel(Tr(UiText::PreparingPrefix, m_state.language).arg(prefix));
    note->setObjectName(QStringLiteral("PrefixNote"));
    note->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setWordWrap(true);
    note->setMargin(12);
    note->setFixedWidth(360);
    note->setWindowTitle(Tr(UiText::WineNoteCaption, m_state.language));
    note->adjustSize();
    // Over the main window, where the user looks, not at the corner of the screen.
    if (m_view.window) note->move(m_view.window->frameGeometry().center() - note->rect().center());
    note->show();
    // Painted before the wait blocks the event loop.
    QCoreApplication::processEvents();
    m_prefixNote = note;
}

bool KestLauncher::RunAndWait(const KestCommand& command, bool hide) {
    m_exitCode = -1;
    QProcess process;
    m_process = &process;
    const auto forget = qScopeGuard([this] { m_process = nullptr; });
    if (!command.environment.isEmpty()) process.setProcessEnvironment(command.environment);
    PrepareKestProcess(process);
    process.start(command.program, command.arguments);
    if (!process.waitForStarted(-1)) return false;
    PassStopPoint("kest-started");
    m_recovery->KestStarted(process.processId());

    if (hide) {
        const bool wasVisible = m_view.window && m_view.window->isVisible();
        if (wasVisible) m_view.window->hide();
        emit kestStarted();
        // No window messages while hidden; only a termination signal is let in, and it ends
        // KEST as closing the window would.
        while (!process.waitForFinished(100)) {
            if (process.state() == QProcess::NotRunning) break;
            if (TerminationSignals::pending())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (m_endRequested) {
                EndKestProcess(process);
                break;
            }
        }
        if (wasVisible && !m_endRequested) {
            m_view.window->show();
            m_view.window->raise();
            m_view.window->activateWindow();
            TakeForegroundAfterKest(m_view.window->winId());
        }
    } else {
        emit kestStarted();
        while (!process.waitForFinished(100)) {
            if (process.state() == QProcess::NotRunning) break;
            QCoreApplication::processEvents();
            if (m_endRequested) {
                EndKestProcess(process);
                break;
            }
        }
    }
    if (process.exitStatus() != QProcess::NormalExit) return false;
    m_exitCode = process.exitCode();
    return m_exitCode == 0;
}

void KestLauncher::EndRunNow() {
    m_endRequested = true;
    if (!m_process) return;
    EndKestProcess(*m_process);
    m_process->waitForFinished(-1);
    m_recovery->KestEnded(m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode()
                                                                          : -1);
    // The start, when it goes on, finds the run finished and only quits.
    m_recovery->FinishRun();
}

void KestLauncher::SetMainControlsEnabled(bool enabled) {
    if (!m_view.client) return;
    for (QWidget* control : m_view.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

}  // namespace pmkest
