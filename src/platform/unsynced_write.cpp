#include "platform/unsynced_write.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace pmkest {

namespace {

std::filesystem::path NativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString Failed(const QString& path, const QString& error) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
}

}  // namespace

QString ReplaceFileUnsynced(const QString& path, const QByteArray& data) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) return Failed(path, file.errorString());
    if (file.write(data) != data.size() || !file.flush()) return Failed(path, file.errorString());
    file.close();
    std::error_code error;
    // Unlike QFile::rename, this replaces an existing file in one step.
    std::filesystem::rename(NativePath(file.fileName()), NativePath(path), error);
    if (error) return Failed(path, QString::fromStdString(error.message()));
    file.setAutoRemove(false);
    return {};
}

}  // namespace pmkest
