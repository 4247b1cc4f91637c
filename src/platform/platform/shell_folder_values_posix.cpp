#include "platform/shell_folder_values.h"

namespace pmkest {

std::optional<std::vector<ShellFolderValue>> RegistryShellFolders() {
    return std::nullopt;
}

}  // namespace pmkest
