#pragma once
// Texts of the messages that have no number in the message table, in both languages.

#include <QString>

namespace pmkest {

enum class UiText {
    AlreadyRunning,
    SettingsNotWritten,  // %1: the error
    CloseAnyway,
    StartupStepFailed,  // %1: the error
    PathNotStorable,    // %1: the path
    EditWhileRunning,   // %1: the project settings file
    EndKestQuestion,
    SwapFailed,        // %1: source, %2: destination, %3: the error
    CopyBackFailed,    // %1: kest.ini, %2: project settings file, %3: the error
    DirsNotWritten,    // %1: the error
    FolderNotEntered,  // %1: the folder, %2: the system's reason
    CommandLineHelp,   // %1: the version
    UnknownOption,     // %1: the arguments as typed
};

QString Tr(UiText id, bool russian);

}  // namespace pmkest
