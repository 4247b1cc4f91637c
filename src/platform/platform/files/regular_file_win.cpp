#include "platform/files/regular_file.h"

#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <string>
#include <vector>

#include "platform/files/access_list_win.h"
#include "platform/files/accounts_win.h"
#include "platform/files/file_owner.h"

namespace pmkest {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileFault Fault(FileFault::Kind kind) {
    return {kind, {}, {}};
}

FileFault LastError() {
    return FileFault::System(static_cast<int>(GetLastError()));
}

std::wstring Wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

class OwnedHandle {
public:
    OwnedHandle() = default;
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (valid()) CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

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

// In a folder that other users can write only a plain file is taken: a link there may lead
// anywhere, another name of the file may be theirs, and with ownFilesOnly so may the file.
FileFault SharedFolderFault(HANDLE file, bool ownFilesOnly) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return LastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1)
        return Fault(FileFault::Kind::SharedLink);
    if (!ownFilesOnly) return {};
    win::HandleSecurity security;
    if (!security.read(file)) return LastError();
    if (!win::IsUsersOwner(security.owner()))
        return {FileFault::Kind::NotUsersOwn, win::AccountName(security.owner()), {}};
    return {};
}

// Opened for nothing but a look, which never waits for a pipe's writer; nothing at path
// leaves look closed.
FileFault OpenForLook(const QString& path, bool followLink, OwnedHandle& look) {
    const std::wstring name = Wide(path);
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    look.reset(CreateFileW(name.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                           OPEN_EXISTING, flags, nullptr));
    // A file whose access list shuts the user out can still be looked at.
    if (!look.valid() && GetLastError() == ERROR_ACCESS_DENIED)
        look.reset(CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (look.valid()) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return FileFault::System(static_cast<int>(error));
}

QString FinalPath(HANDLE file) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD size = GetFinalPathNameByHandleW(file, path.data(), DWORD(path.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0) return {};
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(size);
    }
    QString final = QString::fromWCharArray(path.data(), qsizetype(path.size()));
    if (final.startsWith(QLatin1String(R"(\\?\UNC\)")))
        final = QLatin1String(R"(\\)") + final.mid(8);
    else if (final.startsWith(QLatin1String(R"(\\?\)")))
        final = final.mid(4);
    return QDir::fromNativeSeparators(final);
}

// What stands at target today, to be replaced. The user's own link in the user's own folder
// gives way to its final target, which target then names.
FileFault LookAtTarget(QString& target, OwnedHandle& look) {
    bool shared = FolderIsShared(FolderOf(target));
    FileFault fault = OpenForLook(target, false, look);
    if (fault.failed() || !look.valid()) return fault;
    BY_HANDLE_FILE_INFORMATION info{};
    bool known = GetFileInformationByHandle(look.get(), &info);
    if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (shared) return Fault(FileFault::Kind::SharedLink);
        fault = OpenForLook(target, true, look);
        if (fault.failed()) return fault;
        // A link to nothing is not replaced by a file.
        if (!look.valid()) return FileFault::System(ERROR_FILE_NOT_FOUND);
        target = FinalPath(look.get());
        if (target.isEmpty()) return LastError();
        shared = FolderIsShared(FolderOf(target));
        known = GetFileInformationByHandle(look.get(), &info);
    }
    fault = FaultOfHandle(look.get());
    if (fault.failed()) return fault;
    if (shared) {
        fault = SharedFolderFault(look.get(), true);
        if (fault.failed()) return fault;
    }
    // A file its owner made read-only is not replaced behind their back.
    if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return {FileFault::Kind::ReadOnly, {}, {}};
    return {};
}

