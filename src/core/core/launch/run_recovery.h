#pragma once
// Keeps the journal of a run and finishes a run that an earlier manager could not finish:
// it adopts a KEST that still runs, or asks to copy KEST's result back into the project.

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "core/app_state.h"
#include "core/launch/run_journal.h"

namespace pmkest {

class UserDialogs;

class RunRecovery : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // A run begins or ends: the running flag, the settings file it works on, the controls.
        std::function<void(bool running, const std::string& settingsFile)> setRunning;
        std::function<void()> countRun;
    };
    RunRecovery(AppState& state, UserDialogs& dialogs, Hooks hooks, QObject* parent = nullptr);

    // A journal beside kest.ini means the last run was cut short: adopts it while its KEST
    // still runs, else asks to copy KEST's result back. True when nothing is pending any more,
    // so a start may swap files.
    bool FinishInterruptedRun();
    bool adopting() const { return m_adoptPoll.isActive(); }

    // Right before the swap; the message to show when the start must stop.
    QString BeginRun(const std::string& projectFile, const std::string& settingsFile,
                     const std::string& kestIni);
    void KestStarted(qint64 pid);
    // The swap failed, so there is no run to finish.
    void AbandonRun();
    // After the run: kest.ini back into the run's settings file, keeping a version of it that
    // something else wrote meanwhile. The journal goes once the result is back.
    void FinishRun();

private:
    void pollAdopted();
    // recovery: before a copy back for an earlier manager, any differing file is kept.
    bool copyBack(const RunJournal& run, const std::string& journalPath, bool recovery,
                  std::string& backup);
    void putAside(const std::string& journalPath, const std::string& kestIni, bool damaged,
                  QString text);
    void showError(const QString& text);

    AppState& m_state;
    UserDialogs& m_dialogs;
    Hooks m_hooks;
    std::optional<RunJournal> m_run;  // the run in progress, own or adopted
    std::string m_journalPath;
    QTimer m_adoptPoll;
};

}  // namespace pmkest
