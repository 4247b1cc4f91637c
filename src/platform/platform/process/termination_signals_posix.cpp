#include "platform/process/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace pmkest {

namespace {

volatile std::sig_atomic_t g_pending = 0;
volatile std::sig_atomic_t g_received = 0;

int g_pipe[2] = {-1, -1};
struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGTERM, SIGHUP};

// Only what is safe in a signal handler: a flag and one byte into the pipe.
void OnSignal(int) {
    const int saved = errno;
    g_pending = 1;
    g_received = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    // Non-blocking, so a flood of signals never blocks the handler; not inherited by KEST.
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    for (size_t i = 0; i < 2; ++i) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(kSignals[i], &action, &g_previous[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier) return;
    for (size_t i = 0; i < 2; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool TerminationSignals::pending() {
    return g_pending != 0;
}

bool TerminationSignals::received() {
    return g_received != 0;
}

void TerminationSignals::drain() {
    char bytes[64];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    g_pending = 0;
    emit requested();
}

}  // namespace pmkest
