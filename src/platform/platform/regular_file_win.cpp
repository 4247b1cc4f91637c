#include "platform/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pmkest {

namespace {

FileFault Fault(FileFault::Kind kind) {
    return {kind, {}, {}};
}

FileFault FaultOfInfo(const QFileInfo& info) {
    if (info.isDir()) return Fault(FileFault::Kind::Folder);
    if (!info.isFile()) return Fault(FileFault::Kind::Special);
    return {};
}

FileFault TextFault(const QString& reason) {
    return {FileFault::Kind::System, reason, {}};
}

}  // namespace

// QSaveFile removes its own temporary unless the process is killed; those have no name of ours.
void RemoveLeftTemporaries(const QString&) {}

struct RegularFileReader::Handle {
    QFile file;
};

RegularFileReader::RegularFileReader() = default;
RegularFileReader::~RegularFileReader() = default;

FileFault RegularFileReader::open(const QString& path, qint64 limit) {
    m_handle.reset();
    m_limit = limit;
    m_total = 0;
    const QFileInfo info(path);
    if (!info.exists()) return TextFault(QStringLiteral("The file does not exist"));
    FileFault fault = FaultOfInfo(info);
    if (fault.failed()) return fault;
    if (limit >= 0 && info.size() > limit) return Fault(FileFault::Kind::TooLarge);
    auto handle = std::make_unique<Handle>();
    handle->file.setFileName(path);
    if (!handle->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return TextFault(handle->file.errorString());
    m_handle = std::move(handle);
    return {};
}

FileFault RegularFileReader::read(char* buffer, qint64 size, qint64& got) {
    got = 0;
    if (!m_handle) return TextFault(QStringLiteral("The file is not open"));
    got = m_handle->file.read(buffer, size);
    if (got < 0) {
        got = 0;
        return TextFault(m_handle->file.errorString());
    }
    m_total += got;
    if (m_limit >= 0 && m_total > m_limit) return Fault(FileFault::Kind::TooLarge);
    return {};
}

struct AtomicFileWriter::Handle {
    QSaveFile file;
};

AtomicFileWriter::AtomicFileWriter(bool durable) : m_durable(durable) {}
AtomicFileWriter::~AtomicFileWriter() {
    if (m_handle) m_handle->file.cancelWriting();
}

FileFault AtomicFileWriter::open(const QString& path) {
    m_handle.reset();
    const QFileInfo info(path);
    if (info.exists()) {
        const FileFault fault = FaultOfInfo(info);
        if (fault.failed()) return fault;
    }
    auto handle = std::make_unique<Handle>();
    handle->file.setFileName(path);
    // Unbuffered: every write reports its own failure, so a short file is never committed.
    if (!handle->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const FileFault fault = TextFault(handle->file.errorString());
        // A missing folder is what is wrong, not the file that would go into it.
        return info.absoluteDir().exists() ? fault : fault.about(info.absolutePath());
    }
    m_handle = std::move(handle);
    return {};
}

FileFault AtomicFileWriter::write(const char* data, qint64 size) {
    if (!m_handle) return TextFault(QStringLiteral("The file is not open"));
    if (m_handle->file.write(data, size) != size) {
        const QString reason = m_handle->file.errorString();
        m_handle->file.cancelWriting();
        return TextFault(reason);
    }
    return {};
}

FileFault AtomicFileWriter::commit() {
    if (!m_handle) return TextFault(QStringLiteral("The file is not open"));
    const bool done = m_handle->file.commit();
    const QString reason = m_handle->file.errorString();
    m_handle.reset();
    if (!done) return TextFault(reason);
    return {};
}

}  // namespace pmkest
