#pragma once
// The user's shell folders as the system lists them, where the system keeps such a list.

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace pmkest {

using ShellFolderValue = std::pair<QString, QString>;  // value name, folder

// Windows: the values of the per-user key
// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders", in the order the
// registry lists them; a key that cannot be opened gives an empty list. Elsewhere there is no
// such key: nullopt.
std::optional<std::vector<ShellFolderValue>> RegistryShellFolders();

}  // namespace pmkest
