#pragma once
// Every text of the program's own that the user reads, in both languages, keyed by UiText.
// Texts that are the same in both languages are kept here too, so there is one place to look.

#include <QString>

#include "core/text/language.h"

namespace pmkest {

enum class UiText {
    // The numbered messages 1..6 (the message table holds them under these numbers).
    NoKestPath,
    NoKestIniPath,
    NoProjectName,
    ProjectNotFound,
    AlternateIniNotFound,
    LibraryComponentNotFound,
    // The main window.
    MainCaption,
    MainDesignCaption,
    ButtonStart,
    ButtonKestIniPath,
    ButtonOpenProject,
    ButtonClose,
    ButtonKestPath,
    ButtonHelp,
    MenuFile,
    MenuCreateProject,
    MenuEditCurrentProject,
    MenuEditProject,
    MenuOpenProject,
    MenuReopenProject,
    MenuExit,
    MenuHelp,
    MenuAbout,
    HideWindow,
    HelpPage,      // the help file's name in the program folder
    LanguageName,  // first status panel
    RussianFlag,   // the flags' names for screen readers
    EnglishFlag,
    // The command-line window.
    CommandLineCaption,
    CommandLineDesignCaption,
    Cancel,
    Ok,
    // The options editor.
    OptionsCaption,  // %1: the project settings file
    OptionsDesignCaption,
    OptionsExit,
    OptionsManualInput,
    OptionsOkClose,
    OptionsCancelClose,
    SwitchAssemblerFile,
    SwitchBuild,
    SwitchErrorColumn,
    SwitchConditionals,
    SwitchMapFile,
    SwitchHexFile,
    SwitchLibraryA,
    SwitchMakeUnits,
    SwitchOmfFile,
    SwitchExtendedOmf,
    SwitchQuiet,
    SwitchSyntaxCheck,
    MemoryGlobals,
    MemoryLocals,
    MemoryParameters,
    MemoryTemporaries,
    DirectoryOutput,
    DirectoryL51,
    DirectoryUnits,
    DirectoryIncludes,
    DirectoryObjects,
    // The directory dialog and the about box, English in either language.
    ChooserCaption,
    ChooserComputer,  // the chooser's shortcut pictures
    ChooserDesktop,
    ChooserPersonal,
    AboutCaption,
    AboutProduct,
    AboutVersion,  // %1: the version
    AboutCopyright,
    AboutComments,
    AboutOk,
    // Starting KEST.
    KestProblems,
    WineNoteCaption,
    // Texts of the messages that have no number in the message table.
    AlreadyRunning,
    SettingsNotWritten,  // %1: the error
    CloseAnyway,
    PathNotStorable,     // %1: the path
    PathHoldsLineBreak,  // %1: the path
    PathHoldsKey,        // %1: the path, %2: the key text in it
    EditWhileRunning,    // %1: the project settings file
    EndKestQuestion,
    SwapFailed,        // %1: source, %2: destination, %3: the error
    CopyBackFailed,    // %1: kest.ini, %2: project settings file, %3: the error
    DirsNotWritten,    // %1: the error
    FolderNotEntered,  // %1: the folder, %2: the system's reason
    CommandLineHelp,   // %1: the version
    UnknownOption,     // %1: the arguments as typed
    // Titles of the message boxes.
    TitleError,
    TitleInformation,
    TitleConfirm,
    TitleWarning,
    TitleProgram,
    // The run journal and the recovery of an interrupted run.
    JournalNotWritten,       // %1: the journal, %2: the error
    RunInterrupted,          // %1: project file, %2: start time, %3: kest.ini, %4: settings
    RunRecovered,            // %1: the settings file
    BackupKept,              // %1: the backup
    NothingCopied,           // %1: the settings file
    MovedAside,              // %1: the journal's new name
    CopyKept,                // %1: the copy of kest.ini
    JournalUnusable,         // %1: the journal, %2: the reason
    JournalDamaged,          //
    JournalOtherVersion,     //
    JournalForeignKestIni,   // %1: the kest.ini it names
    JournalNoSettingsFile,   // %1: the settings file it names
    JournalUnreadable,       // %1: the error
    JournalPhaseOutOfOrder,  //
    JournalFitsNoFile,       //
    StartInterrupted,        // %1: the project file
    RunUnchanged,            // %1: the project file, %2: the settings file
    ChangedDuringRun,        // %1: the settings file, %2: the backup
    BackupFailed,            // %1: the settings file, %2: kest.ini, %3: the error
    OutsideWineDrives,       // %1: the path
    WineNotFound,            // %1: the program asked for
    Wine32Missing,           // %1: kest.exe
    NoCp1251Locale,          // %1: the path
    PreparingPrefix,         // %1: the prefix
    ExitCodeTitle,           // %1: the exit code
    WineInUse,               // %1: the Wine program, %2: the prefix
    AnsiCodePageNot1251,     // %1: the path, %2: the system's code page
    PathTooLongForKest,      // %1: the path, %2: its length, %3: the limit
    KestIniInStore,          // %1: the kest.ini KEST reads
    // Refusals that keep a project whole, and what a waiting manager says.
    FolderHoldsBlank,     // %1: the folder
    OtherManagersRun,     // %1: project file, %2: the manager's process, %3: start time
    ResultCannotGoBack,   // %1: the settings file, %2: the error
    CopyBackWhatNext,     // after a failed copy back
    RunIniIsPreRun,       // as RunInterrupted, when kest.ini is as before the run
    WaitingForKest,       // %1: start time, %2: project file
    CopyBackWasCutShort,  // the copy back of the last run failed
    // Why a file is not read or written.
    FileIsFolder,
    FileIsPipe,
    FileIsDevice,
    FileIsSocket,
    FileIsSpecial,
    FileTooLarge,  // %1: the limit in MiB
    FileIsReadOnly,
    FileIsSharedLink,
    FileNotUsersOwn,  // %1: the owner
    // Why a folder cannot be opened.
    FolderNotNamed,
    FolderMissing,
    NotAFolder,
    FolderAccessDenied,
    // Files that other users could have written.
    JournalNotUsersOwn,     // %1: the journal, %2: its owner
    JournalNotSetAside,     // %1: the journal, %2: the error
    SettingsOutsideFolder,  // %1: the settings file
    SettingsOfOtherUser,    // %1: the settings file, %2: its owner
};

QString Tr(UiText id, Language language);

}  // namespace pmkest
