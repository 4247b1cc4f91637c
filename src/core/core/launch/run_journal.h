#pragma once
// The run journal: what a start leaves beside kest.ini until KEST's result is back in the
// project, so that a later start can finish a run whose manager was ended. Also the digest
// that tells whether a file changed during the run, and the names of backups.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/regular_file.h"

namespace pmkest {

inline constexpr const char* kJournalFileName = "kest.run";

struct FileDigest {
    qint64 size = -1;
    QByteArray sha256;
    friend bool operator==(const FileDigest&, const FileDigest&) = default;
};

// nullopt when the path is not a readable regular file; why, when given, says what it is.
std::optional<FileDigest> DigestOfFile(const std::string& path, FileFault* why = nullptr);

// How far a run got. Each phase is on disk before the step that follows it begins.
enum class RunPhase {
    Begun,    // nothing swapped yet: kest.res and kest.ini are being written
    Swapped,  // kest.ini holds the project's settings; KEST starts, its id not yet noted
    Running,  // KEST runs with the noted id
    Ended,    // KEST has ended; its result is copied back
};

struct RunJournal {
    RunPhase phase = RunPhase::Begun;
    std::string projectFile;   // shown to the user only
    std::string settingsFile;  // the one file a recovery may write
    std::string kestIni;
    FileDigest iniDigest;       // kest.ini before the swap, as kest.res holds it
    FileDigest settingsDigest;  // the settings file as it was swapped in
    QDateTime started;          // UTC
    qint64 managerPid = 0;
    QString managerIdentity;  // see ProcessIdentity; a run whose manager lives is that one's
    // Swapped: how to find KEST without its id (see FindMarkedProcess).
    QString kestProgram;
    QString kestMark;
    QString kestSince;
    // Running: see ProcessIdentity.
    qint64 kestPid = 0;
    QString kestIdentity;
    // Ended: KEST's exit code, -1 when it did not end normally.
    int kestExit = -1;
};

QByteArray ComposeRunJournal(const RunJournal& journal);

enum class JournalFault {
    None,
    Damaged,          // not a journal, or a value that makes no sense
    OtherVersion,     // written by a version of the program that this one does not know
    PhaseOutOfOrder,  // its phases do not follow each other as a run goes
    ForeignKestIni,   // names a kest.ini other than the one it lies beside
    NoSettingsFile,   // the settings file it names is not a regular file
};

struct ParsedJournal {
    RunJournal journal;
    JournalFault fault = JournalFault::None;
    // The last phase was cut off while it was written; journal holds the phase before it,
    // whose step had not begun yet.
    bool cutOff = false;
};

// The journal is data, never an instruction: it must name the kest.ini it lies beside and a
// settings file that is a regular file, or it is refused.
ParsedJournal ParseRunJournal(const QByteArray& text, const std::string& expectedKestIni);

// file.yyyy-MM-ddTHH-mm-ss.suffix, with -2, -3, ... after the time when that name is taken,
// so an earlier backup is never overwritten.
std::string AsidePathFor(const std::string& file, const QDateTime& at, const char* suffix);

// The user's own backups of file made by AsidePathFor(file, ..., "bak"), oldest written first.
std::vector<std::string> BackupsOf(const std::string& file);
// Removes all but the newest keep backups of file; kept, the one just made, always stays.
void PruneBackups(const std::string& file, int keep = 10, const std::string& kept = {});

}  // namespace pmkest
