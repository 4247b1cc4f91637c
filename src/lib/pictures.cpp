#include "lib/pictures.h"

// The resources live in a static library, so they are registered by hand before first use.
static void RegisterPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace pmkest {

QPixmap Picture(const QString& name) {
    RegisterPictures();
    return QPixmap(QStringLiteral(":/pictures/") + name);
}

}  // namespace pmkest
