#pragma once
// Program-wide state, owned by the application and handed to the windows by reference.

#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "core/files/file_utils.h"
#include "core/project/tproject.h"
#include "core/text/language.h"
#include "core/text/message_table.h"

namespace pmkest {

constexpr int kRecentCount = 20;
using RecentProjects = std::array<std::string, kRecentCount>;  // entry k at index k-1

inline constexpr const char* kSettingsFileName = "PMKEST_121226.ini";

struct AppState {
    TProject project;
    std::string kestFolder;     // with its trailing separator
    std::string kestIniFolder;  // with its trailing separator
    RecentProjects recent;
    int32_t launchCounter = 0;
    Language language = Language::English;
    bool hideOption = false;       // the value read at start; the check box holds it afterwards
    std::string programFolder;     // with its trailing separator
    std::string settingsPath;      // written at close
    std::string settingsReadPath;  // read at start: settingsPath, or the defaults beside
    std::string helpPagePath;
    std::array<std::string, 6> buttonCaptions;  // PaintBox1..PaintBox6
    MessageState messages;
    ShellFolders shellFolders;  // set once at start-up
    // "project\nsettings" pairs whose settings file outside the project's folder, or of
    // another user, the user agreed to use in this session.
    std::set<std::string> agreedSettingsFiles;
};

}  // namespace pmkest
