#pragma once
// Whole-file reads and atomic writes of CP1251 byte texts, and the path helpers they need.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/language.h"
#include "platform/expected.h"
#include "platform/files/folder_access.h"
#include "platform/files/regular_file.h"

namespace pmkest {

// Lines end at LF; a CR right before it belongs to the line end. Data without any LF has its
// lines ended by CR. Bytes are kept as they are.
std::vector<std::string> SplitLines(std::string_view data);
// Each line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// The largest settings or project file that is read: real ones hold a few kilobytes.
inline constexpr qint64 kFileReadLimit = 64 * 1024 * 1024;

// A regular file of at most kFileReadLimit bytes; anything else is refused with a text.
Expected<std::string> ReadWholeFile(const std::string& path, Language language);
// Written to a temporary file in the same folder and renamed over the target; on failure the
// old file stays whole. In the user's own folders a link stays a link and its target gets the
// data; see AtomicFileWriter for shared folders. UntilReboot does not wait for the disk: for
// data that only matters while the machine keeps running.
enum class Durability { Durable, UntilReboot };
Status WriteFileAtomic(const std::string& path, std::string_view data, Language language,
                       Durability durability = Durability::Durable,
                       const NewFileAccess& access = {});
// Whether the folder of a file takes the new version that WriteFileAtomic would write; a file
// made read-only passes. Nothing is written.
Status CheckReplaceable(const std::string& path, Language language);
// "<path>: <reason>" in the interface language where the reason is the program's own.
QString FileFaultText(const QString& path, const FileFault& fault, Language language);
// Why a folder cannot be opened, in the interface language where the reason is the program's own.
QString FolderRefusalText(const FolderRefusal& refusal, Language language);

QString ToFsPath(const std::string& path);  // CP1251 path -> file system path
bool FileExists(const std::string& path);
// Anything at all, also a folder or a pipe: reading it then says what it is.
bool PathExists(const std::string& path);
// Both paths name the same existing file, however spelled (links, "..", doubled separators,
// and the letter case where the system ignores it).
bool SameFile(const std::string& a, const std::string& b);
// Where the last folder separator is; npos when there is none.
size_t LastSeparator(std::string_view path);
// Everything up to and including the last separator; empty when there is none.
std::string FolderPart(const std::string& path);

}  // namespace pmkest
