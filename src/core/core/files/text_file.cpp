#include "core/files/text_file.h"

#include <QFile>
#include <QFileInfo>

#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "platform/files/file_error.h"
#include "platform/files/regular_file.h"
#include "platform/path_rules.h"

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

QString FileFaultText(const QString& path, const FileFault& fault, Language language) {
    QString reason;
    switch (fault.kind) {
        case FileFault::Kind::None:
            return {};
        case FileFault::Kind::System:
            reason = fault.reason;
            break;
        case FileFault::Kind::Folder:
            reason = Tr(UiText::FileIsFolder, language);
            break;
        case FileFault::Kind::Pipe:
            reason = Tr(UiText::FileIsPipe, language);
            break;
        case FileFault::Kind::Device:
            reason = Tr(UiText::FileIsDevice, language);
            break;
        case FileFault::Kind::Socket:
            reason = Tr(UiText::FileIsSocket, language);
            break;
        case FileFault::Kind::Special:
            reason = Tr(UiText::FileIsSpecial, language);
            break;
        case FileFault::Kind::TooLarge:
            reason = Tr(UiText::FileTooLarge, language).arg(kFileReadLimit / (1024 * 1024));
            break;
        case FileFault::Kind::SharedLink:
            reason = Tr(UiText::FileIsSharedLink, language);
            break;
        case FileFault::Kind::ReadOnly:
            reason = Tr(UiText::FileIsReadOnly, language);
            break;
        case FileFault::Kind::NotUsersOwn:
            reason = Tr(UiText::FileNotUsersOwn, language).arg(fault.reason);
            break;
    }
    return FileErrorText(fault.subject.isEmpty() ? path : fault.subject, reason);
}

QString FolderRefusalText(const FolderRefusal& refusal, Language language) {
    switch (refusal.reason) {
        case FolderRefusal::Reason::None:
            return {};
        case FolderRefusal::Reason::NotNamed:
            return Tr(UiText::FolderNotNamed, language);
        case FolderRefusal::Reason::Missing:
            return Tr(UiText::FolderMissing, language);
        case FolderRefusal::Reason::NotAFolder:
            return Tr(UiText::NotAFolder, language);
        case FolderRefusal::Reason::AccessDenied:
            return Tr(UiText::FolderAccessDenied, language);
        case FolderRefusal::Reason::System:
            break;
    }
    return refusal.systemText;
}

Expected<std::string> ReadWholeFile(const std::string& path, Language language) {
    QByteArray bytes;
    const FileFault fault = ReadRegularFile(ToFsPath(path), kFileReadLimit, bytes);
    if (fault.failed()) return Failure{FileFaultText(ToFsPath(path), fault, language)};
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

Status WriteFileAtomic(const std::string& path, std::string_view data, Language language,
                       Durability durability, const NewFileAccess& access) {
    const QString name = ToFsPath(path);
    AtomicFileWriter file(durability == Durability::Durable);
    FileFault fault = file.open(name, access);
    if (!fault.failed()) fault = file.write(data.data(), static_cast<qint64>(data.size()));
    if (!fault.failed()) fault = file.commit();
    if (fault.failed()) return Failure{FileFaultText(name, fault, language)};
    return {};
}

Status CheckReplaceable(const std::string& path, Language language) {
    const QString name = ToFsPath(path);
    AtomicFileWriter file;
    const FileFault fault = file.open(name);  // the temporary goes with the writer
    if (fault.failed()) return Failure{FileFaultText(name, fault, language)};
    return {};
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    const QFileInfo info(ToFsPath(path));
    return info.exists() && !info.isDir();
}

bool PathExists(const std::string& path) {
    return !path.empty() && AnythingAt(ToFsPath(path));
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const QString ca = QFileInfo(ToFsPath(a)).canonicalFilePath();
    return !ca.isEmpty() &&
           ca.compare(QFileInfo(ToFsPath(b)).canonicalFilePath(),
                      kNamesIgnoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

size_t LastSeparator(std::string_view path) {
    return path.find_last_of(kFolderSeparators);
}

std::string FolderPart(const std::string& path) {
    const size_t p = LastSeparator(path);
    if (p == std::string::npos) return {};
    return path.substr(0, p + 1);
}

}  // namespace pmkest
