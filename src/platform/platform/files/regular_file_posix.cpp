#include "platform/files/regular_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "platform/files/file_owner.h"

namespace pmkest {

namespace {

FileFault Fault(FileFault::Kind kind) {
    return {kind, {}, {}};
}

FileFault FaultOfMode(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return Fault(FileFault::Kind::Folder);
    if (S_ISFIFO(mode)) return Fault(FileFault::Kind::Pipe);
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Fault(FileFault::Kind::Device);
    if (S_ISSOCK(mode)) return Fault(FileFault::Kind::Socket);
    return Fault(FileFault::Kind::Special);
}

FileFault LastError() {
    return FileFault::System(errno);
}

QString AccountName(uid_t uid) {
    if (const passwd* entry = ::getpwuid(uid)) return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

FileFault Refused(FileFault::Kind kind, const QString& owner = {}) {
    return {kind, owner, {}};
}

// The file that a write through path lands in: the end of its chain of links, followed only
// while each link lies in a folder of the user's own; shared: that file's folder is not.
FileFault FinalTarget(const QString& path, QString& target, bool& shared) {
    target = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray name = QFile::encodeName(target);
        shared = FolderIsShared(QFileInfo(target).absolutePath());
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
        // Someone else may have put it there, or may swap what it points at.
        if (shared || st.st_uid != ::geteuid()) return Refused(FileFault::Kind::SharedLink);
        QByteArray link(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t size = ::readlink(name.constData(), link.data(), size_t(link.size()));
        if (size < 0) return LastError();
        link.truncate(qsizetype(size));
        const QString next = QFile::decodeName(link);
        // A relative link starts from the folder that holds it.
        target = QDir::isAbsolutePath(next) ? next : QFileInfo(target).path() + u'/' + next;
    }
    return FileFault::System(ELOOP);
}

// In a folder that other users can write only the user's own single-named files are taken.
FileFault FaultInSharedFolder(const struct stat& st, SharedFolderRule rule) {
    if (S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink > 1))
        return Refused(FileFault::Kind::SharedLink);
    if (rule == SharedFolderRule::OwnFilesOnly && st.st_uid != ::geteuid())
        return Refused(FileFault::Kind::NotUsersOwn, AccountName(st.st_uid));
    return {};
}

// A temporary whose writer is gone holds no lock; one being written is locked by its writer.
void RemoveDeadTemporaries(const QString& folder, const QString& fileName) {
    const QByteArray folderName = QFile::encodeName(folder);
    const int dirFd = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!AtomicFileWriter::IsTemporaryOf(fileName, QFile::decodeName(entry->d_name))) continue;
        const int fd = ::openat(dirFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // Another user's file of that name is theirs, whatever it is called.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

bool AnythingAt(const QString& path) {
    return QFileInfo::exists(path);
}

void RemoveLeftTemporaries(const QString& path) {
    QString target;
    bool shared = false;
    if (FinalTarget(path, target, shared).failed()) return;
    const QFileInfo info(target);
    RemoveDeadTemporaries(info.absolutePath(), info.fileName());
}

struct RegularFileReader::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) ::close(fd);
    }
};

RegularFileReader::RegularFileReader() = default;
RegularFileReader::~RegularFileReader() = default;

