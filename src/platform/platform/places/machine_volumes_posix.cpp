#include "platform/places/machine_volumes.h"

#include <QStorageInfo>

namespace pmkest {

std::vector<MachineVolume> MachineVolumes() {
    std::vector<MachineVolume> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        volumes.push_back({volume.rootPath(), volume.isValid() && volume.isReady(), volume.name()});
    return volumes;
}

}  // namespace pmkest
