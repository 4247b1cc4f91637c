#include "core/drive_roots.h"

#include <QStorageInfo>
#include <algorithm>

#include "core/str_utils.h"
#include "core/text_file.h"

namespace pmkest {

std::vector<VolumeInfo> MountedVolumes() {
    std::vector<VolumeInfo> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : mounted)
        volumes.push_back({volume.rootPath(), volume.isValid() && volume.isReady()});
    return volumes;
}

std::vector<QString> DriveButtonRoots(std::vector<VolumeInfo> volumes) {
    std::stable_sort(volumes.begin(), volumes.end(), [](const VolumeInfo& a, const VolumeInfo& b) {
        return a.rootPath < b.rootPath;
    });
    std::vector<QString> roots;
    const size_t examined = std::min(volumes.size(), static_cast<size_t>(kDriveButtonCount));
    for (size_t i = 0; i < examined; ++i)
        if (volumes[i].ready) roots.push_back(volumes[i].rootPath);
    return roots;
}

std::string StartDirectory(const std::string& startPath) {
    std::string folder = TrimBlanks(FolderPart(startPath));
#ifdef Q_OS_WIN
    constexpr size_t kRootLength = 3;  // "c:\"
    const char separator = '\\';
#else
    constexpr size_t kRootLength = 1;  // "/"
    const char separator = '/';
#endif
    if (folder.size() > kRootLength && folder.back() == separator) folder.pop_back();
    return folder;
}

}  // namespace pmkest
