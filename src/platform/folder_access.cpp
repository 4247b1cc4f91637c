#include "platform/folder_access.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace pmkest {

QString FolderAccessError(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("No folder named");
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("The folder does not exist");
    if (!info.isDir()) return QStringLiteral("Not a folder");
    if (!info.isReadable()) return QStringLiteral("Access denied");
    return {};
#else
    const QByteArray name = QFile::encodeName(path);
    DIR* dir = opendir(name.constData());
    if (!dir) return QString::fromLocal8Bit(std::strerror(errno));
    closedir(dir);
    // Listing needs read access, going into it search access.
    if (access(name.constData(), X_OK) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    return {};
#endif
}

bool FolderTakesNewFiles(const QString& path) {
    if (path.isEmpty()) return false;
    QTemporaryFile probe(path + QStringLiteral("/.pmkest-probe-XXXXXX"));
    return probe.open();  // removed again when probe goes
}

}  // namespace pmkest
