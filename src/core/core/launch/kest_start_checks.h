#pragma once
// What a start checks of the system KEST runs on before anything is swapped: whether KEST can
// read the project's paths in the system's code page, and which kest.ini KEST really reads.

#include <optional>
#include <string>
#include <vector>

namespace pmkest {

// KEST reads file names in the ANSI code page; only 1251 holds the Cyrillic letters of the
// paths the manager keeps. The first path that KEST could not read there, if any; code page 0
// means the names reach KEST another way and nothing is checked.
std::optional<std::string> PathKestCannotRead(const std::vector<std::string>& paths,
                                              unsigned ansiCodePage);

// The first path that reaches limit characters (0: no limit), which KEST could not open.
std::optional<std::string> PathTooLongForKest(const std::vector<std::string>& paths, size_t limit);

// A program such as KEST that writes into a protected folder it cannot write has its writes
// kept in the user's virtual store, and from then on reads its kest.ini from there. The folder
// whose kest.ini KEST reads: the store's when the folder takes no new files and the store holds
// a kest.ini, else the folder itself. Both end in the separator.
std::string KestIniFolderInUse(const std::string& folder);

}  // namespace pmkest
