#pragma once
// One run of KEST on the current project, as one transaction: the checks, the journal, the
// swap (kest.ini kept as kest.res, the project settings file copied over kest.ini), the mark,
// the start, the wait, the end and the copy back. Each step is a function, and each phase of
// the journal is recorded by the step it guards, before that step begins. A run whose manager
// was ended is resumed by the same object, entering at the recorded phase, so that a normal
// and a resumed run share one copy back and one set of decisions.
//
// Qt Core only: KEST is started and waited for through the platform layer, the user is asked
// through UserDialogs, and the window around it hears of the run through a RunObserver.

#include <QObject>
#include <QProcessEnvironment>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/launch/run_journal.h"
#include "core/wine/kest_command.h"
#include "platform/expected.h"

class QProcess;

namespace pmkest {

class UserDialogs;

// What the window around a run shows of it; every call comes on the GUI thread.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A run begins or ends, own or adopted: the controls are disabled while it lasts.
    virtual void runningChanged(bool running) = 0;
    // The status text while the run lasts (Wine in use, the protected folder's kest.ini, the
    // adopted run); empty: the text from before comes back.
    virtual void showRunStatus(const QString& text) = 0;
    // The project settings file that a start takes, as the project names it.
    virtual void showSettingsFile(const QString& path) = 0;
    // Wine is making a new prefix before KEST shows.
    virtual void preparingPrefix(const QString& prefix) = 0;
    // KEST has started (hide: the window goes out of the way) or has ended.
    virtual void kestHasStarted(bool hide) = 0;
    virtual void kestHasEnded(bool showWindow) = 0;
    // KEST's process is gone, told at once, even while a question of the window is open.
    virtual void kestExited() {}
    // The launch counter changed.
    virtual void counted(int counter) = 0;
};

class KestRun : public QObject {
    Q_OBJECT
public:
    KestRun(AppState& state, UserDialogs& dialogs, RunObserver& observer,
            QObject* parent = nullptr);
    ~KestRun() override;

    // The variable of KEST's environment that carries the run's mark.
    static constexpr const char* kMarkVariable = "PMKEST_RUN";

    // Messages 1 and 2; true when kest.exe and kest.ini are where the two folders say.
    bool checkKestPaths();
    // The whole run on the current project; returns when it is over. hide: the window is out
    // of the way while KEST runs, and only a termination request is heard.
    void start(bool hide);
    // A journal beside kest.ini means the last run was cut short: entered at its phase (a KEST
    // that still runs is adopted and waited for). True when nothing is pending any more, so a
    // start may swap files. quietAboutOthers: a run of another manager, or a journal that is
    // not the user's own, is passed over without a word (at start-up, when nobody asked).
    bool resume(bool quietAboutOthers = false);

    bool running() const { return m_running; }
    bool adopting() const { return m_adoptPoll.isActive(); }
    // A KEST that this manager started; it is ended when the manager closes.
    bool runsOwnKest() const { return m_running && !adopting(); }
    // The run being waited for, own or adopted.
    const std::optional<RunJournal>& currentRun() const { return m_run; }
    // The settings file that the run will copy kest.ini back into.
    const std::string& runningSettingsFile() const { return m_runningSettings; }

    // The manager is closing during its own run: KEST is ended, the copy back follows, and
    // the program quits when the run is over.
    void endRun() { m_endRequested = true; }
    // The program is being ended from outside: KEST is ended and its result copied back
    // before this returns, as the process may not live past it.
    void endRunNow();
    // The manager is closing while it waits for an adopted KEST: ended and copied back too.
    void endAdoptedRun();

private:
    // What one run works on, fixed once the checks have passed.
    struct Plan {
        std::string projectFile;
        std::string settings;
        std::string iniFolder;
        std::string ini;
        std::string res;
        KestCommand command;
        bool preparingPrefix = false;
        QString status;  // what the status bar says while KEST runs
    };

    // The steps of a run, in order; each false after saying why the run stops.
    std::optional<Plan> checkStart();
    bool beginRun(const Plan& plan);
    bool swap(const Plan& plan);
    bool markRun(const Plan& plan, QProcessEnvironment& environment);
    bool runAndWait(const Plan& plan, const QProcessEnvironment& environment, bool hide);
    void kestStarted(qint64 pid);
    void kestEnded(int exitCode);
    void finishRun();
    // The swap failed, so there is no run to finish: kest.ini is put back if it was replaced.
    void abandonRun();
    void countRun();

    // Records the run's new phase before the step it guards; durable unless only of use
    // while this boot lasts.
    Status record(RunPhase phase, bool durable = true);
    // The run in the journal when its manager, another one, is alive.
    std::optional<RunJournal> otherManagersRun() const;
    // A journal that is not the user's alone: asks to rename it aside, the only write; true
    // when it was.
    bool setAsideOthersJournal(const std::string& path, const QString& owner);
    // KEST is gone and no journal says what it did: the result is copied back if the user
    // wants it. True when the start may go on.
    bool askToCopyBack(const RunJournal& run, const std::string& journalPath);
    void adopt(const RunJournal& run, const std::string& journalPath);
    void pollAdopted();
    void setRunning(bool running, const std::string& settingsFile);

    // The files of a run (run_files.cpp).
    // kest.ini as it was before the swap; false when the files fit none of the digests.
    bool undoSwap(const RunJournal& run, QString& error);
    // kest.ini into the settings file, keeping a version of it that something else wrote
    // meanwhile (backup names it). lead: said before the error should the copy fail.
    bool copyBack(const RunJournal& run, const std::string& journalPath, std::string& backup,
                  const QString& lead = {});
    // A copy of file beside it, unless its bytes are kept elsewhere: in one of others or in
    // an earlier backup. Empty when none was needed; error when one was needed and failed.
    std::string keepBackup(const std::string& file, const std::vector<std::string>& others,
                           QString& error);
    void putAside(const std::string& journalPath, const RunJournal& run, bool damaged,
                  QString text);

    void showError(const QString& text);
    void inform(const QString& text);

    AppState& m_state;
    UserDialogs& m_dialogs;
    RunObserver& m_observer;
    std::optional<RunJournal> m_run;  // the run in progress, own or adopted
    std::string m_journalPath;
    QTimer m_adoptPoll;
    bool m_running = false;
    bool m_endRequested = false;
    std::string m_runningSettings;
    QProcess* m_process = nullptr;  // KEST, while the run waits for it
    int m_exitCode = -1;            // of the last run that ended normally
};

}  // namespace pmkest
