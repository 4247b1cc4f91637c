#include "widgets/pictures.h"

#include <QFile>
#include <QGuiApplication>

namespace pmkest {

QPixmap Picture(const QString& name) {
    // On a screen of higher density the picture drawn at twice the size, where there is one;
    // the reader takes its density from the "@2x" in the name.
    if (qGuiApp->devicePixelRatio() > 1.0) {
        QString dense = PicturePath(name);
        dense.insert(dense.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        if (QFile::exists(dense)) return QPixmap(dense);
    }
    return QPixmap(PicturePath(name));
}

QString PicturePath(const QString& name) {
    return QStringLiteral(":/pictures/") + name;
}

}  // namespace pmkest
