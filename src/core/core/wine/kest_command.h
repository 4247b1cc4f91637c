#pragma once
// How KEST in a folder is started and which form of paths it reads: natively, or kest.exe
// through Wine.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <string>

#include "core/wine/kest_paths.h"

namespace pmkest {

// KEST folder + "kest" when that is an executable file, else KEST folder + "kest.exe"
// through Wine ($WINE, else "wine"). Never a shell, so no name needs quoting.
struct KestCommand {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment;  // empty: the manager's own
};
KestCommand KestCommandFor(const std::string& kestFolder);
// The form of the paths KEST in this folder reads.
KestPaths KestPathsFor(const std::string& kestFolder);

}  // namespace pmkest
