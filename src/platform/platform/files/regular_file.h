#pragma once
// Reading and replacing regular files only: a pipe, a device, a socket or a folder is refused
// before it can block or swamp the program, and a replaced file is whole or not touched.

#include <QByteArray>
#include <QString>
#include <memory>

namespace pmkest {

// What went wrong with a file, before the program puts it into words.
struct FileFault {
    enum class Kind {
        None,
        System,
        Folder,
        Pipe,
        Device,
        Socket,
        Special,
        TooLarge,
        SharedLink,   // a link in a folder that other users can write
        NotUsersOwn,  // another user's file in a folder that other users can write
        ReadOnly,     // its owner made it read-only
    };
    Kind kind = Kind::None;
    QString reason;  // the system's own text, for System; the owner, for NotUsersOwn
    // The path the fault is about when it is not the file asked for: the folder that cannot
    // take the new version of a file.
    QString subject;
    bool failed() const { return kind != Kind::None; }
    static FileFault System(int error);
    FileFault about(const QString& path) const {
        FileFault fault = *this;
        fault.subject = path;
        return fault;
    }
};

// How far a file in a folder that other users can write is taken: a link there is never
// followed; the run's own files (kest.ini, kest.res, the journal, the project's settings and
// their backups) must be the user's too.
enum class SharedFolderRule { NoLinks, OwnFilesOnly };

// A regular file opened for reading; opening never waits, whatever the path names.
class RegularFileReader {
public:
    RegularFileReader();
    ~RegularFileReader();
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    // limit: the largest size taken, or -1 for any.
    FileFault open(const QString& path, qint64 limit = -1,
                   SharedFolderRule rule = SharedFolderRule::NoLinks);
    // got 0: the end of the file.
    FileFault read(char* buffer, qint64 size, qint64& got);

private:
    friend class AtomicFileWriter;
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    qint64 m_limit = -1;
    qint64 m_total = 0;
};

FileFault ReadRegularFile(const QString& path, qint64 limit, QByteArray& data,
                          SharedFolderRule rule = SharedFolderRule::NoLinks);

// Gives an entry another name in the same file system, never by copying: what cannot be
// renamed stays as it is. A link is renamed, not its target.
FileFault RenameEntry(const QString& from, const QString& to);

// Anything at all stands at path: a file, a folder, a pipe, or a device such as NUL on
// Windows, which has no entry in any folder.
bool AnythingAt(const QString& path);

// Removes the temporaries that killed writers left beside the file; one that a live writer
// holds stays.
void RemoveLeftTemporaries(const QString& path);

// Who may read a new version: never more than could read the file it replaces, nor (for a copy)
// its source.
struct NewFileAccess {
    const RegularFileReader* source = nullptr;  // an open reader of the copy's source
    bool ownerOnlyUnlessPublic =
        false;                     // a backup: the owner's alone unless all may read the source
    bool ownerWritesOnly = false;  // nobody else may write it (the run journal)
};

// Writes a new version beside the file and renames it over the file on commit(); until then,
// and on any failure, the old file stays as it was. In the user's own folders a symbolic link
// stays a link and its target gets the new content; in a folder that other users can write a
// link, or a file that is not the user's, is refused. Temporaries that a killed writer left
// behind for the same file are removed on open().
class AtomicFileWriter {
public:
    // durable: waits for the disk before the rename; off only for data that is of use while
    // the machine keeps running.
    explicit AtomicFileWriter(bool durable = true);
    ~AtomicFileWriter();  // a write that was not committed is thrown away
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    FileFault open(const QString& path, const NewFileAccess& access = {});
    FileFault write(const char* data, qint64 size);
    FileFault commit();

    // The name pattern of the temporaries: file name + ".pmkest-" + six characters.
    static bool IsTemporaryOf(const QString& fileName, const QString& temporaryName);

private:
    static QString TemporaryPrefix(const QString& fileName);

    struct Handle;
    std::unique_ptr<Handle> m_handle;
    bool m_durable;
};

}  // namespace pmkest
