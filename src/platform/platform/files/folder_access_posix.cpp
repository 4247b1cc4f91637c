#include "platform/files/folder_access.h"

#include <dirent.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace pmkest {

QString FolderAccessError(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("No folder named");
    const QByteArray name = QFile::encodeName(path);
    DIR* dir = opendir(name.constData());
    if (!dir) return QString::fromLocal8Bit(std::strerror(errno));
    closedir(dir);
    // Listing needs read access, going into it search access.
    if (access(name.constData(), X_OK) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

}  // namespace pmkest
