#include "core/launch/run_recovery.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/process_identity.h"
#include "platform/regular_file.h"
#include "platform/termination_signals.h"

namespace pmkest {

namespace {

constexpr int kAdoptPollMs = 250;
constexpr qint64 kJournalLimit = 64 * 1024;  // a real one is a few hundred bytes

QString Shown(const std::string& path) {
    return ToFsPath(path);
}

Status WriteJournal(const std::string& path, const RunJournal& run, Language language,
                    Durability durability = Durability::Durable) {
    const QByteArray text = ComposeRunJournal(run);
    return WriteFileAtomic(path, std::string_view(text.constData(), size_t(text.size())), language,
                           durability);
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

QString RunRecovery::BeginRun(const std::string& projectFile, const std::string& settingsFile,
                              const std::string& kestIni) {
    const Language language = m_state.language;
    FileFault fault;
    const std::optional<FileDigest> digest = DigestOfFile(settingsFile, &fault);
    if (!digest)
        return Tr(UiText::SwapFailed, language)
            .arg(Shown(settingsFile), Shown(kestIni),
                 FileFaultText(Shown(settingsFile), fault, language));
    RunJournal run;
    run.projectFile = projectFile;
    run.settingsFile = settingsFile;
    run.kestIni = kestIni;
    run.settingsDigest = *digest;
    run.started = QDateTime::currentDateTimeUtc();
    run.managerPid = QCoreApplication::applicationPid();
    const std::string path = FolderPart(kestIni) + kJournalFileName;
    const Status written = WriteJournal(path, run, language);
    if (!written) return Tr(UiText::JournalNotWritten, language).arg(Shown(path), written.error());
    m_run = std::move(run);
    m_journalPath = path;
    return {};
}

void RunRecovery::KestStarted(qint64 pid) {
    if (!m_run || adopting()) return;
    const QString identity = ProcessIdentity(pid);
    if (identity.isEmpty()) return;  // already gone: nothing to adopt later
    m_run->kestPid = pid;
    m_run->kestIdentity = identity;
    // Only of use while this boot lasts, so it does not wait for the disk. Without it a later
    // start asks instead of adopting; the run itself is not at risk.
    static_cast<void>(
        WriteJournal(m_journalPath, *m_run, m_state.language, Durability::UntilReboot));
}

void RunRecovery::AbandonRun() {
    if (!m_run) return;
    QFile::remove(Shown(m_journalPath));
    m_run.reset();
}

void RunRecovery::FinishRun() {
    if (!m_run) return;
    std::string backup;
    copyBack(*m_run, m_journalPath, false, backup);
    m_run.reset();
}

bool RunRecovery::copyBack(const RunJournal& run, const std::string& journalPath, bool recovery,
                           std::string& backup) {
    const Language language = m_state.language;
    const std::string& ini = run.kestIni;
    const std::string& settings = run.settingsFile;
    const std::optional<FileDigest> now = DigestOfFile(settings);
    bool keep = false;
    if (now) {
        // A normal run keeps only what someone else wrote during it; a recovery keeps any
        // version that the copy would replace.
        if (recovery)
            keep = DigestOfFile(ini) != now;
        else
            keep = *now != run.settingsDigest;
    }
    if (keep) {
        backup = AsidePathFor(settings, QDateTime::currentDateTime(), "bak");
        const Status copied = CopyFileData(settings, backup, language);
        if (!copied) {
            showError(Tr(UiText::BackupFailed, language)
                          .arg(Shown(settings), Shown(ini), copied.error()));
            backup.clear();
            return false;
        }
    }
    const Status copied = CopyFileData(ini, settings, language);
    if (!copied) {
        showError(
            Tr(UiText::CopyBackFailed, language).arg(Shown(ini), Shown(settings), copied.error()));
        return false;
    }
    QFile::remove(Shown(journalPath));
    if (keep && !recovery)
        m_dialogs.showMessage(
            MessageKind::Warning, Tr(UiText::TitleProgram, m_state.language),
            Tr(UiText::ChangedDuringRun, language).arg(Shown(settings), Shown(backup)));
    return true;
}

void RunRecovery::putAside(const std::string& journalPath, const std::string& kestIni, bool damaged,
                           QString text) {
    const Language language = m_state.language;
    const QDateTime now = QDateTime::currentDateTime();
    const std::string aside = AsidePathFor(journalPath, now, damaged ? "damaged" : "declined");
    QFile journal(Shown(journalPath));
    if (journal.rename(Shown(aside)))
        text += QLatin1Char('\n') +
                Tr(UiText::MovedAside, language).arg(Shown(journalPath), Shown(aside));
    else
        text += QStringLiteral("\n%1: %2").arg(Shown(journalPath), journal.errorString());
    // kest.ini may hold the only copy of that run's result: the next start moves it to kest.res
    // and the one after overwrites it.
    if (QFileInfo(Shown(kestIni)).isFile()) {
        const std::string copy = AsidePathFor(kestIni, now, "bak");
        const Status copied = CopyFileData(kestIni, copy, language);
        text += QLatin1Char('\n') +
                (copied ? Tr(UiText::CopyKept, language).arg(Shown(kestIni), Shown(copy))
                        : copied.error());
    }
    m_dialogs.showMessage(damaged ? MessageKind::Warning : MessageKind::Information,
                          Tr(UiText::TitleProgram, m_state.language), text);
}

bool RunRecovery::FinishInterruptedRun() {
    if (m_run) return false;  // a run is going on
    if (m_state.kestIniFolder.empty()) return true;
    const Language language = m_state.language;
    const std::string path = m_state.kestIniFolder + kJournalFileName;
    const std::string ini = m_state.kestIniFolder + "kest.ini";
    const QFileInfo info(Shown(path));
    if (!info.exists() && !info.isSymLink()) return true;

    auto unusable = [&](const QString& reason) {
        putAside(path, ini, true, Tr(UiText::JournalUnusable, language).arg(Shown(path), reason));
        return false;
    };
    // Never a pipe or a device: reading it could block.
    QByteArray text;
    const FileFault fault = ReadRegularFile(Shown(path), kJournalLimit, text);
    if (fault.kind == FileFault::Kind::System)
        return unusable(Tr(UiText::JournalUnreadable, language).arg(fault.reason));
    if (fault.failed()) return unusable(Tr(UiText::JournalDamaged, language));

    const ParsedJournal parsed = ParseRunJournal(text, ini);
    const RunJournal& run = parsed.journal;
    switch (parsed.fault) {
        case JournalFault::None:
            break;
        case JournalFault::Damaged:
            return unusable(Tr(UiText::JournalDamaged, language));
        case JournalFault::OtherVersion:
            return unusable(Tr(UiText::JournalOtherVersion, language));
        case JournalFault::ForeignKestIni:
            return unusable(Tr(UiText::JournalForeignKestIni, language).arg(Shown(run.kestIni)));
        case JournalFault::NoSettingsFile:
            return unusable(
                Tr(UiText::JournalNoSettingsFile, language).arg(Shown(run.settingsFile)));
    }

    // The same process, not just the same number: ids are handed out again.
    if (run.kestPid > 0 && ProcessIdentity(run.kestPid) == run.kestIdentity) {
        m_run = run;
        m_journalPath = path;
        m_hooks.setRunning(true, run.settingsFile);
        m_adoptPoll.start();
        return false;
    }

    // KEST ended without changing anything: nothing to bring back, nothing to ask.
    const std::optional<FileDigest> result = DigestOfFile(run.kestIni);
    if (result && result == DigestOfFile(run.settingsFile)) {
        QFile::remove(Shown(path));
        m_hooks.countRun();
        return true;
    }

    const QString when = run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString question =
        Tr(UiText::RunInterrupted, language)
            .arg(Shown(run.projectFile), when, Shown(run.kestIni), Shown(run.settingsFile));
    if (!m_dialogs.askYesNoDefaultYes(Tr(UiText::TitleProgram, m_state.language), question)) {
        // Dismissed by the end of the program, not by the user: the next start asks again.
        if (TerminationSignals::received()) return false;
        putAside(path, run.kestIni, false,
                 Tr(UiText::NothingCopied, language).arg(Shown(run.settingsFile)));
        return true;
    }
    std::string backup;
    if (!copyBack(run, path, true, backup)) return false;
    m_hooks.countRun();
    QString done = Tr(UiText::RunRecovered, language).arg(Shown(run.settingsFile));
    if (!backup.empty())
        done += QLatin1Char('\n') + Tr(UiText::BackupKept, language).arg(Shown(backup));
    m_dialogs.showMessage(MessageKind::Information, Tr(UiText::TitleProgram, m_state.language),
                          done);
    return true;
}

void RunRecovery::pollAdopted() {
    if (!m_run || ProcessIdentity(m_run->kestPid) == m_run->kestIdentity) return;
    m_adoptPoll.stop();
    const RunJournal run = *m_run;
    m_run.reset();
    m_hooks.setRunning(false, {});
    std::string backup;
    copyBack(run, m_journalPath, false, backup);
    m_hooks.countRun();
}

}  // namespace pmkest
