#include "platform/places/shell_folder_values.h"

#include "platform/places/runtime_folder.h"

namespace pmkest {

std::optional<std::vector<ShellFolderValue>> RegistryShellFolders() {
    return std::nullopt;
}

QStringList ShellFolderListPlaces() {
    // Never a shared folder such as /tmp, where another user could put a link in its place.
    return {RuntimeFolder()};
}

}  // namespace pmkest
