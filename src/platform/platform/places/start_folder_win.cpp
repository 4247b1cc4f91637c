#include "platform/places/start_folder.h"

namespace pmkest {

QString DialogStartFolder() {
    return QStringLiteral("c:\\");
}

}  // namespace pmkest
