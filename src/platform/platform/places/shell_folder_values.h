#pragma once
// The user's shell folders as the system lists them, where the system keeps such a list.

#include <QString>
#include <QStringList>
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

// The folders to write the list of shell folders (dirs.txt) to, in the order to try them:
// on Windows "c:\" and, for a user who may not write there, the per-user local application
// data folder; elsewhere the per-user runtime folder.
QStringList ShellFolderListPlaces();

}  // namespace pmkest