// The new version gets no more readers than its source or the file it replaces.
FileFault LimitAccess(HANDLE temporary, HANDLE source, HANDLE replaced,
                      const NewFileAccess& access) {
    win::HandleSecurity reference;
    bool known = false;
    bool copy = false;
    if (source != INVALID_HANDLE_VALUE) {
        if (!reference.read(source)) return LastError();
        known = copy = true;
    } else if (replaced != INVALID_HANDLE_VALUE && reference.read(replaced)) {
        known = true;
        // A list inherited whole from the folder is what the temporary has anyway.
        copy = reference.daclProtected() || reference.daclHasOwnEntries();
    }
    std::vector<BYTE> list;
    bool change = true;
    if (access.ownerOnlyUnlessPublic && !(known && win::AllMayRead(reference.dacl())))
        list = win::PrivateAccessList();
    else if (copy)
        list = win::OwnAccessList(reference.dacl(), false);
    else
        change = false;
    if (access.ownerWritesOnly) {
        win::HandleSecurity inherited;
        if (!change && !inherited.read(temporary)) return LastError();
        const ACL* base = change ? reinterpret_cast<const ACL*>(list.data()) : inherited.dacl();
        list = win::OwnAccessList(base, true);
        change = true;
    }
    if (change && !win::SetProtectedAccessList(temporary, list)) return LastError();
    return {};
}

// A temporary being written is open without sharing, so only a dead writer's can be opened
// to be deleted. A link goes itself; in a shared folder only the user's own files go.
void RemoveDeadTemporaries(const QString& folder, const QString& fileName) {
    const bool shared = FolderIsShared(folder);
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = Wide(folder + u'/' + fileName + QStringLiteral(".pmkest-*"));
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !AtomicFileWriter::IsTemporaryOf(fileName, name))
            continue;
        OwnedHandle entry;
        entry.reset(CreateFileW(Wide(folder + u'/' + name).c_str(),
                                DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!entry.valid()) continue;
        win::HandleSecurity security;
        if (shared && ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                       !security.read(entry.get()) || !win::IsUsersOwner(security.owner())))
            continue;
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition,
                                   sizeof disposition);
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
    HANDLE look = CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

FileFault RenameEntry(const QString& from, const QString& to) {
    // No copy to another volume and nothing replaced; a link moves itself, not its target.
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0)) return {};
    return LastError();
}

struct RegularFileReader::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

RegularFileReader::RegularFileReader() = default;
RegularFileReader::~RegularFileReader() = default;

FileFault RegularFileReader::open(const QString& path, qint64 limit, SharedFolderRule rule) {
    m_handle.reset();
    m_limit = limit;
    m_total = 0;
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Fault(FileFault::Kind::Folder);
    const bool shared = FolderIsShared(FolderOf(path));
    auto handle = std::make_unique<Handle>();
    // Others may go on reading and writing; the program only reads. The checks look at what
    // was opened, so nothing can be swapped in between.
    handle->file =
        CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | (shared ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) return LastError();
    FileFault fault = FaultOfHandle(handle->file);
    if (fault.failed()) return fault;
    if (shared) {
        fault = SharedFolderFault(handle->file, rule == SharedFolderRule::OwnFilesOnly);
        if (fault.failed()) return fault;
    }
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

FileFault AtomicFileWriter::open(const QString& path, const NewFileAccess& access) {
    m_handle.reset();
    QString target = QFileInfo(path).absoluteFilePath();
    OwnedHandle replaced;
    FileFault fault = LookAtTarget(target, replaced);
    if (fault.failed()) return fault;
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    RemoveDeadTemporaries(folder, info.fileName());

    auto handle = std::make_unique<Handle>();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary =
            Wide(folder + u'/' + TemporaryPrefix(info.fileName()) + RandomSuffix());
        // Not shared: a writer cleaning up cannot take a live temporary for a dead one, and
        // nobody opens it before its access list is narrowed.
        handle->file = CreateFileW(temporary.c_str(), GENERIC_WRITE | READ_CONTROL | WRITE_DAC, 0,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    const HANDLE source = access.source && access.source->m_handle ? access.source->m_handle->file
                                                                   : INVALID_HANDLE_VALUE;
    fault = LimitAccess(handle->file, source, replaced.get(), access);
    if (fault.failed()) return fault;
    handle->target = Wide(target);
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
