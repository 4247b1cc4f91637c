// One start of KEST on Windows (kest-standin.exe as kest.exe, ending at once) through the
// manager, against a .cmd script doing the same three copies and the same start.
// Usage (under Wine or on Windows): bench-windows-launch BUILD_DIR
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench_support.h"
#include "core/text/cp1251.h"
#include "core/user_dialogs.h"
#include "windows/launch/kest_launcher.h"
#include "windows/main/main_window.h"

using namespace Qt::StringLiterals;
using namespace pmkest;
using namespace pmkest::bench;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KEST_STANDIN_ARGS", "--exit 0");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString buildDir = args.size() > 1 ? args[1] : QCoreApplication::applicationDirPath();

    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"kest"_s);
    QDir(dir.path()).mkpath(u"proj"_s);
    const QString kestDir = QDir::toNativeSeparators(dir.filePath(u"kest/"_s));
    const QString settings = QDir::toNativeSeparators(dir.filePath(u"proj/blink.ini"_s));
    if (!QFile::copy(buildDir + u"/kest-standin.exe"_s, kestDir + u"kest.exe"_s))
        qFatal("no kest-standin.exe in %s", qPrintable(buildDir));
    QByteArray ini;
    for (int i = 0; i < 60; ++i) ini += "Key" + QByteArray::number(i) + "=some value of KEST\r\n";
    WriteFile(kestDir + u"kest.ini"_s, ini);
    WriteFile(settings, ini);
    const QString mpm = QDir::toNativeSeparators(dir.filePath(u"proj/blink.mpm"_s));
    WriteFile(mpm, settings.toUtf8() + "\r\n");

    QuietDialogs dialogs;
    UiState state;
    state.kestFolder = cp1251::FromQString(kestDir).value();
    state.kestIniFolder = state.kestFolder;
    state.project.ProjectFile = cp1251::FromQString(mpm).value();
    FillMessageTable(state.messages.table);
    KestLauncher launcher(state, dialogs, LaunchView{});

    const QString script = QDir::toNativeSeparators(dir.filePath(u"launch.cmd"_s));
    const QByteArray k = kestDir.toUtf8(), p = settings.toUtf8();
    WriteFile(script, "@echo off\r\ncopy /y \"" + k + "kest.ini\" \"" + k + "kest.res\" >nul\r\n" +
                          "copy /y \"" + p + "\" \"" + k + "kest.ini\" >nul\r\n\"" + k +
                          "kest.exe\"\r\ncopy /y \"" + k + "kest.ini\" \"" + p + "\" >nul\r\n");

    constexpr int kRounds = 3;
    constexpr int kLaunches = 10;
    double best = 1e300, bestScript = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kLaunches; ++i) launcher.StartKest();
        best = std::min(best, clock.nsecsElapsed() / 1e6 / kLaunches);
        clock.restart();
        for (int i = 0; i < kLaunches; ++i) QProcess::execute(u"cmd.exe"_s, {u"/c"_s, script});
        bestScript = std::min(bestScript, clock.nsecsElapsed() / 1e6 / kLaunches);
    }
    if (state.launchCounter != kRounds * kLaunches) qFatal("a launch failed");
    std::printf("one launch: %.1f ms, .cmd script %.1f ms, ratio %.2f (target <= 1.5)\n", best,
                bestScript, best / bestScript);
    return best / bestScript <= 1.5 ? 0 : 1;
}
