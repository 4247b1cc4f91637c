#pragma once
// What differs where KEST may run under Wine. Built in one of two forms, chosen in CMake: with
// Wine support (kest_under_wine.cpp), or without it (kest_command_native.cpp), where KEST runs
// as it is and reads the manager's own paths.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/chooser/drive_roots.h"
#include "core/text/language.h"
#include "core/wine/kest_command.h"

namespace pmkest {

struct AppState;
class UserDialogs;

// Before a start: for kest.exe under Wine, the Wine program, prefix and environment go into
// the command, and preparingPrefix tells that Wine makes a new prefix first. The text says
// why KEST cannot start; empty when it can.
QString PrepareKestUnderWine(const AppState& state, KestCommand& command, bool& preparingPrefix);

// The chooser's drive buttons for a KEST that reads these paths: under Wine the prefix's
// drives first, in letter order and captioned as drive roots ("c:\\"), then the buttons of
// the machine's volumes that are not one of them; at most twelve.
std::vector<VolumeInfo> DriveButtonsForKest(const KestPaths& paths,
                                            const std::vector<VolumeInfo>& buttons);

// False, after telling the user, for a path KEST cannot be given: under Wine one outside every
// drive of the prefix, which the mapping left without a form (mapped is none).
bool KestReaches(const std::optional<std::string>& mapped, const std::string& path,
                 UserDialogs& dialogs, Language language);

}  // namespace pmkest