FileFault RegularFileReader::open(const QString& path, qint64 limit, SharedFolderRule rule) {
    m_handle.reset();
    m_limit = limit;
    m_total = 0;
    const QByteArray name = QFile::encodeName(path);
    // A link is followed only from a folder of the user's own, and only to a file that the
    // same rules let through.
    QString target;
    bool shared = false;
    FileFault fault = FinalTarget(path, target, shared);
    if (fault.failed()) return fault;
    const QByteArray targetName = QFile::encodeName(target);
    struct stat st {};
    if (::lstat(targetName.constData(), &st) != 0) return LastError();
    fault = FaultOfMode(st.st_mode);
    if (fault.failed()) return fault;
    // Never waits for a writer, should a pipe have taken the file's place meanwhile; never
    // follows a link that took its place in a shared folder.
    auto handle = std::make_unique<Handle>();
    handle->fd =
        ::open(targetName.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (handle->fd < 0) return errno == ELOOP ? Refused(FileFault::Kind::SharedLink) : LastError();
    if (::fstat(handle->fd, &st) != 0) return LastError();
    fault = FaultOfMode(st.st_mode);
    if (fault.failed()) return fault;
    if (shared) {
        fault = FaultInSharedFolder(st, rule);
        if (fault.failed()) return fault;
    }
    if (limit >= 0 && st.st_size > limit) return Fault(FileFault::Kind::TooLarge);
    m_handle = std::move(handle);
    return {};
}

FileFault RegularFileReader::read(char* buffer, qint64 size, qint64& got) {
    got = 0;
    if (!m_handle) return FileFault::System(EBADF);
    for (;;) {
        const ssize_t n = ::read(m_handle->fd, buffer, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastError();
        got = n;
        m_total += n;
        // It may grow while it is read.
        if (m_limit >= 0 && m_total > m_limit) return Fault(FileFault::Kind::TooLarge);
        return {};
    }
}

struct AtomicFileWriter::Handle {
    int fd = -1;
    QByteArray temporary;  // removed unless renamed
    QByteArray target;
    QByteArray folder;
    ~Handle() {
        if (!temporary.isEmpty()) ::unlink(temporary.constData());
        if (fd >= 0) ::close(fd);
    }
};

AtomicFileWriter::AtomicFileWriter(bool durable) : m_durable(durable) {}
AtomicFileWriter::~AtomicFileWriter() = default;

FileFault AtomicFileWriter::open(const QString& path, const NewFileAccess& access) {
    m_handle.reset();
    QString target;
    bool shared = false;
    FileFault fault = FinalTarget(path, target, shared);
    if (fault.failed()) return fault;
    const QByteArray name = QFile::encodeName(target);
    struct stat st {};
    const bool exists = ::lstat(name.constData(), &st) == 0;
    if (!exists && errno != ENOENT) return LastError();
    if (exists) {
        // Renaming over a folder or a pipe would not write the file the user means.
        fault = FaultOfMode(st.st_mode);
        if (fault.failed()) return fault;
        if (shared) {
            fault = FaultInSharedFolder(st, SharedFolderRule::OwnFilesOnly);
            if (fault.failed()) return fault;
        }
        // A file its owner made read-only is not replaced behind their back.
        if (::access(name.constData(), W_OK) != 0)
            return errno == EACCES && !(st.st_mode & S_IWUSR) ? Fault(FileFault::Kind::ReadOnly)
                                                              : LastError();
    }
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    RemoveDeadTemporaries(folder, info.fileName());

    auto handle = std::make_unique<Handle>();
    QByteArray pattern = QFile::encodeName(folder + u'/' + TemporaryPrefix(info.fileName()) +
                                           QStringLiteral("XXXXXX"));
    handle->fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    // The file itself may be writable: it is its folder that refuses the new version.
    if (handle->fd < 0) return errno == ENAMETOOLONG ? LastError() : LastError().about(folder);
    handle->temporary = pattern;
    handle->target = name;
    handle->folder = QFile::encodeName(folder);
    // Held until the rename, so that a writer cleaning up does not take it for a dead one.
    ::flock(handle->fd, LOCK_EX);
    // Never wider than the file replaced, nor than the source of a copy; never set-id.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = exists ? (st.st_mode & 0777) : (0666 & ~mask);
    if (access.source && access.source->m_handle) {
        struct stat source {};
        if (::fstat(access.source->m_handle->fd, &source) != 0) return LastError();
        mode &= source.st_mode & 0777;
        if (access.ownerOnlyUnlessPublic && !(source.st_mode & S_IROTH)) mode &= 0600;
    }
    if (access.ownerWritesOnly) mode &= ~mode_t(S_IWGRP | S_IWOTH);
    if (::fchmod(handle->fd, mode) != 0) return LastError();
    // Run as root on someone's file in the user's own folder, the file stays theirs.
    if (exists && !shared && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(handle->fd, st.st_uid, st.st_gid) != 0) {
        // Not allowed to give it away: the new file is the writer's, as any new file is.
    }
    m_handle = std::move(handle);
    return {};
}

FileFault AtomicFileWriter::write(const char* data, qint64 size) {
    if (!m_handle) return FileFault::System(EBADF);
    while (size > 0) {
        const ssize_t n = ::write(m_handle->fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastError();
        data += n;
        size -= n;
    }
    return {};
}

FileFault AtomicFileWriter::commit() {
    if (!m_handle) return FileFault::System(EBADF);
    Handle& handle = *m_handle;
    // A full disk or an I/O error may only show here; the old file is still untouched.
    if (m_durable && ::fsync(handle.fd) != 0) return LastError();
    if (::rename(handle.temporary.constData(), handle.target.constData()) != 0) return LastError();
    handle.temporary.clear();
    if (m_durable) {
        // The rename itself reaches the disk.
        const int dirFd = ::open(handle.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    m_handle.reset();
    return {};
}

FileFault RenameEntry(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray destination = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, destination.constData(),
                    RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS) return LastError();
    // A file system without the flag: a hard link then the old name's removal, never a copy.
    if (::link(source.constData(), destination.constData()) != 0) return LastError();
    ::unlink(source.constData());
    return {};
}

}  // namespace pmkest
