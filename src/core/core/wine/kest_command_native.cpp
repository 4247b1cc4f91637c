// KEST where it is at home: the manager and KEST share the one file system, so KEST starts
// as it is and reads the manager's paths unchanged. Wine support is not built here.
#include "core/files/text_file.h"
#include "core/wine/kest_command.h"
#include "core/wine/kest_under_wine.h"

namespace pmkest {

KestCommand KestCommandFor(const std::string& kestFolder) {
    return {ToFsPath(kestFolder + "kest"), {}, {}};
}

KestPaths KestPathsFor(const std::string&) {
    return {};
}

std::optional<std::string> KestPaths::toKest(const std::string& path) const {
    return path;
}

std::string KestPaths::fromKest(const std::string& path) const {
    return path;
}

KestPaths::Mapped KestPaths::optionsToKest(std::string_view options) const {
    return {std::string(options), {}};
}

std::string KestPaths::optionsFromKest(std::string_view options) const {
    return std::string(options);
}

QString PrepareKestUnderWine(const AppState&, KestCommand&, bool&) {
    return {};
}

std::vector<VolumeInfo> DriveButtonsForKest(const KestPaths&,
                                            const std::vector<VolumeInfo>& buttons) {
    return buttons;
}

bool KestReaches(const std::optional<std::string>&, const std::string&, UserDialogs&, Language) {
    return true;
}

}  // namespace pmkest
