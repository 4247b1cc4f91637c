#include "platform/unsynced_write.h"

#include "platform/file_error.h"
#include "platform/regular_file.h"

namespace pmkest {

Status ReplaceFileUnsynced(const QString& path, const QByteArray& data) {
    AtomicFileWriter file(false);
    FileFault fault = file.open(path);
    if (!fault.failed()) fault = file.write(data.constData(), data.size());
    if (!fault.failed()) fault = file.commit();
    if (!fault.failed()) return {};
    return Failure{FileErrorText(
        path, fault.reason.isEmpty() ? QStringLiteral("not a regular file") : fault.reason)};
}

}  // namespace pmkest
