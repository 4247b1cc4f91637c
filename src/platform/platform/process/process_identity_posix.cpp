#include "platform/process/process_identity.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace pmkest {

#if defined(Q_OS_LINUX)

namespace {

QByteArray ReadProcFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
    return file.read(4096);
}

}  // namespace

QString ProcessIdentity(qint64 pid) {
    if (pid <= 0) return {};
    const QByteArray stat = ReadProcFile(QStringLiteral("/proc/%1/stat").arg(pid));
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // fields[0] is the state (field 3), fields[19] the start time in ticks (field 22).
    if (fields.size() < 20) return {};
    const QByteArray state = fields[0];
    if (state == "Z" || state == "X" || state == "x") return {};
    const QByteArray boot = ReadProcFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return QString::fromLatin1(boot.trimmed() + '/' + fields[19]);
}

#else

// No way to tell here: a run is never taken for still running.
QString ProcessIdentity(qint64) {
    return {};
}

#endif

bool ProcessIsUsers(qint64 pid) {
    // /proc/<pid> belongs to the process's effective user (to root while it cannot be traced).
    struct stat st {};
    return pid > 0 &&
           ::stat(QByteArray("/proc/" + QByteArray::number(pid)).constData(), &st) == 0 &&
           st.st_uid == ::geteuid();
}

void EndIdentifiedProcess(qint64 pid, const QString& identity) {
    if (identity.isEmpty()) return;
    for (const int signal : {SIGTERM, SIGKILL}) {
        if (ProcessIdentity(pid) != identity || !ProcessIsUsers(pid)) return;
        ::kill(static_cast<pid_t>(pid), signal);
        QElapsedTimer waited;
        waited.start();
        while (ProcessIdentity(pid) == identity && waited.elapsed() < 3000) QThread::msleep(20);
    }
}

}  // namespace pmkest
