#pragma once

#include <QByteArray>
#include <QString>

namespace pmkest {

// Replaces the file with a whole new one (a temporary file renamed over it) without waiting
// for the disk: for data that only matters while the machine keeps running. The error text,
// or an empty one.
QString ReplaceFileUnsynced(const QString& path, const QByteArray& data);

}  // namespace pmkest
