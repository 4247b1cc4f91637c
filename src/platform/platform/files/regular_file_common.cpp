#include "platform/files/regular_file.h"

namespace pmkest {

namespace {

constexpr qint64 kReadBlock = 64 * 1024;

}  // namespace

QString AtomicFileWriter::TemporaryPrefix(const QString& fileName) {
    return fileName + QStringLiteral(".pmkest-");
}

FileFault FileFault::System(int error) {
    return {Kind::System, qt_error_string(error), {}};
}

bool AtomicFileWriter::IsTemporaryOf(const QString& fileName, const QString& temporaryName) {
    const QString prefix = TemporaryPrefix(fileName);
    if (temporaryName.size() != prefix.size() + 6 || !temporaryName.startsWith(prefix))
        return false;
    for (auto i = prefix.size(); i < temporaryName.size(); ++i) {
        const QChar c = temporaryName[i];
        if (!(c.isLetterOrNumber() && c.unicode() < 128)) return false;
    }
    return true;
}

FileFault ReadRegularFile(const QString& path, qint64 limit, QByteArray& data,
                          SharedFolderRule rule) {
    data.clear();
    RegularFileReader reader;
    FileFault fault = reader.open(path, limit, rule);
    if (fault.failed()) return fault;
    for (;;) {
        const qsizetype at = data.size();
        data.resize(at + kReadBlock);
        qint64 got = 0;
        fault = reader.read(data.data() + at, kReadBlock, got);
        data.resize(at + qsizetype(got));
        if (fault.failed()) {
            data.clear();
            return fault;
        }
        if (got == 0) return {};
    }
}

}  // namespace pmkest
