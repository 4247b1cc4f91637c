#include "platform/termination_signals.h"

namespace pmkest {

// No signal reaches a Windows program this way; the end of the session is not caught yet.
TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

bool TerminationSignals::pending() {
    return false;
}

bool TerminationSignals::received() {
    return false;
}

void TerminationSignals::drain() {
    emit requested();
}

}  // namespace pmkest
