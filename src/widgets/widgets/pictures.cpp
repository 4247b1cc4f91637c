#include "widgets/pictures.h"

namespace pmkest {

QPixmap Picture(const QString& name) {
    return QPixmap(PicturePath(name));
}

QString PicturePath(const QString& name) {
    return QStringLiteral(":/pictures/") + name;
}

}  // namespace pmkest
