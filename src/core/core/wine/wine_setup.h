#pragma once
// What a start of kest.exe under Wine needs, found before anything is swapped: the Wine
// program, the prefix, its drives, a locale with the Windows code page 1251.

#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/wine/wine_paths.h"
#include "platform/locale/installed_locale.h"

namespace pmkest {

// True when the KEST folder holds no executable "kest", so kest.exe runs under Wine.
bool KestRunsUnderWine(const std::string& kestFolder);
// Runs under Wine and kest.exe is a Windows program (not a placeholder), so the paths it
// reads are to be in Wine's drive form.
bool KestReadsWinePaths(const std::string& kestFolder);

// KEST inside <prefix>/drive_c/... uses that prefix; else $WINEPREFIX; else ~/.wine.
QString WinePrefixFor(const QString& kestFolder, const QProcessEnvironment& env);
// The drive letters of the prefix's dosdevices links; Wine's own (C: drive_c, Z: "/") for a
// prefix that has none yet.
WineDrives ReadWineDrives(const QString& prefix);
// Wine has finished making the prefix.
bool PrefixReady(const QString& prefix);

// $WINE, else "wine"; the program found for it, empty when none is.
QString WineAskedFor(const QProcessEnvironment& env);
QString FindWine(const QString& asked);

enum class PeMachine { NotPe, I386, Amd64, Other };
PeMachine ReadPeMachine(const QString& exe);
// 32-bit Windows libraries beside the Wine program, in the layouts Wine is installed in.
bool WineRuns32Bit(const QString& wineProgram);

// A UTF-8 locale whose Windows code page is 1251: the user's own when it is one, else the
// first installed candidate; empty when there is none.
using LocaleProbe = std::function<bool(const QString& locale)>;
QString Cp1251Locale(const QProcessEnvironment& env,
                     const LocaleProbe& installed = LocaleInstalled);

struct WineStart {
    enum Problem { Ready, WineMissing, Needs32Bit, NeedsLocale } problem = Ready;
    QString subject;  // what the problem is about: the program, kest.exe, the path
    QString wine;
    QString prefix;
    bool prefixReady = false;
    WineDrives drives;
    QProcessEnvironment environment;  // for the child
};
// neededPaths: folders and files KEST opens; a non-ASCII one needs the 1251 locale.
WineStart PrepareWineStart(
    const std::string& kestFolder, const std::vector<std::string>& neededPaths,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
    const LocaleProbe& installed = LocaleInstalled);

}  // namespace pmkest
