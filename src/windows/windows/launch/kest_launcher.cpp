#include "windows/launch/kest_launcher.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

#include "core/text/ui_texts.h"
#include "platform/process/kest_process.h"
#include "widgets/status_panels.h"

namespace pmkest {

KestLauncher::KestLauncher(AppState& state, UserDialogs& dialogs, const LaunchView& view,
                           QObject* parent)
    : QObject(parent), m_state(state), m_view(view) {
    m_run = new KestRun(m_state, dialogs, *this, this);
}

void KestLauncher::StartKest() {
    m_run->start(m_view.hideOption && m_view.hideOption->isChecked());
}

void KestLauncher::SetMainControlsEnabled(bool enabled) {
    if (!m_view.client) return;
    for (QWidget* control :
         m_view.client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

void KestLauncher::runningChanged(bool running) {
    SetMainControlsEnabled(!running);
}

void KestLauncher::showRunStatus(const QString& text) {
    if (!m_view.status) return;
    if (text.isEmpty()) {
        if (m_showsRunStatus) m_view.status->setPanelText(2, m_panelBeforeRun);
        m_showsRunStatus = false;
        return;
    }
    if (!m_showsRunStatus) m_panelBeforeRun = m_view.status->panelText(2);
    m_showsRunStatus = true;
    m_view.status->setPanelText(2, text);
    m_view.status->setToolTip(text);
}

void KestLauncher::showSettingsFile(const QString& path) {
    if (m_view.status) m_view.status->setPanelText(2, path);
}

void KestLauncher::kestHasStarted(bool hide) {
    m_hidWindow = hide && m_view.window && m_view.window->isVisible();
    if (m_hidWindow) m_view.window->hide();
    emit kestStarted();
}

void KestLauncher::kestHasEnded(bool showWindow) {
    if (m_prefixNote) m_prefixNote->deleteLater();
    if (!m_hidWindow) return;
    m_hidWindow = false;
    if (!showWindow) return;  // the program is closing
    m_view.window->show();
    m_view.window->raise();
    m_view.window->activateWindow();
    TakeForegroundAfterKest(m_view.window->winId());
}

void KestLauncher::counted(int counter) {
    if (m_view.status) m_view.status->setPanelText(1, QString::number(counter));
}

}  // namespace pmkest
