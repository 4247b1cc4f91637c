#include "core/launch/run_journal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <vector>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "platform/files/file_owner.h"
#include "platform/qt_compat.h"

namespace pmkest {

namespace {

constexpr const char* kVersionKey = "pmkest-run-journal";
constexpr const char* kVersion = "2";

constexpr const char* kPhaseNames[] = {"begun", "swapped", "running", "ended"};

QByteArray PathValue(const std::string& path) {
    return cp1251::ToQString(path).toUtf8();
}

std::optional<std::string> PathFrom(const QString& value) {
    if (value.isEmpty() || !QDir::isAbsolutePath(value)) return std::nullopt;
    return cp1251::FromQString(value);
}

std::optional<qint64> NumberFrom(const QString& value, qint64 least) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < least) return std::nullopt;
    return number;
}

std::optional<FileDigest> DigestFrom(const QString& size, const QString& sha) {
    const auto bytes = NumberFrom(size, 0);
    const QByteArray hash = QByteArray::fromHex(sha.toLatin1());
    if (!bytes || sha.size() != 64 || hash.size() != 32 || hash.toHex() != sha.toLatin1())
        return std::nullopt;
    return FileDigest{*bytes, hash};
}

using Record = std::map<QString, QString>;

// The record's values for exactly these keys, or nullopt when one is missing or another is there.
std::optional<std::vector<QString>> Values(const Record& record,
                                           std::initializer_list<const char*> keys) {
    if (record.size() != keys.size()) return std::nullopt;
    std::vector<QString> values;
    for (const char* key : keys) {
        const auto found = record.find(QLatin1String(key));
        if (found == record.end()) return std::nullopt;
        values.push_back(found->second);
    }
    return values;
}

// Fills in the fields of one phase; false when a value is missing or makes no sense.
bool TakeRecord(RunPhase phase, const Record& record, RunJournal& journal) {
    switch (phase) {
        case RunPhase::Begun: {
            // Journals of earlier versions do not name the manager's identity.
            Record rest = record;
            if (const auto found = rest.find(QStringLiteral("manager-identity"));
                found != rest.end()) {
                journal.managerIdentity = found->second;
                rest.erase(found);
            }
            const auto v =
                Values(rest, {"project", "settings", "kest-ini", "started", "manager-pid",
                              "ini-size", "ini-sha256", "settings-size", "settings-sha256"});
            if (!v) return false;
            const auto project = PathFrom((*v)[0]);
            const auto settings = PathFrom((*v)[1]);
            const auto ini = PathFrom((*v)[2]);
            journal.started = QDateTime::fromString((*v)[3], Qt::ISODate);
            const auto manager = NumberFrom((*v)[4], 1);
            const auto iniDigest = DigestFrom((*v)[5], (*v)[6]);
            const auto settingsDigest = DigestFrom((*v)[7], (*v)[8]);
            if (!project || !settings || !ini || !journal.started.isValid() || !manager ||
                !iniDigest || !settingsDigest)
                return false;
            journal.projectFile = *project;
            journal.settingsFile = *settings;
            journal.kestIni = *ini;
            journal.managerPid = *manager;
            journal.iniDigest = *iniDigest;
            journal.settingsDigest = *settingsDigest;
            return true;
        }
        case RunPhase::Swapped: {
            const auto v = Values(record, {"kest-program", "kest-mark", "kest-since"});
            if (!v || (*v)[0].isEmpty() || (*v)[1].isEmpty()) return false;
            journal.kestProgram = (*v)[0];
            journal.kestMark = (*v)[1];
            journal.kestSince = (*v)[2];
            return true;
        }
        case RunPhase::Running: {
            const auto v = Values(record, {"kest-pid", "kest-identity"});
            if (!v) return false;
            const auto pid = NumberFrom((*v)[0], 1);
            if (!pid || (*v)[1].isEmpty()) return false;
            journal.kestPid = *pid;
            journal.kestIdentity = (*v)[1];
            return true;
        }
        case RunPhase::Ended: {
            const auto v = Values(record, {"kest-exit"});
            if (!v) return false;
            const auto code = NumberFrom((*v)[0], -1);
            if (!code || *code > INT_MAX) return false;
            journal.kestExit = int(*code);
            return true;
        }
    }
    return false;
}

