// One start of KEST's Windows stand-in through Wine, prefix ready: the manager against a shell
// script doing the same copies and the same start. Usage: bench-wine-launch BUILD_DIR [WINE]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench_support.h"
#include "core/files/file_utils.h"
#include "core/text/cp1251.h"
#include "core/user_dialogs.h"
#include "core/wine/wine_setup.h"
#include "windows/launch/kest_launcher.h"

using namespace Qt::StringLiterals;

using namespace pmkest;
using namespace pmkest::bench;

namespace {

QByteArray Quoted(const QString& text) {
    return "'" + text.toUtf8().replace("'", "'\\''") + "'";
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString buildDir = args.size() > 1 ? args[1] : QCoreApplication::applicationDirPath();
    QString wine = args.size() > 2 ? args[2] : QStandardPaths::findExecutable(u"wine64"_s);
    if (wine.isEmpty()) wine = u"/usr/lib/wine/wine64"_s;
    const QString standIn = buildDir + u"/kest-win-standin64.exe"_s;
    if (!QFile::exists(standIn) || !QFile::exists(wine)) {
        std::printf("skipped: needs %s and %s (install wine, wine64, gcc-mingw-w64-x86-64)\n",
                    qPrintable(standIn), qPrintable(wine));
        return 0;
    }

    QTemporaryDir dir;
    const QString prefix = dir.filePath(u"prefix"_s);
    qputenv("WINEDEBUG", "-all");
    qputenv("WINE", wine.toUtf8());
    qputenv("WINEPREFIX", prefix.toUtf8());
    // Making the prefix is a one-time cost, kept out of the timing.
    QProcess::execute(wine, {u"wineboot"_s, u"-i"_s});
    const QString kestDir = dir.filePath(u"kest/"_s);
    QDir(dir.path()).mkpath(u"kest"_s);
    QDir(dir.path()).mkpath(u"proj"_s);
    QFile::copy(standIn, kestDir + u"kest.exe"_s);
    QByteArray ini =
        "SourcePath=Z:" + dir.filePath(u"proj/"_s).toUtf8().replace('/', '\\') + "\r\n";
    for (int i = 0; i < 60; ++i) ini += "Key" + QByteArray::number(i) + "=some value of KEST\r\n";
    const QString settings = dir.filePath(u"proj/blink.ini"_s);
    WriteFile(kestDir + u"kest.ini"_s, ini);
    WriteFile(settings, ini);
    WriteFile(dir.filePath(u"proj/blink.mpm"_s), settings.toUtf8() + "\r\n");

    QuietDialogs dialogs;
    AppState state;
    state.kestFolder = cp1251::FromQString(kestDir).value();
    state.kestIniFolder = state.kestFolder;
    state.project.ProjectFile = cp1251::FromQString(dir.filePath(u"proj/blink.mpm"_s)).value();
    FillMessageTable(state.messages.table);
    KestLauncher launcher(state, dialogs, LaunchView{});

    const QString script = dir.filePath(u"launch.sh"_s);
    WriteFile(script, "#!/bin/sh\nk=" + Quoted(kestDir) + "\np=" + Quoted(settings) +
                          "\ncp \"${k}kest.ini\" \"${k}kest.res\"\ncp \"$p\" \"${k}kest.ini\"\n" +
                          Quoted(wine) + " \"${k}kest.exe\"\ncp \"${k}kest.ini\" \"$p\"\n");

    // The same Wine checks, swap, start and copy back without the run journal and its digests.
    const std::string kestIni = state.kestIniFolder + "kest.ini";
    const std::string res = state.kestIniFolder + "kest.res";
    const std::string settingsBytes = cp1251::FromQString(settings).value();
    auto bareLaunch = [&] {
        const WineStart start = PrepareWineStart(state.kestFolder, {state.kestFolder});
        Copy(kestIni, res);
        Copy(settingsBytes, kestIni);
        QProcess process;
        process.setProcessEnvironment(start.environment);
        process.start(start.wine, {kestDir + u"kest.exe"_s});
        while (!process.waitForFinished(100)) QCoreApplication::processEvents();
        Copy(kestIni, settingsBytes);
    };

    // Both start a warm wineserver; the first start of each is not counted.
    launcher.StartKest();
    QProcess::execute(u"/bin/sh"_s, {script});
    constexpr int kRounds = 8;
    constexpr int kLaunches = 3;
    double best = 1e300, bestBare = 1e300, bestScript = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kLaunches; ++i) launcher.StartKest();
        best = std::min(best, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) bareLaunch();
        bestBare = std::min(bestBare, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) QProcess::execute(u"/bin/sh"_s, {script});
        bestScript = std::min(bestScript, clock.nsecsElapsed() / 1e6 / kLaunches);
    }
    // The Wine checks alone: what the manager adds before the swap.
    QElapsedTimer checks;
    checks.start();
    for (int i = 0; i < 100; ++i) PrepareWineStart(state.kestFolder, {state.kestFolder});
    const double checkMs = checks.nsecsElapsed() / 1e6 / 100;
    if (dialogs.shown) qFatal("a start through Wine failed");
    std::printf(
        "one start through Wine: %.1f ms, shell script %.1f ms, ratio %.2f "
        "(target <= 1.1)\n",
        best, bestScript, best / bestScript);
    std::printf("  without the run journal and digests %.1f ms, ratio %.2f\n", bestBare,
                bestBare / bestScript);
    std::printf("  the Wine checks before the swap: %.2f ms\n", checkMs);
    // The prefix goes with the temporary folder: end its server first.
    QString server = QFileInfo(wine).dir().filePath(u"wineserver"_s);
    if (!QFile::exists(server)) server = QStandardPaths::findExecutable(u"wineserver"_s);
    QProcess::execute(server, {u"-k"_s});
    QProcess::execute(server, {u"-w"_s});
    return 0;
}
