#include "platform/process/kest_process.h"

#include <QProcess>

namespace pmkest {

void PrepareKestProcess(QProcess& process) {
    // KEST talks to the terminal the manager was started from, as with a console of its own.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
}

void EndKestProcess(QProcess& process) {
    process.terminate();
    if (process.waitForFinished(3000)) return;
    process.kill();
    process.waitForFinished(-1);
}

unsigned AnsiCodePage() {
    return 0;
}

QString VirtualStoreFolder(const QString&) {
    return {};
}

void TakeForegroundAfterKest(quintptr) {}

}  // namespace pmkest
