#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <QDir>
#include <iterator>

#include "platform/process/process_search.h"

namespace pmkest {

namespace {

quint64 Ticks(const FILETIME& time) {
    return (quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

QString ProcessClockNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // The same boot part as every time here: creation times are wall-clock times.
    return QStringLiteral("0/") + QString::number(Ticks(now));
}

// Another process's environment is not at hand here, so the program's path is the mark.
qint64 FindMarkedProcess(const ProcessMark& mark) {
    const qsizetype slash = mark.since.indexOf(QLatin1Char('/'));
    bool ok = false;
    const quint64 since = mark.since.mid(slash + 1).toULongLong(&ok);
    if (slash < 0 || !ok || mark.program.isEmpty()) return 0;
    QString program = QDir::toNativeSeparators(mark.program);
    if (!program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        program += QStringLiteral(".exe");

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    qint64 found = 0;
    quint64 foundTicks = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        wchar_t image[MAX_PATH * 2];
        DWORD size = DWORD(std::size(image));
        FILETIME created{}, exited{}, kernel{}, user{};
        DWORD code = 0;
        if (QueryFullProcessImageNameW(process, 0, image, &size) &&
            GetProcessTimes(process, &created, &exited, &kernel, &user) &&
            GetExitCodeProcess(process, &code) && code == STILL_ACTIVE && Ticks(created) >= since &&
            QString::fromWCharArray(image, int(size)).compare(program, Qt::CaseInsensitive) == 0 &&
            (!found || Ticks(created) < foundTicks)) {
            found = entry.th32ProcessID;
            foundTicks = Ticks(created);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace pmkest
