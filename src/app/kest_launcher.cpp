#include "app/kest_launcher.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>
#include <utility>

#include "lang/ui_texts.h"
#include "lib/file_utils.h"
#include "lib/status_panels.h"
#include "platform/text_file.h"
#include "platform/user_dialogs.h"
#include "project/project_files.h"

namespace pmkest {

KestCommand KestCommandFor(const std::string& kestFolder) {
    const QString native = ToFsPath(kestFolder + "kest");
    const QFileInfo info(native);
    if (info.isFile() && info.isExecutable()) return {native, {}};
    QString wine = qEnvironmentVariable("WINE");
    if (wine.isEmpty()) wine = QStringLiteral("wine");
    return {wine, {ToFsPath(kestFolder + "kest.exe")}};
}

KestLauncher::KestLauncher(AppState& state, UserDialogs& dialogs, const LaunchView& view,
                           QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_view(view) {
    RunRecovery::Hooks hooks;
    hooks.setRunning = [this](bool running, const std::string& settingsFile) {
        m_running = running;
        m_runningSettings = running ? settingsFile : std::string();
        SetMainControlsEnabled(!running);
    };
    hooks.countRun = [this] { CountRun(); };
    m_recovery = new RunRecovery(m_state, m_dialogs, std::move(hooks), this);
}

bool KestLauncher::CheckKestPaths() {
    if (m_state.kestFolder.empty() || !FileExists(m_state.kestFolder + "kest.exe")) {
        RaiseMessage(m_state.messages, 1, m_dialogs);
        return false;
    }
    if (m_state.kestIniFolder.empty() || !FileExists(m_state.kestIniFolder + "kest.ini")) {
        RaiseMessage(m_state.messages, 2, m_dialogs);
        return false;
    }
    return true;
}

void KestLauncher::showError(const QString& text) {
    m_dialogs.showMessage(MessageKind::Error, QStringLiteral("Error"), text);
}

void KestLauncher::StartKest() {
    // Controls are disabled during a run, but a second start must never swap files under it.
    if (m_running) return;
    if (!CheckKestPaths()) return;
    // kest.ini may still hold the result of a run that was cut short: that comes first.
    if (!m_recovery->FinishInterruptedRun()) return;
    // No project chosen yet: say so instead of an I/O error about an empty name.
    if (m_state.project.ProjectFile.empty()) {
        RaiseMessage(m_state.messages, 3, m_dialogs);
        return;
    }

    const FirstLineResult first = ReadProjectFileLine(m_state.project.ProjectFile);
    if (!first.ok) {
        showError(first.error);
        return;
    }
    if (first.hasLine) m_state.project.SettingsFile = first.line;
    if (!FileExists(m_state.project.SettingsFile)) {
        RaiseMessage(m_state.messages, 5, m_dialogs);
        return;
    }

    // Fixed for this run: commands that change the current project meanwhile do not move them.
    const std::string ini = m_state.kestIniFolder + "kest.ini";
    const std::string res = m_state.kestIniFolder + "kest.res";
    const std::string settings = m_state.project.SettingsFile;
    const bool russian = m_state.russian;

    // Written before anything is swapped, so a manager ended during the run loses nothing.
    const QString journalError = m_recovery->BeginRun(m_state.project.ProjectFile, settings, ini);
    if (!journalError.isEmpty()) {
        showError(journalError);
        return;
    }
    // KEST must not run on the wrong settings: a failed swap stops the start.
    for (const auto& [from, to] : {std::pair{ini, res}, std::pair{settings, ini}}) {
        const QString error = CopyFileData(from, to);
        if (!error.isEmpty()) {
            m_recovery->AbandonRun();
            showError(Tr(UiText::SwapFailed, russian).arg(ToFsPath(from), ToFsPath(to), error));
            return;
        }
    }

    m_running = true;
    m_endRequested = false;
    m_runningSettings = settings;
    SetMainControlsEnabled(false);
    const bool ok = RunAndWait(KestCommandFor(m_state.kestFolder),
                               m_view.hideOption && m_view.hideOption->isChecked());
    const bool ended = m_endRequested;
    if (!ok && !ended)
        m_dialogs.showMessage(MessageKind::Plain, Tr(UiText::TitleProgram, m_state.russian),
                              QStringLiteral("Problems!"));
    SetMainControlsEnabled(true);
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

bool KestLauncher::RunAndWait(const KestCommand& command, bool hide) {
    QProcess process;
    // KEST talks to the terminal the manager was started from, as with a console of its own.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(command.program, command.arguments);
    if (!process.waitForStarted(-1)) return false;
    m_recovery->KestStarted(process.processId());

    if (hide) {
        const bool wasVisible = m_view.window && m_view.window->isVisible();
        if (wasVisible) m_view.window->hide();
        emit kestStarted();
        process.waitForFinished(-1);
        if (wasVisible) {
            m_view.window->show();
            m_view.window->raise();
            m_view.window->activateWindow();
        }
    } else {
        emit kestStarted();
        while (!process.waitForFinished(100)) {
            if (process.state() == QProcess::NotRunning) break;
            QCoreApplication::processEvents();
            if (m_endRequested) {
                EndProcess(process);
                break;
            }
        }
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void KestLauncher::EndProcess(QProcess& process) {
    process.terminate();
    if (process.waitForFinished(3000)) return;
    process.kill();
    process.waitForFinished(-1);
}

void KestLauncher::SetMainControlsEnabled(bool enabled) {
    if (!m_view.client) return;
    for (QWidget* control : m_view.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

}  // namespace pmkest
