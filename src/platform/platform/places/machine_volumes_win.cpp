#include "platform/places/machine_volumes.h"

#include <windows.h>

namespace pmkest {

std::vector<MachineVolume> MachineVolumes() {
    std::vector<MachineVolume> volumes;
    // An empty floppy or CD drive must not bring up the system's "no disk" box.
    DWORD oldMode = 0;
    const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    const DWORD present = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(present & (DWORD(1) << letter))) continue;
        const wchar_t root[] = {wchar_t(L'a' + letter), L':', L'\\', L'\0'};
        switch (GetDriveTypeW(root)) {
            case DRIVE_REMOVABLE:
            case DRIVE_FIXED:
            case DRIVE_REMOTE:
            case DRIVE_CDROM:
            case DRIVE_RAMDISK:
                break;
            default:
                continue;
        }
        wchar_t volumeName[100];
        wchar_t fileSystem[100];
        const bool ready = GetVolumeInformationW(root, volumeName, 100, nullptr, nullptr, nullptr,
                                                 fileSystem, 100) != 0;
        volumes.push_back({QString::fromWCharArray(root), ready, QString()});
    }
    if (quiet) SetThreadErrorMode(oldMode, nullptr);
    return volumes;
}

}  // namespace pmkest
