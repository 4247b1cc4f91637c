#include "platform/files/folder_access.h"

#include <dirent.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace pmkest {

namespace {

FolderRefusal SystemRefusal(int error) {
    return {FolderRefusal::Reason::System, QString::fromLocal8Bit(std::strerror(error))};
}

}  // namespace

FolderRefusal FolderAccessError(const QString& path) {
    if (path.isEmpty()) return {FolderRefusal::Reason::NotNamed, {}};
    const QByteArray name = QFile::encodeName(path);
    DIR* dir = opendir(name.constData());
    if (!dir) return SystemRefusal(errno);
    closedir(dir);
    // Listing needs read access, going into it search access.
    if (access(name.constData(), X_OK) != 0) return SystemRefusal(errno);
    return {};
}

}  // namespace pmkest
