#include "core/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/cp1251.h"
#include "platform/file_error.h"

namespace pmkest {

std::vector<std::string> SplitLines(std::string_view data) {
    std::vector<std::string> lines;
    // Without a single LF, CRs end the lines (old Mac files); read whole, such a file would
    // be one line that every key matches.
    const bool crOnly = data.find('\n') == std::string_view::npos;
    const char lineEnd = crOnly ? '\r' : '\n';
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find(lineEnd, start);
        const bool last = end == std::string_view::npos;
        if (last) end = data.size();
        size_t stop = end;
        if (!crOnly && !last && stop > start && data[stop - 1] == '\r') --stop;
        lines.emplace_back(data.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    std::string out;
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 2;
    out.reserve(total);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

QString ToFsPath(const std::string& path) {
    return cp1251::ToQString(path);
}

ReadResult ReadWholeFile(const std::string& path) {
    ReadResult result;
    QFile file(ToFsPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = FileErrorText(ToFsPath(path), file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = FileErrorText(ToFsPath(path), file.errorString());
        return result;
    }
    result.data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    result.ok = true;
    return result;
}

QString WriteFileAtomic(const std::string& path, std::string_view data) {
    QSaveFile file(ToFsPath(path));
    if (!file.open(QIODevice::WriteOnly)) return FileErrorText(ToFsPath(path), file.errorString());
    const auto size = static_cast<qint64>(data.size());
    if (file.write(data.data(), size) != size) {
        const QString error = file.errorString();
        file.cancelWriting();
        return FileErrorText(ToFsPath(path), error);
    }
    // commit() does not report a failed flush of the last block (a full disk): ask first.
    if (!file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return FileErrorText(ToFsPath(path), error);
    }
    if (!file.commit()) return FileErrorText(ToFsPath(path), file.errorString());
    return {};
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    const QFileInfo info(ToFsPath(path));
    return info.exists() && !info.isDir();
}

bool DirectoryExists(const std::string& path) {
    return !path.empty() && QFileInfo(ToFsPath(path)).isDir();
}

std::string FolderPart(const std::string& path) {
#ifdef Q_OS_WIN
    const size_t p = path.find_last_of("\\:");
#else
    const size_t p = path.find_last_of('/');
#endif
    if (p == std::string::npos) return {};
    return path.substr(0, p + 1);
}

}  // namespace pmkest
