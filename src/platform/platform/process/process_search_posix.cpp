#include "platform/process/process_search.h"

#include <dirent.h>
#include <time.h>
#include <unistd.h>

#include <QFile>
#include <QList>

#include "platform/process/process_identity.h"

namespace pmkest {

namespace {

QByteArray ReadProcFile(const QByteArray& path, qint64 limit) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
    return file.read(limit);
}

QByteArray BootId() {
    return ReadProcFile("/proc/sys/kernel/random/boot_id", 128).trimmed();
}

// The start time in ticks since boot, or -1 for a process that is gone or a zombie.
qint64 StartTicks(const QByteArray& pid) {
    const QByteArray stat = ReadProcFile("/proc/" + pid + "/stat", 4096);
    // "pid (name) state ...": the name may hold spaces and parentheses.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return -1;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 20) return -1;
    const QByteArray& state = fields[0];
    if (state == "Z" || state == "X" || state == "x") return -1;
    bool ok = false;
    const qint64 ticks = fields[19].toLongLong(&ok);
    return ok ? ticks : -1;
}

bool Carries(const QByteArray& pid, const QByteArray& entry) {
    const QByteArray environment = ReadProcFile("/proc/" + pid + "/environ", 1 << 20);
    for (const QByteArray& line : environment.split('\0'))
        if (line == entry) return true;
    return false;
}

}  // namespace

QString ProcessClockNow() {
    // Start times in /proc count ticks of the boot clock.
    timespec now{};
    const long tick = ::sysconf(_SC_CLK_TCK);
    const QByteArray boot = BootId();
    if (tick <= 0 || boot.isEmpty() || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) return {};
    const qint64 ticks = qint64(now.tv_sec) * tick + now.tv_nsec / (1000000000 / tick);
    return QString::fromLatin1(boot + '/' + QByteArray::number(ticks));
}

qint64 FindMarkedProcess(const ProcessMark& mark) {
    const qsizetype slash = mark.since.indexOf(QLatin1Char('/'));
    if (slash <= 0 || mark.token.isEmpty() || mark.variable.isEmpty()) return 0;
    // After a reboot nothing of that run still lives.
    if (mark.since.left(slash).toLatin1() != BootId()) return 0;
    bool ok = false;
    const qint64 since = mark.since.mid(slash + 1).toLongLong(&ok);
    if (!ok) return 0;
    const QByteArray entry = (mark.variable + QLatin1Char('=') + mark.token).toLocal8Bit();

    DIR* proc = ::opendir("/proc");
    if (!proc) return 0;
    qint64 found = 0;
    qint64 foundTicks = 0;
    while (const dirent* item = ::readdir(proc)) {
        const QByteArray pid(item->d_name);
        bool number = false;
        const qint64 id = pid.toLongLong(&number);
        if (!number || id <= 0) continue;
        const qint64 ticks = StartTicks(pid);
        if (ticks < since) continue;
        if (found && (ticks > foundTicks || (ticks == foundTicks && id > found))) continue;
        if (!ProcessIsUsers(id) || !Carries(pid, entry)) continue;
        found = id;
        foundTicks = ticks;
    }
    ::closedir(proc);
    return found;
}

bool CarriesMark(qint64 pid, const ProcessMark& mark) {
    if (mark.token.isEmpty() || mark.variable.isEmpty() || !ProcessIsUsers(pid)) return false;
    return Carries(QByteArray::number(pid),
                   (mark.variable + QLatin1Char('=') + mark.token).toLocal8Bit());
}

}  // namespace pmkest
