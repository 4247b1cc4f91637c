#pragma once
// The program's own pictures, built into the executable from resources/.

#include <QPixmap>
#include <QString>

namespace pmkest {

// name is the file name inside the picture resources, e.g. "computer.png".
QPixmap Picture(const QString& name);
// Its resource path, for what loads a file itself (an icon).
QString PicturePath(const QString& name);

}  // namespace pmkest
