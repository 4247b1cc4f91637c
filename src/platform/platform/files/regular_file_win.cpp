#include "platform/files/regular_file.h"

#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <string>

namespace pmkest {

namespace {

FileFault Fault(FileFault::Kind kind) {
    return {kind, {}, {}};
}

FileFault LastError() {
    return FileFault::System(static_cast<int>(GetLastError()));
}

std::wstring Wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// A disk file is what the program reads and replaces; NUL, CON, COM1 and pipes are not.
FileFault FaultOfHandle(HANDLE file) {
    switch (GetFileType(file)) {
        case FILE_TYPE_DISK: {
            BY_HANDLE_FILE_INFORMATION info{};
            if (GetFileInformationByHandle(file, &info) &&
                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return Fault(FileFault::Kind::Folder);
            return {};
        }
        case FILE_TYPE_CHAR:
            return Fault(FileFault::Kind::Device);
        case FILE_TYPE_PIPE:
            return Fault(FileFault::Kind::Pipe);
        default:
            return Fault(FileFault::Kind::Special);
    }
}

// What stands at path today, opened for nothing but a look; never waits for a pipe's writer.
FileFault FaultOfExisting(const std::wstring& path, bool& exists) {
    exists = false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        exists = true;
        return Fault(FileFault::Kind::Folder);
    }
    HANDLE look =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (look == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
        exists = true;
        return FileFault::System(static_cast<int>(error));
    }
    exists = true;
    const FileFault fault = FaultOfHandle(look);
    CloseHandle(look);
    if (fault.failed()) return fault;
    // A file its owner made read-only is not replaced behind their back.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return FileFault::System(ERROR_ACCESS_DENIED);
    return {};
}

// A temporary being written is open without sharing, so only a dead writer's can be deleted.
void RemoveDeadTemporaries(const QString& folder, const QString& fileName) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = Wide(folder + u'/' + fileName + QStringLiteral(".pmkest-*"));
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !AtomicFileWriter::IsTemporaryOf(fileName, name))
            continue;
        DeleteFileW(Wide(folder + u'/' + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

QString RandomSuffix() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
    return suffix;
}

// Virus scanners and indexers open a new file for a moment; the rename waits that out.
bool IsPassingLock(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool AnythingAt(const QString& path) {
    if (path.isEmpty()) return false;
    const std::wstring name = Wide(path);
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // Devices have no attributes; opening for nothing but a look finds them.
    HANDLE look =
        CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (look != INVALID_HANDLE_VALUE) {
        CloseHandle(look);
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

void RemoveLeftTemporaries(const QString& path) {
    const QFileInfo info(path);
    RemoveDeadTemporaries(info.absolutePath(), info.fileName());
}

struct RegularFileReader::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

RegularFileReader::RegularFileReader() = default;
RegularFileReader::~RegularFileReader() = default;

FileFault RegularFileReader::open(const QString& path, qint64 limit) {
    m_handle.reset();
    m_limit = limit;
    m_total = 0;
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Fault(FileFault::Kind::Folder);
    auto handle = std::make_unique<Handle>();
    // Others may go on reading and writing; the program only reads.
    handle->file = CreateFileW(name.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) return LastError();
    FileFault fault = FaultOfHandle(handle->file);
    if (fault.failed()) return fault;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle->file, &size)) return LastError();
    if (limit >= 0 && size.QuadPart > limit) return Fault(FileFault::Kind::TooLarge);
    m_handle = std::move(handle);
    return {};
}

FileFault RegularFileReader::read(char* buffer, qint64 size, qint64& got) {
    got = 0;
    if (!m_handle) return FileFault::System(ERROR_INVALID_HANDLE);
    DWORD n = 0;
    const DWORD asked = static_cast<DWORD>(qMin<qint64>(size, 1 << 30));
    if (!ReadFile(m_handle->file, buffer, asked, &n, nullptr)) return LastError();
    got = n;
    m_total += n;
    // It may grow while it is read.
    if (m_limit >= 0 && m_total > m_limit) return Fault(FileFault::Kind::TooLarge);
    return {};
}

struct AtomicFileWriter::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporary;  // removed unless renamed
    std::wstring target;
    void close() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    ~Handle() {
        close();
        if (!temporary.empty()) DeleteFileW(temporary.c_str());
    }
};

AtomicFileWriter::AtomicFileWriter(bool durable) : m_durable(durable) {}
AtomicFileWriter::~AtomicFileWriter() = default;

FileFault AtomicFileWriter::open(const QString& path) {
    m_handle.reset();
    const std::wstring target = Wide(QFileInfo(path).absoluteFilePath());
    bool exists = false;
    FileFault fault = FaultOfExisting(target, exists);
    if (fault.failed()) return fault;
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    RemoveDeadTemporaries(folder, info.fileName());

    auto handle = std::make_unique<Handle>();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary =
            Wide(folder + u'/' + TemporaryPrefix(info.fileName()) + RandomSuffix());
        // Not shared: a writer cleaning up cannot take a live temporary for a dead one.
        handle->file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle->file != INVALID_HANDLE_VALUE) {
            handle->temporary = temporary;
            break;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            const FileFault failed = LastError();
            // A missing folder is what is wrong, not the file that would go into it.
            return QDir(folder).exists() ? failed : failed.about(folder);
        }
    }
    if (handle->file == INVALID_HANDLE_VALUE) return FileFault::System(ERROR_FILE_EXISTS);
    handle->target = target;
    m_handle = std::move(handle);
    return {};
}

FileFault AtomicFileWriter::write(const char* data, qint64 size) {
    if (!m_handle) return FileFault::System(ERROR_INVALID_HANDLE);
    while (size > 0) {
        DWORD n = 0;
        const DWORD asked = static_cast<DWORD>(qMin<qint64>(size, 1 << 30));
        if (!WriteFile(m_handle->file, data, asked, &n, nullptr)) return LastError();
        data += n;
        size -= n;
    }
    return {};
}

FileFault AtomicFileWriter::commit() {
    if (!m_handle) return FileFault::System(ERROR_INVALID_HANDLE);
    Handle& handle = *m_handle;
    // A full disk or an I/O error may only show here; the old file is still untouched.
    if (m_durable && !FlushFileBuffers(handle.file)) return LastError();
    handle.close();
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (m_durable ? MOVEFILE_WRITE_THROUGH : 0);
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(handle.temporary.c_str(), handle.target.c_str(), flags)) break;
        const DWORD error = GetLastError();
        if (!IsPassingLock(error) || attempt == 9)
            return FileFault::System(static_cast<int>(error));
        QThread::msleep(50);
    }
    handle.temporary.clear();
    m_handle.reset();
    return {};
}

}  // namespace pmkest
