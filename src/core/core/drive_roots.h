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
};

// The mounted volumes as the system lists them.
std::vector<VolumeInfo> MountedVolumes();

// Captions of the drive buttons, slot 1 first: the volumes ordered by root path, at most the
// first twelve examined, and only the ready ones, without gaps.
std::vector<QString> DriveButtonRoots(std::vector<VolumeInfo> volumes);

// The folder part of the start path, trimmed of blanks, without its trailing separator unless
// it is the root. Empty when the path has no folder part.
std::string StartDirectory(const std::string& startPath);

}  // namespace pmkest
