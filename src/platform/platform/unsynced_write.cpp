#include "platform/unsynced_write.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#include "platform/file_error.h"

namespace pmkest {

namespace {

std::filesystem::path NativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

}  // namespace

QString ReplaceFileUnsynced(const QString& path, const QByteArray& data) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) return FileErrorText(path, file.errorString());
    if (file.write(data) != data.size() || !file.flush())
        return FileErrorText(path, file.errorString());
    file.close();
    std::error_code error;
    // Unlike QFile::rename, this replaces an existing file in one step.
    std::filesystem::rename(NativePath(file.fileName()), NativePath(path), error);
    if (error) return FileErrorText(path, QString::fromStdString(error.message()));
    file.setAutoRemove(false);
    return {};
}

}  // namespace pmkest
