#include "platform/files/file_owner.h"

#include <windows.h>

#include <QDir>
#include <string>

#include "platform/files/access_list_win.h"
#include "platform/files/accounts_win.h"

namespace pmkest {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring Wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// FAT and exFAT (a stick, a card) keep no owners or access lists: nobody there is another
// user, and such a volume holds no links either.
bool VolumeKeepsOwners(const std::wstring& path) {
    wchar_t root[MAX_PATH + 1] = {};
    DWORD flags = 0;
    if (!GetVolumePathNameW(path.c_str(), root, MAX_PATH) ||
        !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return true;
    return flags & FILE_PERSISTENT_ACLS;
}

}  // namespace

EntryOwner OwnerOf(const QString& path) {
    EntryOwner entry;
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (path.isEmpty() || attributes == INVALID_FILE_ATTRIBUTES) return entry;
    entry.exists = true;
    entry.link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if (!VolumeKeepsOwners(name)) {
        entry.ownedByUser = true;
        entry.owner = CurrentUserName();
        return entry;
    }
    // What cannot be looked at is taken for another's.
    entry.othersMayWrite = true;
    HANDLE handle = CreateFileW(name.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll,
                                nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return entry;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info)) {
        entry.link = info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        entry.hardLinked =
            !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nNumberOfLinks > 1;
    }
    win::HandleSecurity security;
    if (security.read(handle)) {
        entry.ownedByUser = win::IsUsersOwner(security.owner());
        entry.owner = win::AccountName(security.owner());
        entry.othersMayWrite = win::OthersGranted(security.dacl(), win::kWriteRights, true);
    }
    CloseHandle(handle);
    return entry;
}

bool FolderIsShared(const QString& folder) {
    if (folder.isEmpty()) return true;
    if (!VolumeKeepsOwners(Wide(folder))) return false;
    HANDLE handle = CreateFileW(Wide(folder).c_str(), READ_CONTROL, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return true;
    win::HandleSecurity security;
    // Adding a folder is enough to plant a junction under a name the program uses.
    const bool shared = !security.read(handle) || !win::IsTrustedAccount(security.owner()) ||
                        win::OthersGranted(security.dacl(), win::kWriteRights, false);
    CloseHandle(handle);
    return shared;
}

QString CurrentUserName() {
    return win::AccountName(win::CurrentUserSid());
}

}  // namespace pmkest
