#include "core/launch/kest_start_checks.h"

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "platform/files/folder_access.h"
#include "platform/process/kest_process.h"

namespace pmkest {

std::optional<std::string> PathKestCannotRead(const std::vector<std::string>& paths,
                                              unsigned ansiCodePage) {
    if (ansiCodePage == 0 || ansiCodePage == 1251) return std::nullopt;
    for (const std::string& path : paths)
        for (const char c : path)
            if (static_cast<unsigned char>(c) >= 0x80) return path;
    return std::nullopt;
}

std::optional<std::string> PathTooLongForKest(const std::vector<std::string>& paths, size_t limit) {
    if (limit == 0) return std::nullopt;
    for (const std::string& path : paths)
        if (path.size() >= limit) return path;  // CP1251: one byte a character
    return std::nullopt;
}

std::string KestIniFolderInUse(const std::string& folder) {
    if (folder.empty()) return folder;
    const QString store = VirtualStoreFolder(cp1251::ToQString(folder));
    if (store.isEmpty() || FolderTakesNewFiles(ToFsPath(folder))) return folder;
    const std::optional<std::string> inStore = cp1251::FromQString(store);
    if (!inStore || !FileExists(*inStore + "kest.ini")) return folder;
    return *inStore;
}

}  // namespace pmkest
