#pragma once
// The decisions of the directory chooser that need no widgets: which volumes get a drive
// button, and where the list starts.

#include <QString>
#include <string>
#include <vector>

namespace pmkest {

constexpr int kDriveButtonCount = 12;

struct VolumeInfo {
    QString rootPath;
    bool ready = false;  // valid and ready: its volume information can be read
    QString caption;     // what its button shows; the root when empty
};

// The volumes that stand for drives: on Windows the present drives, rooted and captioned as
// "c:\\"; elsewhere the root, the home folder and the removable and user volumes.
std::vector<VolumeInfo> MountedVolumes();

// Of the mounted volumes, what a person calls a drive: "/", the home folder, and what is
// mounted under /media, /run/media and /mnt, captioned with its volume name.
std::vector<VolumeInfo> UserVolumes(const std::vector<VolumeInfo>& mounted, const QString& home);

// The drive buttons, slot 1 first: the volumes ordered by root path, at most the first twelve
// examined, and only the ready ones, without gaps.
std::vector<VolumeInfo> DriveButtons(std::vector<VolumeInfo> volumes);

// The roots of DriveButtons.
std::vector<QString> DriveButtonRoots(std::vector<VolumeInfo> volumes);

// The folder part of the start path, trimmed of blanks, without its trailing separator unless
// it is the root. Empty when the path has no folder part.
std::string StartDirectory(const std::string& startPath);

}  // namespace pmkest
