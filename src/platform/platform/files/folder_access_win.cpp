#include "platform/files/folder_access.h"

#include <QFileInfo>

namespace pmkest {

QString FolderAccessError(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("No folder named");
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("The folder does not exist");
    if (!info.isDir()) return QStringLiteral("Not a folder");
    if (!info.isReadable()) return QStringLiteral("Access denied");
    return {};
}

}  // namespace pmkest
