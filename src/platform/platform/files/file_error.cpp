#include "platform/files/file_error.h"

#include <QDir>

namespace pmkest {

QString FileErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace pmkest
