#include "core/wine/kest_under_wine.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/app_state.h"
#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "core/wine/wine_setup.h"

namespace pmkest {

QString PrepareKestUnderWine(const AppState& state, KestCommand& command, bool& preparingPrefix) {
    if (!KestRunsUnderWine(state.kestFolder)) return {};
    const TProject& project = state.project;
    const WineStart wine =
        PrepareWineStart(state.kestFolder, {state.kestFolder, state.kestIniFolder,
                                            project.SettingsFile, FolderPart(project.ProjectFile)});
    switch (wine.problem) {
        case WineStart::Ready:
            break;
        case WineStart::WineMissing:
            return Tr(UiText::WineNotFound, state.language).arg(wine.subject);
        case WineStart::Needs32Bit:
            return Tr(UiText::Wine32Missing, state.language).arg(wine.subject);
        case WineStart::NeedsLocale:
            return Tr(UiText::NoCp1251Locale, state.language).arg(wine.subject);
    }
    command.program = wine.wine;
    command.environment = wine.environment;
    preparingPrefix = !wine.prefixReady;
    return {};
}

std::vector<VolumeInfo> DriveButtonsForKest(const KestPaths& paths,
                                            const std::vector<VolumeInfo>& buttons) {
    if (!paths.throughWine()) return buttons;
    // KEST under Wine knows its files by the prefix's drives, which lie in a hidden folder.
    WineDrives ordered = paths.drives();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const WineDrive& a, const WineDrive& b) { return a.letter < b.letter; });
    std::vector<VolumeInfo> result;
    auto listed = [&result](const QString& root) {
        return std::any_of(result.begin(), result.end(),
                           [&root](const VolumeInfo& v) { return v.rootPath == root; });
    };
    for (const WineDrive& drive : ordered) {
        QString root = QDir::cleanPath(ToFsPath(drive.root));
        if (listed(root) || !QFileInfo(root).isDir()) continue;  // only drives that can be entered
        result.push_back({root, true, QStringLiteral("%1:\\").arg(QLatin1Char(drive.letter))});
    }
    for (const VolumeInfo& button : buttons)
        if (!listed(QDir::cleanPath(button.rootPath))) result.push_back(button);
    if (result.size() > size_t(kDriveButtonCount)) result.resize(size_t(kDriveButtonCount));
    return result;
}

bool KestReaches(const std::optional<std::string>& mapped, const std::string& path,
                 UserDialogs& dialogs, Language language) {
    if (!mapped)
        dialogs.reportError(language,
                            Tr(UiText::OutsideWineDrives, language).arg(cp1251::ToQString(path)));
    return mapped.has_value();
}

}  // namespace pmkest
