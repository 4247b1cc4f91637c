#pragma once
// The manager settings file and the recent-project list.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/settings/stored_value.h"

namespace pmkest {

using FileExistsFn = std::function<bool(const std::string&)>;

struct SettingsValues {
    int32_t counter = 0;
    std::string kestFolder;
    std::string kestIniFolder;
    std::string projectCur;
    bool hide = false;
    Language language = Language::English;
    RecentProjects recent;
};

// The part of the program's state that the file holds, and back.
SettingsValues SettingsValuesOf(const AppState& state);
void ApplySettingsValues(const SettingsValues& values, AppState& state);

// Offers every line to every key. A bad "COUNTER=" value skips only that line; its error text
// is added to errors. After every line, recent entries naming no existing file are emptied.
void ParseManagerSettings(const std::vector<std::string>& lines, SettingsValues& values,
                          const FileExistsFn& exists, std::vector<QString>& errors);
// The 26 lines, CP1251, CR LF.
std::string ComposeManagerSettings(const SettingsValues& values);
// The first value that would not read back from its line as itself; the file is not written
// then. None when every value would.
std::optional<ValueFault> FindSettingsFault(const SettingsValues& values);

struct SettingsLocation {
    QString readPath;   // read at start; may not exist
    QString writePath;  // written at close
};
// Beside the executable when the program folder takes new files. Otherwise the user's own file
// in userFolder (empty: the per-user configuration folder); until the user has one, the file
// beside the executable gives the defaults.
SettingsLocation LocateManagerSettings(const QString& programFolder, QString userFolder);

// Project file path with its extension replaced by ".ini".
std::string SettingsPathFor(const std::string& projectFile);

// True when the list changed.
bool AddRecent(RecentProjects& recent, const std::string& path);

}  // namespace pmkest
