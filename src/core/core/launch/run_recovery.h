#pragma once
// Keeps the journal of a run and finishes a run that an earlier manager could not finish:
// it adopts a KEST that still runs, or asks to copy KEST's result back into the project.

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/launch/run_journal.h"
#include "platform/expected.h"

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
    // quietAboutOthers: a run of another live manager is passed over without a word (at
    // start-up, when nobody asked to start).
    bool FinishInterruptedRun(bool quietAboutOthers = false);
    // The run in the journal when its manager, another one, is alive.
    std::optional<RunJournal> OtherManagersRun() const;
    bool adopting() const { return m_adoptPoll.isActive(); }
    // The run being waited for, own or adopted.
    const std::optional<RunJournal>& currentRun() const { return m_run; }
    // The manager is closing while it waits for an adopted KEST: KEST is ended and its
    // result copied back, as for a run of its own.
    void EndAdoptedRun();

    // The variable of KEST's environment that carries the run's mark.
    static constexpr const char* kMarkVariable = "PMKEST_RUN";

    // Right before the swap; the message to show when the start must stop.
    QString BeginRun(const std::string& projectFile, const std::string& settingsFile,
                     const std::string& kestIni);
    // The swap is done and KEST is about to start as program, with mark in its environment.
    // The message to show when the start must stop; the swap is then undone.
    QString KestStarting(const QString& program, QString& mark);
    void KestStarted(qint64 pid);
    // exitCode: -1 when KEST could not start or did not end normally.
    void KestEnded(int exitCode);
    // The swap failed, so there is no run to finish: kest.ini is put back if it was replaced.
    void AbandonRun();
    // After the run: kest.ini back into the run's settings file, keeping a version of it that
    // something else wrote meanwhile. The journal goes once the result is back.
    void FinishRun();

private:
    // Records the run's new phase before the step it guards; durable unless only of use
    // while this boot lasts.
    Status record(RunPhase phase, bool durable = true);
    void adopt(const RunJournal& run, const std::string& journalPath);
    void pollAdopted();
    // The journal of a run that got no further than the swap: kest.ini as it was before.
    // False when the files fit none of the journal's digests.
    bool undoSwap(const RunJournal& run, QString& error);
    // kest.ini into the settings file; backup names a version of it kept aside, if any.
    // lead: said before the error should the copy fail.
    bool copyBack(const RunJournal& run, const std::string& journalPath, std::string& backup,
                  const QString& lead = {});
    // A copy of file beside it, unless its bytes are kept elsewhere: in one of others or in
    // an earlier backup. Empty when none was needed; error when one was needed and failed.
    std::string keepBackup(const std::string& file, const std::vector<std::string>& others,
                           QString& error);
    // A journal that is not the user's alone: asks to rename it aside, the only write; true
    // when it was.
    bool setAsideOthersJournal(const std::string& path, const QString& owner);
    void putAside(const std::string& journalPath, const RunJournal& run, bool damaged,
                  QString text);
    void showError(const QString& text);
    void inform(const QString& text);

    AppState& m_state;
    UserDialogs& m_dialogs;
    Hooks m_hooks;
    std::optional<RunJournal> m_run;  // the run in progress, own or adopted
    std::string m_journalPath;
    QTimer m_adoptPoll;
};

}  // namespace pmkest
