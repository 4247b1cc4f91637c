// Benchmarks of starting KEST. Usage: bench-kest-launch BUILD_DIR
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench_support.h"
#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/launch/run_journal.h"
#include "core/text/cp1251.h"
#include "core/user_dialogs.h"
#include "platform/process/process_identity.h"
#include "widgets/ui_state.h"
#include "windows/launch/kest_launcher.h"

using namespace Qt::StringLiterals;

using namespace pmkest;
using namespace pmkest::bench;

namespace {

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

std::string P(const QString& path) {
    return cp1251::FromQString(path).value();
}

// A KEST folder and a project whose settings file is a copy of its kest.ini; program is
// what the folder holds as "kest".
struct Bench {
    explicit Bench(const QByteArray& program) {
        QDir(dir.path()).mkpath(u"kest"_s);
        QDir(dir.path()).mkpath(u"proj"_s);
        kestDir = dir.filePath(u"kest/"_s);
        WriteFile(kestDir + u"kest"_s, program);
        QFile::setPermissions(kestDir + u"kest"_s, QFile::ReadOwner | QFile::ExeOwner);
        WriteFile(kestDir + u"kest.exe"_s, {});
        for (int i = 0; i < 60; ++i)
            ini += "Key" + QByteArray::number(i) + "=some value of KEST\r\n";
        WriteFile(kestDir + u"kest.ini"_s, ini);
        WriteFile(dir.filePath(u"proj/blink.ini"_s), ini);
        WriteFile(dir.filePath(u"proj/blink.mpm"_s),
                  dir.filePath(u"proj/blink.ini"_s).toUtf8() + "\r\n");
        state.kestFolder = P(kestDir);
        state.kestIniFolder = P(kestDir);
        state.project.ProjectFile = P(dir.filePath(u"proj/blink.mpm"_s));
        FillMessageTable(state.messages.table);
    }
    QTemporaryDir dir;
    QString kestDir;
    QByteArray ini;
    UiState state;
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

void WaitCpu(const QString& buildDir) {
    Bench bench("#!/bin/sh\nexec '" + buildDir.toUtf8() + "/kest-standin' --sleep 10000\n");
    QuietDialogs dialogs;
    KestLauncher launcher(bench.state, dialogs, LaunchView{});
    QElapsedTimer clock;
    clock.start();
    const double before = CpuMs();
    launcher.StartKest();
    const double cpu = CpuMs() - before;
    const double seconds = clock.elapsed() / 1000.0;
    if (dialogs.shown > 0 || seconds < 9) qFatal("KEST did not run its 10 s");
    std::printf("wait without hiding: %.1f ms CPU in %.1f s = %.2f ms/s (target <= 2)\n", cpu,
                seconds, cpu / seconds);
}

void LaunchCost() {
    Bench bench(ReadAll(u"/bin/true"_s));
    const QTemporaryDir& dir = bench.dir;
    const QString& kestDir = bench.kestDir;
    UiState& state = bench.state;
    QuietDialogs dialogs;
    KestLauncher launcher(state, dialogs, LaunchView{});

    const QString script = dir.filePath(u"launch.sh"_s);
    WriteFile(script, "#!/bin/sh\nk='" + kestDir.toUtf8() + "'\np='" +
                          dir.filePath(u"proj/blink.ini"_s).toUtf8() +
                          "'\ncp \"${k}kest.ini\" \"${k}kest.res\"\ncp \"$p\" \"${k}kest.ini\"\n"
                          "\"${k}kest\"\ncp \"${k}kest.ini\" \"$p\"\n");

    // The same swap, run and copy back without the run journal and the digests.
    const std::string kestIni = state.kestIniFolder + "kest.ini";
    const std::string res = state.kestIniFolder + "kest.res";
    const std::string settings = P(dir.filePath(u"proj/blink.ini"_s));
    const KestCommand kest = KestCommandFor(state.kestFolder);
    auto bareLaunch = [&] {
        Copy(kestIni, res);
        Copy(settings, kestIni);
        QProcess process;
        process.start(kest.program, kest.arguments);
        process.waitForFinished(-1);
        Copy(kestIni, settings);
    };

    // The launch as it was before the run journal recorded phases: one journal written and
    // flushed before the swap, KEST's id added afterwards without waiting for the disk.
    const std::string journal = state.kestIniFolder + kJournalFileName;
    auto previousLaunch = [&] {
        RunJournal run;
        run.projectFile = state.project.ProjectFile;
        run.settingsFile = settings;
        run.kestIni = kestIni;
        run.settingsDigest = *DigestOfFile(settings);
        run.started = QDateTime::currentDateTimeUtc();
        run.managerPid = QCoreApplication::applicationPid();
        const QByteArray text = ComposeRunJournal(run);
        if (!WriteFileAtomic(journal, std::string_view(text.constData(), size_t(text.size())),
                             Language::English))
            qFatal("journal");
        Copy(kestIni, res);
        Copy(settings, kestIni);
        QProcess process;
        process.start(kest.program, kest.arguments);
        process.waitForStarted(-1);
        run.kestPid = process.processId();
        run.kestIdentity = ProcessIdentity(run.kestPid);
        const QByteArray withId = ComposeRunJournal(run);
        static_cast<void>(
            WriteFileAtomic(journal, std::string_view(withId.constData(), size_t(withId.size())),
                            Language::English, Durability::UntilReboot));
        process.waitForFinished(-1);
        static_cast<void>(DigestOfFile(settings));
        Copy(kestIni, settings);
        QFile::remove(ToFsPath(journal));
    };

    constexpr int kRounds = 5;
    constexpr int kLaunches = 40;
    double best = 1e300, bestBare = 1e300, bestScript = 1e300, bestPrevious = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kLaunches; ++i) launcher.StartKest();
        best = std::min(best, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) previousLaunch();
        bestPrevious = std::min(bestPrevious, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) bareLaunch();
        bestBare = std::min(bestBare, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) QProcess::execute(u"/bin/sh"_s, {script});
        bestScript = std::min(bestScript, clock.nsecsElapsed() / 1e6 / kLaunches);
    }
    if (QFile::exists(dir.filePath(u"kest/kest.run"_s))) qFatal("a launch left its run journal");
    std::printf("one launch: %.2f ms, shell script %.2f ms, ratio %.2f (target <= 1.5)\n", best,
                bestScript, best / bestScript);
    std::printf("            before the journal recorded phases %.2f ms, ratio %.2f\n",
                bestPrevious, bestPrevious / bestScript);
    std::printf("            without run journal and digests %.2f ms, ratio %.2f\n", bestBare,
                bestBare / bestScript);
}

