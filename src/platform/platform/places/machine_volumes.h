#pragma once
// The volumes of this machine that can stand for drives.

#include <QString>
#include <vector>

namespace pmkest {

struct MachineVolume {
    QString rootPath;
    bool ready = false;  // its volume information can be read
    QString name;        // the volume's label; may be empty
};

// On Windows every present removable, fixed, network, CD-ROM or RAM drive in letter order,
// rooted as "c:\"; elsewhere every mounted volume.
std::vector<MachineVolume> MachineVolumes();

}  // namespace pmkest
