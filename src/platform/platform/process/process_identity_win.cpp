#include "platform/process/process_identity.h"

#include <windows.h>

namespace pmkest {

QString ProcessIdentity(qint64 pid) {
    if (pid <= 0) return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return {};
    QString identity;
    DWORD code = 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetExitCodeProcess(process, &code) && code == STILL_ACTIVE &&
        GetProcessTimes(process, &created, &exited, &kernel, &user))
        identity = QString::number((static_cast<quint64>(created.dwHighDateTime) << 32) |
                                   created.dwLowDateTime);
    CloseHandle(process);
    return identity;
}

void EndIdentifiedProcess(qint64 pid, const QString& identity) {
    if (identity.isEmpty() || ProcessIdentity(pid) != identity) return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return;
    TerminateProcess(process, 2);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

}  // namespace pmkest
