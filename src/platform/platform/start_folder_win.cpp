#include "platform/start_folder.h"

namespace pmkest {

QString DialogStartFolder() {
    return QStringLiteral("c:\\");
}

}  // namespace pmkest
