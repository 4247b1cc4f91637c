#include "platform/files/file_owner.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace pmkest {

namespace {

QString UserName(uid_t uid) {
    if (const passwd* entry = ::getpwuid(uid)) return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

}  // namespace

EntryOwner OwnerOf(const QString& path) {
    EntryOwner entry;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return entry;
    entry.exists = true;
    entry.link = S_ISLNK(st.st_mode);
    entry.hardLinked = S_ISREG(st.st_mode) && st.st_nlink > 1;
    entry.ownedByUser = st.st_uid == ::geteuid();
    entry.othersMayWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    entry.owner = UserName(st.st_uid);
    return entry;
}

bool FolderIsShared(const QString& folder) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
               &st) != 0)
        return true;
    return st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH | S_ISVTX)) != 0;
}

QString CurrentUserName() {
    return UserName(::geteuid());
}

}  // namespace pmkest
