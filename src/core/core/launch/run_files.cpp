#include <QDateTime>
#include <QFileInfo>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/launch/kest_run.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/files/regular_file.h"
#include "platform/stop_points.h"

// The files of a run: kest.ini put back, KEST's result copied back into the project, the
// versions kept aside.

namespace pmkest {

namespace {

std::string ResPath(const RunJournal& run) {
    return FolderPart(run.kestIni) + "kest.res";
}

}  // namespace

bool KestRun::undoSwap(const RunJournal& run, QString& error) {
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

std::string KestRun::keepBackup(const std::string& file, const std::vector<std::string>& others,
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

bool KestRun::copyBack(const RunJournal& run, const std::string& journalPath, std::string& backup,
                       const QString& lead) {
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
            showError(
                Tr(UiText::BackupFailed, language).arg(ToFsPath(settings), ToFsPath(ini), error));
            return false;
        }
    }
    if (!now || DigestOfFile(ini) != now) {
        const Status copied = CopyFileData(ini, settings, language);
        if (!copied) {
            const QString failed = Tr(UiText::CopyBackFailed, language)
                                       .arg(ToFsPath(ini), ToFsPath(settings), copied.error()) +
                                   QStringLiteral("\n\n") + Tr(UiText::CopyBackWhatNext, language);
            showError(lead.isEmpty() ? failed : lead + QStringLiteral("\n\n") + failed);
            return false;
        }
    }
    PassStopPoint("copied-back");
    QFile::remove(ToFsPath(journalPath));
    return true;
}

void KestRun::putAside(const std::string& journalPath, const RunJournal& run, bool damaged,
                       QString text) {
    const Language language = m_state.language;
    const std::string aside =
        AsidePathFor(journalPath, QDateTime::currentDateTime(), damaged ? "damaged" : "declined");
    // Renamed, never copied: a journal that cannot be renamed stays as it is.
    const FileFault renamed = RenameEntry(ToFsPath(journalPath), ToFsPath(aside));
    if (!renamed.failed())
        text += QLatin1Char('\n') + Tr(UiText::MovedAside, language).arg(ToFsPath(aside));
    else
        text += QLatin1Char('\n') + FileFaultText(ToFsPath(journalPath), renamed, language);
    // kest.ini may hold the only copy of that run's result: the next start moves it to kest.res
    // and the one after overwrites it.
    const std::string& kestIni = run.kestIni;
    if (QFileInfo(ToFsPath(kestIni)).isFile()) {
        QString error;
        std::vector<std::string> others{FolderPart(kestIni) + "kest.res"};
        if (!run.settingsFile.empty()) others.push_back(run.settingsFile);
        const std::string copy = keepBackup(kestIni, others, error);
        if (!error.isEmpty())
            text += QLatin1Char('\n') + error;
        else if (!copy.empty())
            text += QLatin1Char('\n') + Tr(UiText::CopyKept, language).arg(ToFsPath(copy));
    }
    m_dialogs.showMessage(damaged ? MessageKind::Warning : MessageKind::Information,
                          Tr(UiText::TitleProgram, m_state.language), text);
}

}  // namespace pmkest
