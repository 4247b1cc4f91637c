#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <QDir>
#include <iterator>

#include "platform/files/accounts_win.h"
#include "platform/process/process_search.h"

namespace pmkest {

namespace {

quint64 Ticks(const FILETIME& time) {
    return (quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Another process's environment is not at hand here, so the program's path is the mark.
QString MarkedImage(const ProcessMark& mark) {
    QString program = QDir::toNativeSeparators(mark.program);
    if (!program.isEmpty() && !program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        program += QStringLiteral(".exe");
    return program;
}

// The moment after which a marked process started; false when the mark has none.
bool MarkedSince(const ProcessMark& mark, quint64& since) {
    const qsizetype slash = mark.since.indexOf(QLatin1Char('/'));
    bool ok = false;
    since = mark.since.mid(slash + 1).toULongLong(&ok);
    return slash >= 0 && ok;
}

// A live process of the current user that runs image; started: when.
bool RunsAsUsers(HANDLE process, const QString& image, quint64& started) {
    wchar_t path[MAX_PATH * 2];
    DWORD size = DWORD(std::size(path));
    FILETIME created{}, exited{}, kernel{}, user{};
    DWORD code = 0;
    if (image.isEmpty() || !QueryFullProcessImageNameW(process, 0, path, &size) ||
        !GetProcessTimes(process, &created, &exited, &kernel, &user) ||
        !GetExitCodeProcess(process, &code) || code != STILL_ACTIVE ||
        QString::fromWCharArray(path, int(size)).compare(image, Qt::CaseInsensitive) != 0 ||
        !win::ProcessHandleIsUsers(process))
        return false;
    started = Ticks(created);
    return true;
}

}  // namespace

QString ProcessClockNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // The same boot part as every time here: creation times are wall-clock times.
    return QStringLiteral("0/") + QString::number(Ticks(now));
}

qint64 FindMarkedProcess(const ProcessMark& mark) {
    quint64 since = 0;
    const QString image = MarkedImage(mark);
    if (!MarkedSince(mark, since) || image.isEmpty()) return 0;

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
        quint64 started = 0;
        if (RunsAsUsers(process, image, started) && started >= since &&
            (!found || started < foundTicks)) {
            found = entry.th32ProcessID;
            foundTicks = started;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

bool CarriesMark(qint64 pid, const ProcessMark& mark) {
    if (pid <= 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return false;
    quint64 started = 0;
    quint64 since = 0;
    // A process that started before the mark was made cannot carry it.
    const bool carries = RunsAsUsers(process, MarkedImage(mark), started) &&
                         (!MarkedSince(mark, since) || started >= since);
    CloseHandle(process);
    return carries;
}

}  // namespace pmkest
