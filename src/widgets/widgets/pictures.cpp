#include "widgets/pictures.h"

namespace pmkest {

QPixmap Picture(const QString& name) {
    return QPixmap(QStringLiteral(":/pictures/") + name);
}

}  // namespace pmkest
