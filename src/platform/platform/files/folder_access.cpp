#include "platform/files/folder_access.h"

#include <QTemporaryFile>

namespace pmkest {

bool FolderTakesNewFiles(const QString& path) {
    if (path.isEmpty()) return false;
    QTemporaryFile probe(path + QStringLiteral("/.pmkest-probe-XXXXXX"));
    return probe.open();  // removed again when probe goes
}

}  // namespace pmkest
