#include "platform/termination_signals.h"

#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <memory>

namespace pmkest {

namespace {

bool g_pending = false;
bool g_received = false;
TerminationSignals* g_instance = nullptr;

}  // namespace

// The system asks every top-level window before the session ends, and ends the process soon
// after WM_ENDSESSION has been answered: the work is done before the answer.
class SessionEndWatcher : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG" || !g_instance) return false;
        const MSG* msg = static_cast<const MSG*>(message);
        // Another program may still veto the end: only WM_ENDSESSION says it happens.
        if (msg->message == WM_QUERYENDSESSION) {
            *result = TRUE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            g_pending = g_received = true;
            g_instance->drain();
            *result = 0;
            return true;
        }
        return false;
    }
};

namespace {

std::unique_ptr<SessionEndWatcher> g_watcher;

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    g_instance = this;
    g_watcher = std::make_unique<SessionEndWatcher>();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(g_watcher.get());
}

TerminationSignals::~TerminationSignals() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(g_watcher.get());
    g_watcher.reset();
    g_instance = nullptr;
}

bool TerminationSignals::pending() {
    return g_pending;
}

bool TerminationSignals::received() {
    return g_received;
}

void TerminationSignals::drain() {
    g_pending = false;
    emit requested();
}

}  // namespace pmkest