// The phases a run can go through next: KEST's id may be unknown when it ends.
bool MayFollow(std::optional<RunPhase> before, RunPhase next) {
    if (!before) return next == RunPhase::Begun;
    switch (*before) {
        case RunPhase::Begun:
            return next == RunPhase::Swapped;
        case RunPhase::Swapped:
            return next == RunPhase::Running || next == RunPhase::Ended;
        case RunPhase::Running:
            return next == RunPhase::Ended;
        case RunPhase::Ended:
            return false;
    }
    return false;
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
    fault = path.empty()
                ? FileFault::System(ENOENT)
                : file.open(ToFsPath(path), kFileReadLimit, SharedFolderRule::OwnFilesOnly);
    if (fault.failed()) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char block[8192];
    qint64 size = 0;
    for (;;) {
        qint64 got = 0;
        fault = file.read(block, sizeof block, got);
        if (fault.failed()) return std::nullopt;
        if (got == 0) break;
        compat::AddHashData(hash, block, got);
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
    auto phase = [&](RunPhase p) { line("phase", kPhaseNames[int(p)]); };
    line(kVersionKey, kVersion);
    phase(RunPhase::Begun);
    line("project", PathValue(journal.projectFile));
    line("settings", PathValue(journal.settingsFile));
    line("kest-ini", PathValue(journal.kestIni));
    line("started", journal.started.toUTC().toString(Qt::ISODate).toLatin1());
    line("manager-pid", QByteArray::number(journal.managerPid));
    if (!journal.managerIdentity.isEmpty())
        line("manager-identity", journal.managerIdentity.toUtf8());
    line("ini-size", QByteArray::number(journal.iniDigest.size));
    line("ini-sha256", journal.iniDigest.sha256.toHex());
    line("settings-size", QByteArray::number(journal.settingsDigest.size));
    line("settings-sha256", journal.settingsDigest.sha256.toHex());
    if (journal.phase >= RunPhase::Swapped) {
        phase(RunPhase::Swapped);
        line("kest-program", journal.kestProgram.toUtf8());
        line("kest-mark", journal.kestMark.toUtf8());
        line("kest-since", journal.kestSince.toUtf8());
    }
    if (journal.phase >= RunPhase::Running && journal.kestPid > 0) {
        phase(RunPhase::Running);
        line("kest-pid", QByteArray::number(journal.kestPid));
        line("kest-identity", journal.kestIdentity.toUtf8());
    }
    if (journal.phase == RunPhase::Ended) {
        phase(RunPhase::Ended);
        line("kest-exit", QByteArray::number(journal.kestExit));
    }
    // A journal without this last line was cut short.
    line("end", {});
    return text;
}

ParsedJournal ParseRunJournal(const QByteArray& text, const std::string& expectedKestIni) {
    ParsedJournal parsed;
    parsed.fault = JournalFault::Damaged;
    // With the size given, a NUL stays in the text (Qt 5 would stop there) and is refused below.
    const QString decoded = QString::fromUtf8(text.constData(), text.size());
    // A cut may fall inside a character; only the last line can hold it.
    const qsizetype lastBreak = decoded.lastIndexOf(QLatin1Char('\n'));
    if (decoded.left(lastBreak + 1).contains(QChar(0xFFFD)) || decoded.contains(QChar(0)))
        return parsed;

    QStringList lines = decoded.split(QLatin1Char('\n'));
    lines.removeLast();  // empty, or a line cut short
    std::vector<std::pair<RunPhase, Record>> records;
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
        if (key == QLatin1String("phase")) {
            const auto* found =
                std::find_if(std::begin(kPhaseNames), std::end(kPhaseNames),
                             [&](const char* name) { return value == QLatin1String(name); });
            if (found == std::end(kPhaseNames)) return parsed;
            const RunPhase phase = RunPhase(found - std::begin(kPhaseNames));
            if (!MayFollow(records.empty() ? std::nullopt : std::optional(records.back().first),
                           phase)) {
                parsed.fault = JournalFault::PhaseOutOfOrder;
                return parsed;
            }
            records.emplace_back(phase, Record{});
            continue;
        }
        if (records.empty() || !records.back().second.emplace(key, value).second) return parsed;
    }
    if (!ended) {
        // Whatever was being written last is not to be trusted, and its step never began.
        if (records.size() < 2) return parsed;
        records.pop_back();
        parsed.cutOff = true;
    }
    if (records.empty()) return parsed;
    RunJournal& journal = parsed.journal;
    for (const auto& [phase, record] : records)
        if (!TakeRecord(phase, record, journal)) return parsed;
    journal.phase = records.back().first;

    if (!SameFile(journal.kestIni, expectedKestIni))
        parsed.fault = JournalFault::ForeignKestIni;
    else if (!QFileInfo(ToFsPath(journal.settingsFile)).isFile())
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

std::vector<std::string> BackupsOf(const std::string& file) {
    const QFileInfo info(ToFsPath(file));
    const QRegularExpression name(
        QLatin1Char('^') + QRegularExpression::escape(info.fileName()) +
        QStringLiteral(R"(\.\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d(?:-\d+)?\.bak$)"));
    // Only the user's own: a file of that name that someone else put there is not a backup,
    // and its name says nothing of when it was written.
    std::vector<std::pair<QDateTime, QString>> found;
    const QDir folder(info.absolutePath());
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.match(entry).hasMatch()) continue;
        const QString path = folder.filePath(entry);
        const EntryOwner owner = OwnerOf(path);
        if (!owner.exists || owner.link || owner.hardLinked || !owner.ownedByUser) continue;
        found.emplace_back(QFileInfo(path).lastModified(), entry);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> backups;
    const std::string folderPart = FolderPart(file);
    for (const auto& item : found)
        if (const auto path = cp1251::FromQString(item.second))
            backups.push_back(folderPart + *path);
    return backups;
}

void PruneBackups(const std::string& file, int keep, const std::string& kept) {
    std::vector<std::string> backups = BackupsOf(file);
    std::erase(backups, kept);
    const size_t left = kept.empty() ? size_t(keep) : size_t(qMax(keep - 1, 0));
    for (size_t i = 0; i + left < backups.size(); ++i) QFile::remove(ToFsPath(backups[i]));
}

}  // namespace pmkest
