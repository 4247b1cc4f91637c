#include "core/launch/run_journal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <map>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"

namespace pmkest {

namespace {

constexpr const char* kVersionKey = "pmkest-run-journal";
constexpr const char* kVersion = "1";

QByteArray PathValue(const std::string& path) {
    return cp1251::ToQString(path).toUtf8();
}

std::optional<std::string> PathFrom(const QString& value) {
    if (value.isEmpty() || !QDir::isAbsolutePath(value)) return std::nullopt;
    return cp1251::FromQString(value);
}

std::optional<qint64> PositiveNumber(const QString& value, qint64 least) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < least) return std::nullopt;
    return number;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const QString ca = QFileInfo(ToFsPath(a)).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(ToFsPath(b)).canonicalFilePath();
}

// Every field, or nullopt when one is missing or makes no sense.
std::optional<RunJournal> JournalFrom(const std::map<QString, QString>& values) {
    auto value = [&](const char* key) -> std::optional<QString> {
        const auto found = values.find(QLatin1String(key));
        if (found == values.end()) return std::nullopt;
        return found->second;
    };
    RunJournal journal;
    const auto project = value("project");
    const auto settings = value("settings");
    const auto ini = value("kest-ini");
    const auto size = value("settings-size");
    const auto sha = value("settings-sha256");
    const auto started = value("started");
    const auto manager = value("manager-pid");
    if (!project || !settings || !ini || !size || !sha || !started || !manager) return std::nullopt;

    const auto projectPath = PathFrom(*project);
    const auto settingsPath = PathFrom(*settings);
    const auto iniPath = PathFrom(*ini);
    const auto sizeValue = PositiveNumber(*size, 0);
    const auto managerPid = PositiveNumber(*manager, 1);
    journal.started = QDateTime::fromString(*started, Qt::ISODate);
    const QByteArray hash = QByteArray::fromHex(sha->toLatin1());
    if (!projectPath || !settingsPath || !iniPath || !sizeValue || !managerPid ||
        !journal.started.isValid() || sha->size() != 64 || hash.size() != 32 ||
        hash.toHex() != sha->toLatin1())
        return std::nullopt;
    journal.projectFile = *projectPath;
    journal.settingsFile = *settingsPath;
    journal.kestIni = *iniPath;
    journal.settingsDigest = {*sizeValue, hash};
    journal.managerPid = *managerPid;

    const auto kestPid = value("kest-pid");
    const auto identity = value("kest-identity");
    if (kestPid.has_value() != identity.has_value()) return std::nullopt;
    if (kestPid) {
        const auto pid = PositiveNumber(*kestPid, 1);
        if (!pid || identity->isEmpty()) return std::nullopt;
        journal.kestPid = *pid;
        journal.kestIdentity = *identity;
    }
    return journal;
}

QString TimeStamp(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss"));
}

}  // namespace

std::optional<FileDigest> DigestOfFile(const std::string& path, FileFault* why) {
    FileFault ignored;
    FileFault& fault = why ? *why : ignored;
    // Only a regular file: reading a pipe or a device could block or never end.
    RegularFileReader file;
    fault = path.empty() ? FileFault::System(ENOENT) : file.open(ToFsPath(path));
    if (fault.failed()) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char block[8192];
    qint64 size = 0;
    for (;;) {
        qint64 got = 0;
        fault = file.read(block, sizeof block, got);
        if (fault.failed()) return std::nullopt;
        if (got == 0) break;
        hash.addData(QByteArrayView(block, got));
        size += got;
    }
    return FileDigest{size, hash.result()};
}

QByteArray ComposeRunJournal(const RunJournal& journal) {
    QByteArray text;
    auto line = [&text](const char* key, const QByteArray& value) {
        text += key;
        text += '=';
        text += value;
        text += "\r\n";
    };
    line(kVersionKey, kVersion);
    line("project", PathValue(journal.projectFile));
    line("settings", PathValue(journal.settingsFile));
    line("kest-ini", PathValue(journal.kestIni));
    line("settings-size", QByteArray::number(journal.settingsDigest.size));
    line("settings-sha256", journal.settingsDigest.sha256.toHex());
    line("started", journal.started.toUTC().toString(Qt::ISODate).toLatin1());
    line("manager-pid", QByteArray::number(journal.managerPid));
    if (journal.kestPid > 0) {
        line("kest-pid", QByteArray::number(journal.kestPid));
        line("kest-identity", journal.kestIdentity.toUtf8());
    }
    // A journal without this last line was cut short.
    line("end", {});
    return text;
}

ParsedJournal ParseRunJournal(const QByteArray& text, const std::string& expectedKestIni) {
    ParsedJournal parsed;
    parsed.fault = JournalFault::Damaged;
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString decoded = decode(text);
    if (decode.hasError() || decoded.contains(QChar(0))) return parsed;

    QStringList lines = decoded.split(QLatin1Char('\n'));
    if (lines.size() < 2 || !lines.last().isEmpty()) return parsed;  // the last line ends too
    lines.removeLast();
    std::map<QString, QString> values;
    bool ended = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || ended) return parsed;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (i == 0) {
            if (key != QLatin1String(kVersionKey)) return parsed;
            if (value != QLatin1String(kVersion)) {
                parsed.fault = JournalFault::OtherVersion;
                return parsed;
            }
            continue;
        }
        if (key == QLatin1String("end")) {
            ended = value.isEmpty();
            if (!ended) return parsed;
            continue;
        }
        if (!values.emplace(key, value).second) return parsed;  // a key given twice
    }
    if (!ended) return parsed;
    std::optional<RunJournal> journal = JournalFrom(values);
    if (!journal) return parsed;
    parsed.journal = std::move(*journal);
    if (!SameFile(parsed.journal.kestIni, expectedKestIni))
        parsed.fault = JournalFault::ForeignKestIni;
    else if (!QFileInfo(ToFsPath(parsed.journal.settingsFile)).isFile())
        parsed.fault = JournalFault::NoSettingsFile;
    else
        parsed.fault = JournalFault::None;
    return parsed;
}

std::string AsidePathFor(const std::string& file, const QDateTime& at, const char* suffix) {
    const std::string stamp = TimeStamp(at).toStdString();
    for (int n = 1;; ++n) {
        std::string path = file + "." + stamp;
        if (n > 1) path += "-" + std::to_string(n);
        path += ".";
        path += suffix;
        const QFileInfo info(ToFsPath(path));
        if (!info.exists() && !info.isSymLink()) return path;
    }
}

}  // namespace pmkest
