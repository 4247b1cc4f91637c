#pragma once
// A project names its settings file on its first line, and a project handed round may name
// any file at all: one outside the project's folder, or another user's, is only taken once
// the user agreed to it.

#include <string>

#include "core/app_state.h"

namespace pmkest {

class UserDialogs;

// True when the settings file may be read and written for this project: it lies in the
// project's folder and is the user's own (or does not exist yet), or the user agreed to it,
// now (default No) or earlier in this session.
bool SettingsFileAgreed(AppState& state, UserDialogs& dialogs, const std::string& projectFile,
                        const std::string& settingsFile);

}  // namespace pmkest
