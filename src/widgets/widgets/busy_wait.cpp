#include "widgets/busy_wait.h"

#include <QElapsedTimer>

namespace pmkest {

void BusyWait(uint32_t milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (static_cast<uint64_t>(timer.elapsed()) < milliseconds) {
    }
}

}  // namespace pmkest