void CopyCost() {
    QTemporaryDir dir;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
    {
        QFile f(dir.filePath(u"big"_s));
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write");
        for (int i = 0; i < 64; ++i) f.write(block);
    }
    constexpr int kRounds = 5;
    double best = 1e300, bestCp = 1e300, bestCpSync = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        Copy(P(dir.filePath(u"big"_s)), P(dir.filePath(u"copy1"_s)));
        best = std::min(best, clock.nsecsElapsed() / 1e6);
        clock.restart();
        QProcess::execute(u"cp"_s, {dir.filePath(u"big"_s), dir.filePath(u"copy2"_s)});
        bestCp = std::min(bestCp, clock.nsecsElapsed() / 1e6);
        // The copy is flushed to disk before it replaces the old file; so is this one.
        clock.restart();
        QProcess::execute(u"/bin/sh"_s, {u"-c"_s, u"cp \"$0\" \"$1\" && sync \"$1\""_s,
                                         dir.filePath(u"big"_s), dir.filePath(u"copy3"_s)});
        bestCpSync = std::min(bestCpSync, clock.nsecsElapsed() / 1e6);
    }
    std::printf("copy of 64 MiB: CopyFileData %.1f ms, cp %.1f ms, ratio %.2f (target <= 1.5)\n",
                best, bestCp, best / bestCp);
    std::printf("                cp + sync of the copy %.1f ms, ratio %.2f\n", bestCpSync,
                best / bestCpSync);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString buildDir = args.size() > 1 ? args[1] : QCoreApplication::applicationDirPath();
    CopyCost();
    LaunchCost();
    WaitCpu(buildDir);
    return 0;
}
