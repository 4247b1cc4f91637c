#include "core/wine/kest_command.h"

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "core/wine/wine_setup.h"

namespace pmkest {

KestCommand KestCommandFor(const std::string& kestFolder) {
    if (!KestRunsUnderWine(kestFolder)) return {ToFsPath(kestFolder + "kest"), {}, {}};
    return {WineAskedFor(QProcessEnvironment::systemEnvironment()),
            {ToFsPath(kestFolder + "kest.exe")},
            {}};
}

KestPaths KestPathsFor(const std::string& kestFolder) {
    if (kestFolder.empty() || !KestReadsWinePaths(kestFolder)) return {};
    const QString prefix =
        WinePrefixFor(cp1251::ToQString(kestFolder), QProcessEnvironment::systemEnvironment());
    return KestPaths(ReadWineDrives(prefix));
}

}  // namespace pmkest
