#include "platform/process/process_identity.h"

#include <windows.h>

#include "platform/files/accounts_win.h"

namespace pmkest {

namespace {

// The moment a live process started; empty once it has ended.
QString IdentityOf(HANDLE process) {
    DWORD code = 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetExitCodeProcess(process, &code) || code != STILL_ACTIVE ||
        !GetProcessTimes(process, &created, &exited, &kernel, &user))
        return {};
    return QString::number((static_cast<quint64>(created.dwHighDateTime) << 32) |
                           created.dwLowDateTime);
}

}  // namespace

QString ProcessIdentity(qint64 pid) {
    if (pid <= 0) return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return {};
    const QString identity = IdentityOf(process);
    CloseHandle(process);
    return identity;
}

bool ProcessIsUsers(qint64 pid) {
    if (pid <= 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return false;
    const bool users = win::ProcessHandleIsUsers(process);
    CloseHandle(process);
    return users;
}

void EndIdentifiedProcess(qint64 pid, const QString& identity) {
    if (identity.isEmpty() || pid <= 0) return;
    // Checked on the handle that ends it: a process that took over the id is not touched.
    HANDLE process =
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                    static_cast<DWORD>(pid));
    if (!process) return;
    if (IdentityOf(process) == identity && win::ProcessHandleIsUsers(process)) {
        TerminateProcess(process, 2);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

}  // namespace pmkest
