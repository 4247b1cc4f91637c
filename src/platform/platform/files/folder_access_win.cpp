#include "platform/files/folder_access.h"

#include <QFileInfo>

namespace pmkest {

FolderRefusal FolderAccessError(const QString& path) {
    using Reason = FolderRefusal::Reason;
    if (path.isEmpty()) return {Reason::NotNamed, {}};
    const QFileInfo info(path);
    if (!info.exists()) return {Reason::Missing, {}};
    if (!info.isDir()) return {Reason::NotAFolder, {}};
    if (!info.isReadable()) return {Reason::AccessDenied, {}};
    return {};
}

}  // namespace pmkest
