#include "core/files/file_utils.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <map>
#include <optional>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "core/text/ui_texts.h"
#include "platform/files/regular_file.h"
#include "platform/places/shell_folder_values.h"
#include "platform/stop_points.h"

namespace pmkest {

namespace {

struct UserFolder {
    const char* name;
    const char* defaultName;  // under home, as xdg-user-dirs creates it
};

constexpr UserFolder kUserFolders[] = {{"DESKTOP", "Desktop"},     {"DOCUMENTS", "Documents"},
                                       {"DOWNLOAD", "Downloads"},  {"MUSIC", "Music"},
                                       {"PICTURES", "Pictures"},   {"PUBLICSHARE", "Public"},
                                       {"TEMPLATES", "Templates"}, {"VIDEOS", "Videos"}};

// XDG_NAME_DIR="$HOME/x" lines; the value may be quoted and hold backslash escapes.
std::map<QString, QString> ParseUserDirs(const QString& text, const QString& home) {
    std::map<QString, QString> values;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        if (!key.startsWith(QLatin1String("XDG_")) || !key.endsWith(QLatin1String("_DIR")))
            continue;
        QString raw = line.mid(eq + 1).trimmed();
        if (raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"')))
            raw = raw.mid(1, raw.size() - 2);
        QString value;
        for (decltype(raw.size()) i = 0; i < raw.size(); ++i) {
            if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) ++i;
            value += raw[i];
        }
        if (value.startsWith(QLatin1String("$HOME")))
            value = home + value.mid(5);
        else if (value.startsWith(QLatin1String("${HOME}")))
            value = home + value.mid(7);
        if (value.isEmpty()) continue;
        values[key.mid(4, key.size() - 8)] = value;
    }
    return values;
}

// The last line holding each key wins; the walk stops at the first empty entry.
void ReadFolderKeys(ShellFolders& folders) {
    for (const std::string& line : folders.ShellFolderLines) {
        if (line.empty()) break;
        ReadKeyText("DESKTOP = ", line, folders.DesktopFolder);
        ReadKeyText("PERSONAL = ", line, folders.PersonalFolder);
    }
}

}  // namespace

ShellFolders ShellFoldersFrom(const QString& userDirs, const QString& home) {
    const std::map<QString, QString> values = ParseUserDirs(userDirs, home);
    ShellFolders folders;
    size_t next = 0;
    auto add = [&](const char* name, const QString& value) {
        // A folder that CP1251 cannot name is left out rather than stored mangled.
        const std::optional<std::string> bytes = cp1251::FromQString(value);
        if (!bytes || next >= folders.ShellFolderLines.size()) return;
        folders.ShellFolderLines[next++] = std::string(name) + " = " + *bytes;
    };
    QString documents;
    for (const UserFolder& folder : kUserFolders) {
        const auto found = values.find(QString::fromLatin1(folder.name));
        const QString value = found != values.end()
                                  ? found->second
                                  : home + QLatin1Char('/') + QLatin1String(folder.defaultName);
        if (QLatin1String(folder.name) == QLatin1String("DOCUMENTS")) documents = value;
        add(folder.name, value);
    }
    add("PERSONAL", documents);
    ReadFolderKeys(folders);
    return folders;
}

ShellFolders ShellFoldersFromRegistry(const std::vector<std::pair<QString, QString>>& values) {
    ShellFolders folders;
    size_t next = 0;
    for (const auto& [name, value] : values) {
        if (next >= folders.ShellFolderLines.size()) break;
        const std::optional<std::string> line =
            cp1251::FromQString(name + QStringLiteral(" = ") + value);
        if (!line) continue;
        folders.ShellFolderLines[next++] = UpperLatin(UpperText(*line));
    }
    ReadFolderKeys(folders);
    return folders;
}

ShellFolders ReadShellFolders() {
    if (const auto registry = RegistryShellFolders()) return ShellFoldersFromRegistry(*registry);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A pipe or a device in its place must not hold up the start: it counts as no file.
    QByteArray bytes;
    if (ReadRegularFile(QDir(config).filePath(QStringLiteral("user-dirs.dirs")), 1024 * 1024, bytes)
            .failed())
        bytes.clear();
    return ShellFoldersFrom(QString::fromUtf8(bytes), QDir::homePath());
}

Status WriteShellFolderList(const ShellFolders& folders, const QString& folder,
                            const QString& fallback, Language language) {
    QStringList places = folder.isEmpty() ? ShellFolderListPlaces() : QStringList{folder};
    if (!fallback.isEmpty()) places << fallback;
    const std::vector<std::string> lines(folders.ShellFolderLines.begin(),
                                         folders.ShellFolderLines.end());
    const std::string text = JoinLinesCrLf(lines);
    // The first place that takes the file is enough: a refused one costs no message at every
    // start.
    Status written = Status(Failure{QString()});
    for (const QString& place : places) {
        if (place.isEmpty()) continue;
        const QString file =
            QDir::toNativeSeparators(QDir(place).filePath(QStringLiteral("dirs.txt")));
        const std::optional<std::string> path = cp1251::FromQString(file);
        if (!path) {
            written = Failure{Tr(UiText::PathNotStorable, language).arg(file)};
            continue;
        }
        QDir().mkpath(place);
        written = WriteFileAtomic(*path, text, language, Durability::UntilReboot);
        if (written) return written;
    }
    return Failure{Tr(UiText::DirsNotWritten, language).arg(written.error())};
}

Status CopyFileData(const std::string& source, const std::string& destination, Language language,
                    CopyKind kind) {
    const QString from = ToFsPath(source);
    const QString to = ToFsPath(destination);
    RegularFileReader in;
    FileFault fault = in.open(from, kFileReadLimit, SharedFolderRule::OwnFilesOnly);
    if (fault.failed()) return Failure{FileFaultText(from, fault, language)};
    AtomicFileWriter out;
    NewFileAccess access;
    access.source = &in;
    access.ownerOnlyUnlessPublic = kind == CopyKind::Backup;
    fault = out.open(to, access);
    if (fault.failed()) return Failure{FileFaultText(to, fault, language)};
    char block[8192];
    bool started = false;
    for (;;) {
        qint64 got = 0;
        fault = in.read(block, sizeof block, got);
        if (fault.failed()) return Failure{FileFaultText(from, fault, language)};
        if (got == 0) break;
        fault = out.write(block, got);
        if (fault.failed()) return Failure{FileFaultText(to, fault, language)};
        if (!started) PassStopPoint("copying", to);
        started = true;
    }
    fault = out.commit();
    if (fault.failed()) return Failure{FileFaultText(to, fault, language)};
    return {};
}

}  // namespace pmkest
