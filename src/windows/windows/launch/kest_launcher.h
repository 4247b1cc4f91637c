#pragma once
// Starting KEST on the current project: swap the project settings in as kest.ini, run KEST,
// wait for it and copy kest.ini back into the project.

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>

#include "core/app_state.h"
#include "core/launch/run_recovery.h"
#include "core/wine/kest_command.h"

class QCheckBox;
class QLabel;
class QProcess;
class QWidget;

namespace pmkest {

class StatusPanels;
class UserDialogs;

// The parts of the main window that a run works on.
struct LaunchView {
    QWidget* window = nullptr;
    QWidget* client = nullptr;  // every direct child is a control
    StatusPanels* status = nullptr;
    QCheckBox* hideOption = nullptr;
};

class KestLauncher : public QObject {
    Q_OBJECT
public:
    KestLauncher(AppState& state, UserDialogs& dialogs, const LaunchView& view,
                 QObject* parent = nullptr);

    void StartKest();
    // Messages 1 and 2; true when kest.exe and kest.ini are where the two folders say.
    bool CheckKestPaths();
    // True when the process started and ended with exit code 0.
    bool RunAndWait(const KestCommand& command, bool hide);
    void SetMainControlsEnabled(bool enabled);

    bool running() const { return m_running; }
    // Waiting for a KEST that an earlier manager started.
    bool adopting() const { return m_recovery->adopting(); }
    // A KEST that this manager started; its start ends it when the manager closes.
    bool runsOwnKest() const { return m_running && !adopting(); }
    // At start-up: finishes a run whose manager was ended while KEST ran. A run of another
    // manager that still lives is left to it without a word; a Start then says whose it is.
    void FinishInterruptedRun() { m_recovery->FinishInterruptedRun(true); }
    // Closing while an adopted KEST runs: it is ended and its result copied back.
    void EndAdoptedRun() { m_recovery->EndAdoptedRun(); }
    // The settings file that the running start will copy kest.ini back into.
    const std::string& runningSettingsFile() const { return m_runningSettings; }
    // The manager is closing during a run without hiding: KEST is ended, the copy back still
    // follows, and the program quits when the start has finished.
    void EndRun() { m_endRequested = true; }
    // The program is being ended from outside (a termination signal, the end of the session):
    // KEST is ended and its result copied back before this returns, as the process may not
    // live past it.
    void EndRunNow();

signals:
    // KEST has started and the manager is about to wait for it.
    void kestStarted();

private:
    void showError(const QString& text);
    // The third status panel says which run the window waits for, while it adopts one.
    void showAdoption(bool shown);
    // The Wine checks; false after the message when KEST cannot start.
    bool prepareWine(KestCommand& command, bool& preparing);
    void showPrefixNote(const QString& prefix);
    void CountRun();

    AppState& m_state;
    UserDialogs& m_dialogs;
    LaunchView m_view;
    bool m_running = false;
    bool m_endRequested = false;
    QProcess* m_process = nullptr;  // KEST, while the start waits for it
    std::string m_runningSettings;
    RunRecovery* m_recovery = nullptr;
    int m_exitCode = -1;  // of the last run that ended normally
    QPointer<QLabel> m_prefixNote;
    QString m_panelBeforeAdoption;  // the third status panel, given back when the wait ends
    bool m_showsAdoption = false;
};

}  // namespace pmkest
