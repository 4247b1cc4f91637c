#pragma once
// The user's folders and block copies of files.

#include <QString>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/text/language.h"
#include "platform/expected.h"

namespace pmkest {

constexpr int kShellFolderCount = 100;
using ShellFolderTable = std::array<std::string, kShellFolderCount>;  // entry i at index i-1

struct ShellFolders {
    ShellFolderTable ShellFolderLines;  // NAME " = " VALUE, or empty
    std::string DesktopFolder;
    std::string PersonalFolder;
};

// One line per XDG user folder in a fixed order, then PERSONAL for the documents folder.
// userDirs is the text of user-dirs.dirs (may be empty); missing folders get the usual
// defaults under home. Values keep their letter case.
ShellFolders ShellFoldersFrom(const QString& userDirs, const QString& home);
// The registry's shell folders in its order: each NAME " = " VALUE line upper-cased (Latin and
// Cyrillic), at most 100; a folder that CP1251 cannot name is left out.
ShellFolders ShellFoldersFromRegistry(const std::vector<std::pair<QString, QString>>& values);
// From the registry where the system has one, else from user-dirs.dirs in the user's
// configuration folder.
ShellFolders ReadShellFolders();
// dirs.txt: the shell folder lines, each ended by CR LF, in the first place that takes it: the
// folder given (else the system's places, ShellFolderListPlaces), then the fallback if any. It
// is rewritten at every start, so it is not flushed to the disk. The error, when no place took
// it, gives the last refusal.
Status WriteShellFolderList(const ShellFolders& folders, const QString& folder,
                            const QString& fallback, Language language);

// The destination becomes a byte-for-byte copy of the source, copied in 8192-byte blocks.
// The source is only read and must be a regular file of at most kFileReadLimit bytes, the
// user's own where other users can write its folder; the destination is replaced atomically,
// so a failure leaves it whole, and gets no wider access than the source (a backup: the
// owner's alone unless everyone may read the source). The error names the file that failed.
enum class CopyKind { Copy, Backup };
Status CopyFileData(const std::string& source, const std::string& destination, Language language,
                    CopyKind kind = CopyKind::Copy);

}  // namespace pmkest
