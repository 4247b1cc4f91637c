#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/files/text_file.h"
#include "core/launch/kest_run.h"
#include "core/launch/kest_start_checks.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/files/file_owner.h"
#include "platform/files/regular_file.h"
#include "platform/process/process_identity.h"
#include "platform/process/process_search.h"
#include "platform/process/termination_signals.h"

// A run whose manager was ended, entered at the phase its journal recorded: a KEST that still
// runs is adopted, a result left in kest.ini goes back by the same copy back as a run's own.

namespace pmkest {

namespace {

constexpr qint64 kJournalLimit = 64 * 1024;  // a real one is a few hundred bytes

// The temporaries of writers that were killed during this run's copies.
void RemoveDebris(const std::string& journalPath, const std::string& kestIni,
                  const std::string& settingsFile) {
    for (const std::string& file :
         {journalPath, kestIni, FolderPart(kestIni) + "kest.res", settingsFile})
        if (!file.empty()) RemoveLeftTemporaries(ToFsPath(file));
}

// Only a journal that is the user's alone is acted on: anyone else could have written any other.
bool IsUsersOwnJournal(const std::string& path, QString& owner) {
    const EntryOwner entry = OwnerOf(ToFsPath(path));
    owner = entry.owner;
    return entry.exists && !entry.link && !entry.hardLinked && entry.ownedByUser &&
           !entry.othersMayWrite;
}

ProcessMark MarkOf(const RunJournal& run) {
    return {QLatin1String(KestRun::kMarkVariable), run.kestMark, run.kestSince, run.kestProgram};
}

}  // namespace

void KestRun::adopt(const RunJournal& run, const std::string& journalPath) {
    m_run = run;
    m_journalPath = journalPath;
    m_adoptPoll.start();  // first: the status asks whether this run is adopted
    setRunning(true, run.settingsFile);
}

void KestRun::setRunning(bool running, const std::string& settingsFile) {
    m_running = running;
    m_runningSettings = running ? settingsFile : std::string();
    m_observer.runningChanged(running);
    if (!running || !adopting()) {
        m_observer.showRunStatus({});
        return;
    }
    // The greyed-out window says why it waits.
    const QDateTime started = m_run->started.toLocalTime();
    const QString when = started.toString(started.date() == QDate::currentDate()
                                              ? QStringLiteral("HH:mm:ss")
                                              : QStringLiteral("yyyy-MM-dd HH:mm"));
    m_observer.showRunStatus(
        Tr(UiText::WaitingForKest, m_state.language).arg(when, ToFsPath(m_run->projectFile)));
}

void KestRun::endAdoptedRun() {
    if (!adopting() || !m_run) return;
    EndIdentifiedProcess(m_run->kestPid, m_run->kestIdentity);
    m_adoptPoll.stop();
    setRunning(false, {});
    // Not counted, as a run of its own ended by closing is not: the settings are written.
    finishRun();
}

std::optional<RunJournal> KestRun::otherManagersRun() const {
    if (m_run || m_state.kestIniFolder.empty()) return std::nullopt;
    const std::string folder = KestIniFolderInUse(m_state.kestIniFolder);
    const std::string path = folder + kJournalFileName;
    QString owner;
    if (!IsUsersOwnJournal(path, owner)) return std::nullopt;
    QByteArray text;
    if (ReadRegularFile(ToFsPath(path), kJournalLimit, text, SharedFolderRule::OwnFilesOnly)
            .failed())
        return std::nullopt;
    const ParsedJournal parsed = ParseRunJournal(text, folder + "kest.ini");
    const RunJournal& run = parsed.journal;
    if (parsed.fault != JournalFault::None || run.managerIdentity.isEmpty() ||
        run.managerPid == QCoreApplication::applicationPid() ||
        ProcessIdentity(run.managerPid) != run.managerIdentity)
        return std::nullopt;
    return run;
}

bool KestRun::resume(bool quietAboutOthers) {
    if (m_run) return false;  // a run is going on
    // Another manager on this kest.ini (another session, another user) still runs its KEST:
    // that run is not interrupted, and it is that manager's to finish.
    if (const std::optional<RunJournal> other = otherManagersRun()) {
        if (!quietAboutOthers)
            showError(Tr(UiText::OtherManagersRun, m_state.language)
                          .arg(ToFsPath(other->projectFile), QString::number(other->managerPid),
                               other->started.toLocalTime().toString(
                                   QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        return false;
    }
    if (m_state.kestIniFolder.empty()) return true;
    const std::string folder = KestIniFolderInUse(m_state.kestIniFolder);
    const Language language = m_state.language;
    const std::string path = folder + kJournalFileName;
    const std::string ini = folder + "kest.ini";
    const QFileInfo info(ToFsPath(path));
    if (!info.exists() && !info.isSymLink()) return true;
    QString owner;
    if (!IsUsersOwnJournal(path, owner)) {
        // Nobody asked to start yet; a Start says whose it may be.
        if (quietAboutOthers) return false;
        return setAsideOthersJournal(path, owner);
    }

    RunJournal unknown;
    unknown.kestIni = ini;
    auto unusable = [&](const RunJournal& run, const QString& reason) {
        RemoveDebris(path, ini, run.settingsFile);
        putAside(path, run, true,
                 Tr(UiText::JournalUnusable, language).arg(ToFsPath(path), reason));
        return false;
    };
    // Never a pipe or a device: reading it could block.
    QByteArray text;
    const FileFault fault =
        ReadRegularFile(ToFsPath(path), kJournalLimit, text, SharedFolderRule::OwnFilesOnly);
    if (fault.kind == FileFault::Kind::System)
        return unusable(unknown, Tr(UiText::JournalUnreadable, language).arg(fault.reason));
    if (fault.failed()) return unusable(unknown, Tr(UiText::JournalDamaged, language));

    const ParsedJournal parsed = ParseRunJournal(text, ini);
    RunJournal run = parsed.journal;
    switch (parsed.fault) {
        case JournalFault::None:
            break;
        case JournalFault::Damaged:
            return unusable(unknown, Tr(UiText::JournalDamaged, language));
        case JournalFault::OtherVersion:
            return unusable(unknown, Tr(UiText::JournalOtherVersion, language));
        case JournalFault::PhaseOutOfOrder:
            return unusable(unknown, Tr(UiText::JournalPhaseOutOfOrder, language));
        case JournalFault::ForeignKestIni:
            return unusable(unknown,
                            Tr(UiText::JournalForeignKestIni, language).arg(ToFsPath(run.kestIni)));
        case JournalFault::NoSettingsFile:
            return unusable(
                unknown,
                Tr(UiText::JournalNoSettingsFile, language).arg(ToFsPath(run.settingsFile)));
    }
    RemoveDebris(path, ini, run.settingsFile);

    switch (run.phase) {
        case RunPhase::Begun: {
            // KEST cannot have run: the project is untouched, kest.ini goes back as it was.
            QString error;
            if (!undoSwap(run, error)) {
                if (!error.isEmpty()) {
                    showError(error);
                    return false;
                }
                return unusable(run, Tr(UiText::JournalFitsNoFile, language));
            }
            QFile::remove(ToFsPath(path));
            inform(Tr(UiText::StartInterrupted, language).arg(ToFsPath(run.projectFile)));
            return true;
        }
        case RunPhase::Swapped:
            // KEST may have started before its id was noted: it carries the run's mark.
            if (const qint64 pid = FindMarkedProcess(MarkOf(run))) {
                run.kestPid = pid;
                run.kestIdentity = ProcessIdentity(pid);
                if (!run.kestIdentity.isEmpty()) {
                    run.phase = RunPhase::Running;
                    adopt(run, path);
                    return false;
                }
            }
            break;
        case RunPhase::Running:
            // The same process, not just the same number: ids are handed out again; and the
            // user's own, carrying the run's mark.
            if (ProcessIdentity(run.kestPid) == run.kestIdentity &&
                CarriesMark(run.kestPid, MarkOf(run))) {
                adopt(run, path);
                return false;
            }
            break;
        case RunPhase::Ended: {
            // What the interrupted run was about to do, or what failed at its end.
            std::string backup;
            if (!copyBack(run, path, backup, Tr(UiText::CopyBackWasCutShort, language)))
                return false;
            QString done = Tr(UiText::RunRecovered, language).arg(ToFsPath(run.settingsFile));
            if (!backup.empty())
                done += QLatin1Char('\n') + Tr(UiText::BackupKept, language).arg(ToFsPath(backup));
            inform(done);
            return true;
        }
    }

    // KEST is gone, and no journal says what it did.
    return askToCopyBack(run, path);
}

bool KestRun::askToCopyBack(const RunJournal& run, const std::string& path) {
    const Language language = m_state.language;
    // If it changed nothing there is nothing to bring back and nothing to ask.
    const std::optional<FileDigest> result = DigestOfFile(run.kestIni);
    if (result && result == DigestOfFile(run.settingsFile)) {
        QFile::remove(ToFsPath(path));
        inform(Tr(UiText::RunUnchanged, language)
                   .arg(ToFsPath(run.projectFile), ToFsPath(run.settingsFile)));
        return true;
    }

    const QString when = run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    // kest.ini as it was before the run (put back by hand, or by another tool) is not KEST's
    // result: the project is kept unless the user insists, and then kept as a backup.
    const bool preRun = result == run.iniDigest;
    const QString question = Tr(preRun ? UiText::RunIniIsPreRun : UiText::RunInterrupted, language)
                                 .arg(ToFsPath(run.projectFile), when, ToFsPath(run.kestIni),
                                      ToFsPath(run.settingsFile));
    const QString title = Tr(UiText::TitleProgram, m_state.language);
    if (!(preRun ? m_dialogs.askYesNo(title, question)
                 : m_dialogs.askYesNoDefaultYes(title, question))) {
        // Dismissed by the end of the program, not by the user: the next start asks again.
        if (TerminationSignals::received()) return false;
        putAside(path, run, false,
                 Tr(UiText::NothingCopied, language).arg(ToFsPath(run.settingsFile)));
        return true;
    }
    std::string backup;
    if (preRun) {
        QString error;
        backup = keepBackup(run.settingsFile, {}, error);
        if (!error.isEmpty()) {
            showError(Tr(UiText::BackupFailed, language)
                          .arg(ToFsPath(run.settingsFile), ToFsPath(run.kestIni), error));
            return false;
        }
    }
    std::string copyBackup;
    if (!copyBack(run, path, copyBackup)) return false;
    if (backup.empty()) backup = copyBackup;
    QString done = Tr(UiText::RunRecovered, language).arg(ToFsPath(run.settingsFile));
    if (!backup.empty())
        done += QLatin1Char('\n') + Tr(UiText::BackupKept, language).arg(ToFsPath(backup));
    inform(done);
    return true;
}

bool KestRun::setAsideOthersJournal(const std::string& path, const QString& owner) {
    const Language language = m_state.language;
    if (!m_dialogs.askYesNo(Tr(UiText::TitleProgram, language),
                            Tr(UiText::JournalNotUsersOwn, language).arg(ToFsPath(path), owner)) ||
        TerminationSignals::received())
        return false;
    const std::string aside = AsidePathFor(path, QDateTime::currentDateTime(), "foreign");
    const FileFault renamed = RenameEntry(ToFsPath(path), ToFsPath(aside));
    if (renamed.failed()) {
        showError(Tr(UiText::JournalNotSetAside, language)
                      .arg(ToFsPath(path), FileFaultText(ToFsPath(path), renamed, language)));
        return false;
    }
    return true;
}

void KestRun::pollAdopted() {
    if (!m_run || ProcessIdentity(m_run->kestPid) == m_run->kestIdentity) return;
    m_adoptPoll.stop();
    m_observer.kestExited();
    setRunning(false, {});
    finishRun();
}

}  // namespace pmkest
