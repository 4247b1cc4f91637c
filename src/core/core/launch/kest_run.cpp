#include "core/launch/kest_run.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/launch/kest_start_checks.h"
#include "core/project/project_files.h"
#include "core/project/settings_trust.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "core/wine/kest_under_wine.h"
#include "platform/path_rules.h"
#include "platform/process/kest_process.h"
#include "platform/process/process_identity.h"
#include "platform/process/process_search.h"
#include "platform/process/termination_signals.h"
#include "platform/stop_points.h"

namespace pmkest {

namespace {

constexpr int kAdoptPollMs = 250;

}  // namespace

KestRun::KestRun(AppState& state, UserDialogs& dialogs, RunObserver& observer, QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_observer(observer) {
    m_adoptPoll.setInterval(kAdoptPollMs);
    connect(&m_adoptPoll, &QTimer::timeout, this, &KestRun::pollAdopted);
}

KestRun::~KestRun() = default;

void KestRun::showError(const QString& text) {
    m_dialogs.reportError(m_state.language, text);
}

void KestRun::inform(const QString& text) {
    m_dialogs.showMessage(MessageKind::Information, Tr(UiText::TitleProgram, m_state.language),
                          text);
}

bool KestRun::checkKestPaths() {
    if (m_state.kestFolder.empty() || !FileExists(m_state.kestFolder + "kest.exe")) {
        RaiseMessage(m_state.messages, Message::NoKestPath, m_dialogs);
        return false;
    }
    const std::string ini = m_state.kestIniFolder + "kest.ini";
    // A folder of that name is not "no path": say what stands there.
    if (!m_state.kestIniFolder.empty() && PathExists(ini) && !FileExists(ini)) {
        showError(
            FileFaultText(ToFsPath(ini), {FileFault::Kind::Folder, {}, {}}, m_state.language));
        return false;
    }
    if (m_state.kestIniFolder.empty() || !FileExists(ini)) {
        RaiseMessage(m_state.messages, Message::NoKestIniPath, m_dialogs);
        return false;
    }
    return true;
}

void KestRun::start(bool hide) {
    // A second start must never swap files under a run.
    if (m_running || !checkKestPaths()) return;
    // kest.ini may still hold the result of a run that was cut short: that comes first.
    if (!resume()) return;
    const std::optional<Plan> plan = checkStart();
    if (!plan || !beginRun(*plan) || !swap(*plan)) return;
    QProcessEnvironment environment;
    if (!markRun(*plan, environment)) return;

    m_running = true;
    m_endRequested = false;
    m_runningSettings = plan->settings;
    m_observer.runningChanged(true);
    if (!plan->status.isEmpty()) m_observer.showRunStatus(plan->status);
    // Making a new prefix keeps Wine busy for a while before KEST shows: say so.
    if (plan->preparingPrefix)
        m_observer.preparingPrefix(plan->command.environment.value(QStringLiteral("WINEPREFIX")));
    const bool ok = runAndWait(*plan, environment, hide);
    kestEnded(m_exitCode);
    const bool ended = m_endRequested;
    if (!ok && !ended)
        m_dialogs.showMessage(MessageKind::Plain,
                              m_exitCode > 0
                                  ? Tr(UiText::ExitCodeTitle, m_state.language).arg(m_exitCode)
                                  : Tr(UiText::TitleProgram, m_state.language),
                              Tr(UiText::KestProblems, m_state.language));
    m_observer.runningChanged(false);
    if (!plan->status.isEmpty()) m_observer.showRunStatus({});
    finishRun();
    m_running = false;
    m_endRequested = false;
    m_runningSettings.clear();
    // The settings were written when the window closed.
    if (ended) QCoreApplication::quit();
}

std::optional<KestRun::Plan> KestRun::checkStart() {
    TProject& project = m_state.project;
    const Language language = m_state.language;
    // No project chosen yet: say so instead of an I/O error about an empty name.
    if (project.ProjectFile.empty()) {
        RaiseMessage(m_state.messages, Message::NoProjectName, m_dialogs);
        return std::nullopt;
    }
    const Expected<std::optional<std::string>> first =
        ReadProjectFileLine(project.ProjectFile, language);
    if (!first) {
        showError(first.error());
        return std::nullopt;
    }
    if (*first) project.SettingsFile = **first;
    // The status bar names the file the run actually uses, whatever the project is called.
    m_observer.showSettingsFile(ToFsPath(project.SettingsFile));
    // A folder or a device in its place is named by the swap's message.
    if (!PathExists(project.SettingsFile)) {
        RaiseMessage(m_state.messages, Message::AlternateIniNotFound, m_dialogs);
        return std::nullopt;
    }
    if (!SettingsFileAgreed(m_state, m_dialogs, project.ProjectFile, project.SettingsFile))
        return std::nullopt;

    // Fixed for this run: commands that change the current project meanwhile do not move them.
    // KEST in a protected folder reads the kest.ini its earlier writes left in the user's store.
    Plan plan;
    plan.projectFile = project.ProjectFile;
    plan.settings = project.SettingsFile;
    plan.iniFolder = KestIniFolderInUse(m_state.kestIniFolder);
    plan.ini = plan.iniFolder + "kest.ini";
    plan.res = plan.iniFolder + "kest.res";
    plan.command = KestCommandFor(m_state.kestFolder);
    if (const QString problem = PrepareKestUnderWine(m_state, plan.command, plan.preparingPrefix);
        !problem.isEmpty()) {
        showError(problem);
        return std::nullopt;
    }
    // An ANSI KEST sees a name its code page cannot hold as question marks.
    if (const auto unreadable = PathKestCannotRead(
            {m_state.kestFolder, plan.iniFolder, plan.settings, FolderPart(plan.projectFile)},
            AnsiCodePage())) {
        showError(Tr(UiText::AnsiCodePageNot1251, language)
                      .arg(ToFsPath(*unreadable), QString::number(AnsiCodePage())));
        return std::nullopt;
    }
    if (const auto tooLong = PathTooLongForKest(
            {plan.ini, plan.settings, plan.projectFile, m_state.kestFolder + "kest.exe"},
            kKestPathLimit)) {
        showError(Tr(UiText::PathTooLongForKest, language)
                      .arg(ToFsPath(*tooLong), QString::number(tooLong->size()),
                           QString::number(kKestPathLimit)));
        return std::nullopt;
    }
    // The result must be able to go back into the project before KEST is given it: a folder
    // that refuses a new version of the settings file would only be found after the run.
    if (const Status replaceable = CheckReplaceable(plan.settings, language); !replaceable) {
        showError(Tr(UiText::ResultCannotGoBack, language)
                      .arg(ToFsPath(plan.settings), replaceable.error()));
        return std::nullopt;
    }
    // The program is being ended (a box before this was dismissed by it): nothing is swapped.
    if (TerminationSignals::received()) return std::nullopt;
    // The status bar says which Wine and prefix this run uses, or which kest.ini when it is
    // not the one the manager was told of, for as long as it runs.
    plan.status = !plan.command.environment.isEmpty()
                      ? Tr(UiText::WineInUse, language)
                            .arg(plan.command.program,
                                 plan.command.environment.value(QStringLiteral("WINEPREFIX")))
                  : plan.iniFolder != m_state.kestIniFolder
                      ? Tr(UiText::KestIniInStore, language).arg(ToFsPath(plan.ini))
                      : QString();
    return plan;
}

Status KestRun::record(RunPhase phase, bool durable) {
    m_run->phase = phase;
    const QByteArray text = ComposeRunJournal(*m_run);
    NewFileAccess access;
    access.ownerWritesOnly = true;  // a journal others could write would not be trusted
    return WriteFileAtomic(m_journalPath, std::string_view(text.constData(), size_t(text.size())),
                           m_state.language,
                           durable ? Durability::Durable : Durability::UntilReboot, access);
}

bool KestRun::beginRun(const Plan& plan) {
    const Language language = m_state.language;
    RunJournal run;
    for (const auto& [file, digest] :
         {std::pair{&plan.settings, &run.settingsDigest}, std::pair{&plan.ini, &run.iniDigest}}) {
        FileFault fault;
        const std::optional<FileDigest> read = DigestOfFile(*file, &fault);
        if (!read) {
            showError(Tr(UiText::SwapFailed, language)
                          .arg(ToFsPath(plan.settings), ToFsPath(plan.ini),
                               FileFaultText(ToFsPath(*file), fault, language)));
            return false;
        }
        *digest = *read;
    }
    run.projectFile = plan.projectFile;
    run.settingsFile = plan.settings;
    run.kestIni = plan.ini;
    run.started = QDateTime::currentDateTimeUtc();
    run.managerPid = QCoreApplication::applicationPid();
    run.managerIdentity = ProcessIdentity(run.managerPid);
    m_run = std::move(run);
    m_journalPath = plan.iniFolder + kJournalFileName;
    // Written before anything is swapped, so a manager ended during the run loses nothing.
    const Status written = record(RunPhase::Begun);
    if (!written) {
        m_run.reset();
        showError(
            Tr(UiText::JournalNotWritten, language).arg(ToFsPath(m_journalPath), written.error()));
        return false;
    }
    PassStopPoint("journal-begun");
    return true;
}

bool KestRun::swap(const Plan& plan) {
    // KEST must not run on the wrong settings: a failed swap stops the start.
    for (const auto& [from, to] :
         {std::pair{plan.ini, plan.res}, std::pair{plan.settings, plan.ini}}) {
        const Status copied = CopyFileData(from, to, m_state.language);
        if (!copied) {
            abandonRun();
            showError(Tr(UiText::SwapFailed, m_state.language)
                          .arg(ToFsPath(from), ToFsPath(to), copied.error()));
            return false;
        }
    }
    PassStopPoint("swap-copied");
    return true;
}

bool KestRun::markRun(const Plan& plan, QProcessEnvironment& environment) {
    // KEST carries the run's mark, so that it can be found should the manager end before it
    // has noted KEST's id.
    m_run->kestProgram = plan.command.program;
    m_run->kestMark = QString::number(QRandomGenerator::system()->generate64(), 16);
    m_run->kestSince = ProcessClockNow();
    const Status written = record(RunPhase::Swapped);
    if (!written) {
        m_run->phase = RunPhase::Begun;
        abandonRun();
        showError(Tr(UiText::JournalNotWritten, m_state.language)
                      .arg(ToFsPath(m_journalPath), written.error()));
        return false;
    }
    PassStopPoint("swapped");
    environment = plan.command.environment.isEmpty() ? QProcessEnvironment::systemEnvironment()
                                                     : plan.command.environment;
    environment.insert(QLatin1String(kMarkVariable), m_run->kestMark);
    return true;
}

bool KestRun::runAndWait(const Plan& plan, const QProcessEnvironment& environment, bool hide) {
    m_exitCode = -1;
    QProcess process;
    m_process = &process;
    const auto forget = qScopeGuard([this] { m_process = nullptr; });
    process.setProcessEnvironment(environment);
    connect(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this] { m_observer.kestExited(); });
    PrepareKestProcess(process);
    process.start(plan.command.program, plan.command.arguments);
    const bool started = process.waitForStarted(-1);
    if (started) {
        PassStopPoint("kest-started");
        // Counted once, when KEST has started: not for a start that stopped before, nor for
        // the copy back of a run cut short.
        countRun();
        kestStarted(process.processId());
        m_observer.kestHasStarted(hide);
        // Hidden, no window messages are let in, only a termination request, which ends KEST
        // as closing the window would.
        while (!process.waitForFinished(100)) {
            if (process.state() == QProcess::NotRunning) break;
            if (!hide)
                QCoreApplication::processEvents();
            else if (TerminationSignals::pending())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (m_endRequested) {
                EndKestProcess(process);
                break;
            }
        }
    }
    m_observer.kestHasEnded(hide && !m_endRequested);
    if (!started || process.exitStatus() != QProcess::NormalExit) return false;
    m_exitCode = process.exitCode();
    return m_exitCode == 0;
}

void KestRun::kestStarted(qint64 pid) {
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

void KestRun::kestEnded(int exitCode) {
    if (!m_run || adopting()) return;
    m_run->kestExit = exitCode;
    // Without it a later start would ask instead of copying back; the copy back itself follows.
    static_cast<void>(record(RunPhase::Ended));
    PassStopPoint("kest-ended");
}

void KestRun::abandonRun() {
    if (!m_run) return;
    QString error;
    if (undoSwap(*m_run, error))
        QFile::remove(ToFsPath(m_journalPath));
    else if (!error.isEmpty())
        showError(error);  // the journal stays, so the next start puts kest.ini back
    m_run.reset();
}

void KestRun::finishRun() {
    if (!m_run) return;
    const RunJournal run = *m_run;
    m_run.reset();
    std::string backup;
    if (copyBack(run, m_journalPath, backup) && !backup.empty())
        m_dialogs.showMessage(MessageKind::Warning, Tr(UiText::TitleProgram, m_state.language),
                              Tr(UiText::ChangedDuringRun, m_state.language)
                                  .arg(ToFsPath(run.settingsFile), ToFsPath(backup)));
}

void KestRun::endRunNow() {
    m_endRequested = true;
    if (!m_process) return;
    EndKestProcess(*m_process);
    m_process->waitForFinished(-1);
    kestEnded(m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1);
    // The start, when it goes on, finds the run finished and only quits.
    finishRun();
}

void KestRun::countRun() {
    // Wraps like the 32-bit counter it is stored as.
    m_state.launchCounter = static_cast<int32_t>(static_cast<uint32_t>(m_state.launchCounter) + 1u);
    m_observer.counted(m_state.launchCounter);
}

}  // namespace pmkest
