#pragma once
// What a run of KEST does to the main window: the controls greyed out while it lasts, the
// window out of the way while KEST runs hidden, the status panels, the note about a new Wine
// prefix. The run itself, from the checks to the copy back, is KestRun's.

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>

#include "core/app_state.h"
#include "core/launch/kest_run.h"

class QCheckBox;
class QLabel;
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

class KestLauncher : public QObject, private RunObserver {
    Q_OBJECT
public:
    KestLauncher(AppState& state, UserDialogs& dialogs, const LaunchView& view,
                 QObject* parent = nullptr);

    void StartKest();
    // Messages 1 and 2; true when kest.exe and kest.ini are where the two folders say.
    bool CheckKestPaths() { return m_run->checkKestPaths(); }
    void SetMainControlsEnabled(bool enabled);

    bool running() const { return m_run->running(); }
    // Waiting for a KEST that an earlier manager started.
    bool adopting() const { return m_run->adopting(); }
    // A KEST that this manager started; its start ends it when the manager closes.
    bool runsOwnKest() const { return m_run->runsOwnKest(); }
    // At start-up: finishes a run whose manager was ended while KEST ran. A run of another
    // manager that still lives is left to it without a word; a Start then says whose it is.
    void finishInterruptedRun() { m_run->resume(true); }
    // Closing while an adopted KEST runs: it is ended and its result copied back.
    void endAdoptedRun() { m_run->endAdoptedRun(); }
    // The settings file that the running start will copy kest.ini back into.
    const std::string& runningSettingsFile() const { return m_run->runningSettingsFile(); }
    // The manager is closing during a run without hiding: KEST is ended, the copy back still
    // follows, and the program quits when the start has finished.
    void endRun() { m_run->endRun(); }
    // The program is being ended from outside (a termination signal, the end of the session):
    // KEST is ended and its result copied back before this returns.
    void endRunNow() { m_run->endRunNow(); }

signals:
    // KEST has started and the manager is about to wait for it.
    void kestStarted();
    // KEST's process is gone; the copy back may still follow.
    void kestEnded();

private:
    void runningChanged(bool running) override;
    void showRunStatus(const QString& text) override;
    void showSettingsFile(const QString& path) override;
    void preparingPrefix(const QString& prefix) override;
    void kestHasStarted(bool hide) override;
    void kestHasEnded(bool showWindow) override;
    void kestExited() override { emit kestEnded(); }
    void counted(int counter) override;

    AppState& m_state;
    LaunchView m_view;
    KestRun* m_run = nullptr;
    QPointer<QLabel> m_prefixNote;
    QString m_panelBeforeRun;  // the third status panel, given back when the run ends
    bool m_showsRunStatus = false;
    bool m_hidWindow = false;
};

}  // namespace pmkest
