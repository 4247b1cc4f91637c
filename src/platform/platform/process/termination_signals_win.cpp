#include "platform/process/termination_signals.h"

#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <memory>

#include "platform/qt_compat.h"

namespace pmkest {

namespace {

bool g_pending = false;
bool g_received = false;
TerminationSignals* g_instance = nullptr;
const wchar_t kWindowClass[] = L"pmkestSessionEnd";

}  // namespace

// The system asks every top-level window before the session ends, and may end the process as
// soon as WM_ENDSESSION has been answered: the work is done before the answer. Qt's windows hear
// of it through the filter; a hidden window of its own hears of it when there is none, as while
// a start from the command line runs.
class SessionEndWatcher : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message,
                           compat::NativeEventResult* result) override {
        if (eventType != "windows_generic_MSG") return false;
        const MSG* msg = static_cast<const MSG*>(message);
        LRESULT answer = 0;
        if (!handle(msg->message, msg->wParam, answer)) return false;
        *result = answer;
        return true;
    }

    static bool handle(UINT message, WPARAM wParam, LRESULT& answer) {
        if (!g_instance) return false;
        // Another program may still veto the end: only WM_ENDSESSION says it happens.
        if (message == WM_QUERYENDSESSION) {
            answer = TRUE;
            return true;
        }
        if (message != WM_ENDSESSION) return false;
        if (wParam) {
            g_pending = g_received = true;
            g_instance->drain();
        }
        answer = 0;
        return true;
    }

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT answer = 0;
        if (handle(message, wParam, answer)) return answer;
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

namespace {

std::unique_ptr<SessionEndWatcher> g_watcher;
HWND g_window = nullptr;

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    g_instance = this;
    g_watcher = std::make_unique<SessionEndWatcher>();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(g_watcher.get());
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &SessionEndWatcher::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // Top-level, never shown: a message-only window would not be asked.
    g_window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (g_window) DestroyWindow(g_window);
    g_window = nullptr;
    UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(g_watcher.get());
    g_watcher.reset();
    g_instance = nullptr;
}

bool TerminationSignals::pending() {
    // The end of the session is a message sent to the windows; a wait that handles no events
    // still lets sent messages in here, and only those.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
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
