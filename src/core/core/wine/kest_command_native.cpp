// KEST where it is at home: the manager and KEST share the one file system, so KEST starts
// as it is and reads the manager's paths unchanged. Wine support is not built here.
#include "core/files/text_file.h"
#include "core/wine/kest_command.h"
#include "core/wine/wine_setup.h"

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

bool KestRunsUnderWine(const std::string&) {
    return false;
}

// The launcher prepares Wine only for a KEST that runs under it, which none does here.
WineStart PrepareWineStart(const std::string&, const std::vector<std::string>&,
                           const QProcessEnvironment&, const LocaleProbe&) {
    return {};
}

}  // namespace pmkest
