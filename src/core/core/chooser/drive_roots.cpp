#include "core/chooser/drive_roots.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/files/text_file.h"
#include "core/text/str_utils.h"
#include "platform/path_rules.h"
#include "platform/places/machine_volumes.h"

namespace pmkest {

std::vector<VolumeInfo> MountedVolumes() {
    std::vector<VolumeInfo> volumes;
    for (const MachineVolume& volume : MachineVolumes())
        volumes.push_back({volume.rootPath, volume.ready, volume.name});
    // Drive letters say it all: the buttons show the roots.
    if constexpr (kVolumesAreDrives) {
        for (VolumeInfo& volume : volumes) volume.caption.clear();
        return volumes;
    }
    return UserVolumes(volumes, QDir::homePath());
}

std::vector<VolumeInfo> UserVolumes(const std::vector<VolumeInfo>& mounted, const QString& home) {
    std::vector<VolumeInfo> volumes;
    auto listed = [&volumes](const QString& root) {
        return std::any_of(volumes.begin(), volumes.end(),
                           [&root](const VolumeInfo& v) { return v.rootPath == root; });
    };
    const QString root = QDir::rootPath();
    volumes.push_back({root, QDir(root).exists(), root});
    const QString homeFolder = QDir::cleanPath(home);
    if (!homeFolder.isEmpty() && !listed(homeFolder))
        volumes.push_back({homeFolder, QDir(homeFolder).exists(), QStringLiteral("Home")});
    // System mounts (/boot, /proc, /run/...) are not drives to a person.
    auto isUserVolume = [](const QString& path) {
        for (const char* place : {"/media", "/run/media", "/mnt"}) {
            const QString prefix = QString::fromLatin1(place);
            if (path == prefix || path.startsWith(prefix + QLatin1Char('/'))) return true;
        }
        return false;
    };
    for (const VolumeInfo& volume : mounted) {
        const QString path = QDir::cleanPath(volume.rootPath);
        if (!isUserVolume(path) || listed(path)) continue;
        const QString caption =
            volume.caption.isEmpty() ? QFileInfo(path).fileName() : volume.caption;
        volumes.push_back({path, volume.ready, caption});
    }
    return volumes;
}

std::vector<VolumeInfo> DriveButtons(std::vector<VolumeInfo> volumes) {
    std::stable_sort(volumes.begin(), volumes.end(), [](const VolumeInfo& a, const VolumeInfo& b) {
        return a.rootPath < b.rootPath;
    });
    std::vector<VolumeInfo> buttons;
    const size_t examined = std::min(volumes.size(), static_cast<size_t>(kDriveButtonCount));
    for (size_t i = 0; i < examined; ++i) {
        if (!volumes[i].ready) continue;
        if (volumes[i].caption.isEmpty()) volumes[i].caption = volumes[i].rootPath;
        buttons.push_back(volumes[i]);
    }
    return buttons;
}

std::vector<QString> DriveButtonRoots(std::vector<VolumeInfo> volumes) {
    std::vector<QString> roots;
    for (const VolumeInfo& button : DriveButtons(std::move(volumes)))
        roots.push_back(button.rootPath);
    return roots;
}

std::string StartDirectory(const std::string& startPath) {
    std::string folder = TrimBlanks(FolderPart(startPath));
    if (folder.size() > kRootLength && folder.back() == kFolderSeparator) folder.pop_back();
    return folder;
}

}  // namespace pmkest
