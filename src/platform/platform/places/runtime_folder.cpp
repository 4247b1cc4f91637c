#include "platform/places/runtime_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace pmkest {

QString RuntimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    QDir().mkpath(folder);
    return folder;
}

}  // namespace pmkest
