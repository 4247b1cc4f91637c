#include "core/launch/run_recovery.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/launch/kest_start_checks.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/file_owner.h"
#include "platform/process_identity.h"
#include "platform/process_search.h"
#include "platform/regular_file.h"
#include "platform/stop_points.h"
#include "platform/termination_signals.h"

namespace pmkest {

namespace {

constexpr int kAdoptPollMs = 250;
constexpr qint64 kJournalLimit = 64 * 1024;  // a real one is a few hundred bytes

QString Shown(const std::string& path) {
    return ToFsPath(path);
}

std::string ResPath(const RunJournal& run) {
    return FolderPart(run.kestIni) + "kest.res";
}

// The temporaries of writers that were killed during this run's copies.
void RemoveDebris(const std::string& journalPath, const std::string& kestIni,
                  const std::string& settingsFile) {
    for (const std::string& file :
         {journalPath, kestIni, FolderPart(kestIni) + "kest.res", settingsFile})
        if (!file.empty()) RemoveLeftTemporaries(Shown(file));
}

// Only a journal that is the user's alone is acted on: anyone else could have written any other.
bool IsUsersOwnJournal(const std::string& path, QString& owner) {
    const EntryOwner entry = OwnerOf(Shown(path));
    owner = entry.owner;
    return entry.exists && !entry.link && !entry.hardLinked && entry.ownedByUser &&
           !entry.othersMayWrite;
}

ProcessMark MarkOf(const RunJournal& run) {
    return {QLatin1String(RunRecovery::kMarkVariable), run.kestMark, run.kestSince,
            run.kestProgram};
}

}  // namespace

RunRecovery::RunRecovery(AppState& state, UserDialogs& dialogs, Hooks hooks, QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_hooks(std::move(hooks)) {
    m_adoptPoll.setInterval(kAdoptPollMs);
    connect(&m_adoptPoll, &QTimer::timeout, this, &RunRecovery::pollAdopted);
}

void RunRecovery::showError(const QString& text) {
    m_dialogs.reportError(m_state.language, text);
}

void RunRecovery::inform(const QString& text) {
    m_dialogs.showMessage(MessageKind::Information, Tr(UiText::TitleProgram, m_state.language),
                          text);
}

Status RunRecovery::record(RunPhase phase, bool durable) {
    m_run->phase = phase;
    const QByteArray text = ComposeRunJournal(*m_run);
    NewFileAccess access;
    access.ownerWritesOnly = true;  // a journal others could write would not be trusted
    return WriteFileAtomic(m_journalPath, std::string_view(text.constData(), size_t(text.size())),
                           m_state.language,
                           durable ? Durability::Durable : Durability::UntilReboot, access);
}

QString RunRecovery::BeginRun(const std::string& projectFile, const std::string& settingsFile,
                              const std::string& kestIni) {
    const Language language = m_state.language;
    RunJournal run;
    for (const auto& [file, digest] :
         {std::pair{&settingsFile, &run.settingsDigest}, std::pair{&kestIni, &run.iniDigest}}) {
        FileFault fault;
        const std::optional<FileDigest> read = DigestOfFile(*file, &fault);
        if (!read)
            return Tr(UiText::SwapFailed, language)
                .arg(Shown(settingsFile), Shown(kestIni),
                     FileFaultText(Shown(*file), fault, language));
        *digest = *read;
    }
    run.projectFile = projectFile;
    run.settingsFile = settingsFile;
    run.kestIni = kestIni;
    run.started = QDateTime::currentDateTimeUtc();
    run.managerPid = QCoreApplication::applicationPid();
    run.managerIdentity = ProcessIdentity(run.managerPid);
    m_run = std::move(run);
    m_journalPath = FolderPart(kestIni) + kJournalFileName;
    const Status written = record(RunPhase::Begun);
    if (!written) {
        m_run.reset();
        return Tr(UiText::JournalNotWritten, language).arg(Shown(m_journalPath), written.error());
    }
    PassStopPoint("journal-begun");
    return {};
}

QString RunRecovery::KestStarting(const QString& program, QString& mark) {
    if (!m_run) return {};
    m_run->kestProgram = program;
    m_run->kestMark = QString::number(QRandomGenerator::system()->generate64(), 16);
    m_run->kestSince = ProcessClockNow();
    const Status written = record(RunPhase::Swapped);
    if (!written) {
        const QString text = Tr(UiText::JournalNotWritten, m_state.language)
                                 .arg(Shown(m_journalPath), written.error());
        m_run->phase = RunPhase::Begun;
        AbandonRun();
        return text;
    }
    mark = m_run->kestMark;
    PassStopPoint("swapped");
    return {};
}

void RunRecovery::KestStarted(qint64 pid) {
    if (!m_run || adopting()) return;
    const QString identity = ProcessIdentity(pid);
    if (identity.isEmpty()) return;  // already gone: nothing to adopt later
    m_run->kestPid = pid;
    m_run->kestIdentity = identity;
    // Only of use while this boot lasts, so it does not wait for the disk; should it be lost,
    // a later start still finds KEST by its mark.
    static_cast<void>(record(RunPhase::Running, false));
    PassStopPoint("running");
}

void RunRecovery::KestEnded(int exitCode) {
    if (!m_run || adopting()) return;
    m_run->kestExit = exitCode;
    // Without it a later start would ask instead of copying back; the copy back itself follows.
    static_cast<void>(record(RunPhase::Ended));
    PassStopPoint("kest-ended");
}

void RunRecovery::AbandonRun() {
    if (!m_run) return;
    QString error;
    if (undoSwap(*m_run, error))
        QFile::remove(Shown(m_journalPath));
    else if (!error.isEmpty())
        showError(error);  // the journal stays, so the next start puts kest.ini back
    m_run.reset();
}

void RunRecovery::FinishRun() {
    if (!m_run) return;
    const RunJournal run = *m_run;
    m_run.reset();
    std::string backup;
    if (copyBack(run, m_journalPath, backup) && !backup.empty())
        m_dialogs.showMessage(MessageKind::Warning, Tr(UiText::TitleProgram, m_state.language),
                              Tr(UiText::ChangedDuringRun, m_state.language)
                                  .arg(Shown(run.settingsFile), Shown(backup)));
}

bool RunRecovery::undoSwap(const RunJournal& run, QString& error) {
    const std::optional<FileDigest> ini = DigestOfFile(run.kestIni);
    if (ini && *ini == run.iniDigest) return true;  // the swap never replaced it
    const std::string res = ResPath(run);
    if (!ini || *ini != run.settingsDigest || DigestOfFile(res) != run.iniDigest) return false;
    const Status copied = CopyFileData(res, run.kestIni, m_state.language);
    if (!copied) {
        error = copied.error();
        return false;
    }
    return true;
}

std::string RunRecovery::keepBackup(const std::string& file, const std::vector<std::string>& others,
                                    QString& error) {
    const std::optional<FileDigest> digest = DigestOfFile(file);
    if (!digest) return {};
    for (const std::string& other : others)
        if (DigestOfFile(other) == digest) return {};
    for (const std::string& earlier : BackupsOf(file))
        if (DigestOfFile(earlier) == digest) return {};
    const std::string backup = AsidePathFor(file, QDateTime::currentDateTime(), "bak");
    const Status copied = CopyFileData(file, backup, m_state.language, CopyKind::Backup);
    if (!copied) {
        error = copied.error();
        return {};
    }
    PruneBackups(file, 10, backup);
    return backup;
}

bool RunRecovery::copyBack(const RunJournal& run, const std::string& journalPath,
                           std::string& backup, const QString& lead) {
    const Language language = m_state.language;
    const std::string& ini = run.kestIni;
    const std::string& settings = run.settingsFile;
    const std::optional<FileDigest> now = DigestOfFile(settings);
    // The version the run swapped in is KEST's to replace; only what something else wrote
    // meanwhile is kept, and only when its bytes are nowhere else.
    if (now && *now != run.settingsDigest && DigestOfFile(ini) != now) {
        QString error;
        backup = keepBackup(settings, {ini, ResPath(run)}, error);
        if (!error.isEmpty()) {
            showError(Tr(UiText::BackupFailed, language).arg(Shown(settings), Shown(ini), error));
            return false;
        }
    }
    if (!now || DigestOfFile(ini) != now) {
        const Status copied = CopyFileData(ini, settings, language);
        if (!copied) {
            const QString failed = Tr(UiText::CopyBackFailed, language)
                                       .arg(Shown(ini), Shown(settings), copied.error());
            showError(lead.isEmpty() ? failed : lead + QStringLiteral("\n\n") + failed);
            return false;
        }
    }
    PassStopPoint("copied-back");
    QFile::remove(Shown(journalPath));
    return true;
}

void RunRecovery::putAside(const std::string& journalPath, const RunJournal& run, bool damaged,
                           QString text) {
    const Language language = m_state.language;
    const std::string aside =
        AsidePathFor(journalPath, QDateTime::currentDateTime(), damaged ? "damaged" : "declined");
    // Renamed, never copied: a journal that cannot be renamed stays as it is.
    const FileFault renamed = RenameEntry(Shown(journalPath), Shown(aside));
    if (!renamed.failed())
        text += QLatin1Char('\n') +
                Tr(UiText::MovedAside, language).arg(Shown(journalPath), Shown(aside));
    else
        text += QLatin1Char('\n') + FileFaultText(Shown(journalPath), renamed, language);
    // kest.ini may hold the only copy of that run's result: the next start moves it to kest.res
    // and the one after overwrites it.
    const std::string& kestIni = run.kestIni;
    if (QFileInfo(Shown(kestIni)).isFile()) {
        QString error;
        std::vector<std::string> others{FolderPart(kestIni) + "kest.res"};
        if (!run.settingsFile.empty()) others.push_back(run.settingsFile);
        const std::string copy = keepBackup(kestIni, others, error);
        if (!error.isEmpty())
            text += QLatin1Char('\n') + error;
        else if (!copy.empty())
            text +=
                QLatin1Char('\n') + Tr(UiText::CopyKept, language).arg(Shown(kestIni), Shown(copy));
    }
    m_dialogs.showMessage(damaged ? MessageKind::Warning : MessageKind::Information,
                          Tr(UiText::TitleProgram, m_state.language), text);
}

void RunRecovery::adopt(const RunJournal& run, const std::string& journalPath) {
    m_run = run;
    m_journalPath = journalPath;
    m_adoptPoll.start();  // first: the hook asks whether this run is adopted
    m_hooks.setRunning(true, run.settingsFile);
}

void RunRecovery::EndAdoptedRun() {
    if (!adopting() || !m_run) return;
    EndIdentifiedProcess(m_run->kestPid, m_run->kestIdentity);
    m_adoptPoll.stop();
    m_hooks.setRunning(false, {});
    // Not counted, as a run of its own ended by closing is not: the settings are written.
    FinishRun();
}

std::optional<RunJournal> RunRecovery::OtherManagersRun() const {
    if (m_run || m_state.kestIniFolder.empty()) return std::nullopt;
    const std::string folder = KestIniFolderInUse(m_state.kestIniFolder);
    const std::string path = folder + kJournalFileName;
    QString owner;
    if (!IsUsersOwnJournal(path, owner)) return std::nullopt;
    QByteArray text;
    if (ReadRegularFile(Shown(path), kJournalLimit, text, SharedFolderRule::OwnFilesOnly).failed())
        return std::nullopt;
    const ParsedJournal parsed = ParseRunJournal(text, folder + "kest.ini");
    const RunJournal& run = parsed.journal;
    if (parsed.fault != JournalFault::None || run.managerIdentity.isEmpty() ||
        run.managerPid == QCoreApplication::applicationPid() ||
        ProcessIdentity(run.managerPid) != run.managerIdentity)
        return std::nullopt;
    return run;
}

bool RunRecovery::FinishInterruptedRun(bool quietAboutOthers) {
    if (m_run) return false;  // a run is going on
    // Another manager on this kest.ini (another session, another user) still runs its KEST:
    // that run is not interrupted, and it is that manager's to finish.
    if (const std::optional<RunJournal> other = OtherManagersRun()) {
        if (!quietAboutOthers)
            showError(Tr(UiText::OtherManagersRun, m_state.language)
                          .arg(Shown(other->projectFile), QString::number(other->managerPid),
                               other->started.toLocalTime().toString(
                                   QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        return false;
    }
    if (m_state.kestIniFolder.empty()) return true;
    const std::string folder = KestIniFolderInUse(m_state.kestIniFolder);
    const Language language = m_state.language;
    const std::string path = folder + kJournalFileName;
    const std::string ini = folder + "kest.ini";
    const QFileInfo info(Shown(path));
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
        putAside(path, run, true, Tr(UiText::JournalUnusable, language).arg(Shown(path), reason));
        return false;
    };
    // Never a pipe or a device: reading it could block.
    QByteArray text;
    const FileFault fault =
        ReadRegularFile(Shown(path), kJournalLimit, text, SharedFolderRule::OwnFilesOnly);
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
                            Tr(UiText::JournalForeignKestIni, language).arg(Shown(run.kestIni)));
        case JournalFault::NoSettingsFile:
            return unusable(
                unknown, Tr(UiText::JournalNoSettingsFile, language).arg(Shown(run.settingsFile)));
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
            QFile::remove(Shown(path));
            inform(Tr(UiText::StartInterrupted, language).arg(Shown(run.projectFile)));
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
            m_hooks.countRun();
            QString done = Tr(UiText::RunRecovered, language).arg(Shown(run.settingsFile));
            if (!backup.empty())
                done += QLatin1Char('\n') + Tr(UiText::BackupKept, language).arg(Shown(backup));
            inform(done);
            return true;
        }
    }

    // KEST is gone. If it changed nothing there is nothing to bring back and nothing to ask.
    const std::optional<FileDigest> result = DigestOfFile(run.kestIni);
    if (result && result == DigestOfFile(run.settingsFile)) {
        QFile::remove(Shown(path));
        m_hooks.countRun();
        inform(Tr(UiText::RunUnchanged, language)
                   .arg(Shown(run.projectFile), Shown(run.settingsFile)));
        return true;
    }

    const QString when = run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString question =
        Tr(UiText::RunInterrupted, language)
            .arg(Shown(run.projectFile), when, Shown(run.kestIni), Shown(run.settingsFile));
    if (!m_dialogs.askYesNoDefaultYes(Tr(UiText::TitleProgram, m_state.language), question)) {
        // Dismissed by the end of the program, not by the user: the next start asks again.
        if (TerminationSignals::received()) return false;
        putAside(path, run, false,
                 Tr(UiText::NothingCopied, language).arg(Shown(run.settingsFile)));
        return true;
    }
    std::string backup;
    if (!copyBack(run, path, backup)) return false;
    m_hooks.countRun();
    QString done = Tr(UiText::RunRecovered, language).arg(Shown(run.settingsFile));
    if (!backup.empty())
        done += QLatin1Char('\n') + Tr(UiText::BackupKept, language).arg(Shown(backup));
    inform(done);
    return true;
}

bool RunRecovery::setAsideOthersJournal(const std::string& path, const QString& owner) {
    const Language language = m_state.language;
    if (!m_dialogs.askYesNo(Tr(UiText::TitleProgram, language),
                            Tr(UiText::JournalNotUsersOwn, language).arg(Shown(path), owner)) ||
        TerminationSignals::received())
        return false;
    const std::string aside = AsidePathFor(path, QDateTime::currentDateTime(), "foreign");
    const FileFault renamed = RenameEntry(Shown(path), Shown(aside));
    if (renamed.failed()) {
        showError(Tr(UiText::JournalNotSetAside, language)
                      .arg(Shown(path), FileFaultText(Shown(path), renamed, language)));
        return false;
    }
    return true;
}

void RunRecovery::pollAdopted() {
    if (!m_run || ProcessIdentity(m_run->kestPid) == m_run->kestIdentity) return;
    m_adoptPoll.stop();
    m_hooks.setRunning(false, {});
    m_hooks.countRun();
    FinishRun();
}

}  // namespace pmkest
