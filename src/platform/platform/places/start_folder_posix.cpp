#include "platform/places/start_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pmkest {

QString DialogStartFolder() {
    // The root is not writable for a normal user; new projects belong in the documents folder.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

}  // namespace pmkest
