#pragma once

#include <QByteArray>
#include <QString>

#include "platform/expected.h"

namespace pmkest {

// Replaces the file with a whole new one (a temporary file renamed over it) without waiting
// for the disk: for data that only matters while the machine keeps running.
Status ReplaceFileUnsynced(const QString& path, const QByteArray& data);

}  // namespace pmkest
