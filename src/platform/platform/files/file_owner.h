#pragma once
// Who could have written a file or a folder. A folder that other users can write holds their
// input, not the user's: a link there is never followed and a file of theirs is never taken.

#include <QString>

namespace pmkest {

struct EntryOwner {
    bool exists = false;
    bool link = false;  // a symbolic link, or on Windows any reparse point; never followed here
    bool hardLinked = false;      // a file with more than one name
    bool ownedByUser = false;     // the entry itself is the current (effective) user's
    bool othersMayWrite = false;  // writable by group or others; on Windows by another account
    QString owner;                // the owner's account name, or its number when it has none
};

// What stands at path itself, a link not followed.
EntryOwner OwnerOf(const QString& path);

// Someone other than the current user can add, rename or remove entries in the folder: it is
// group- or other-writable, sticky, or another user's (on Windows: its access list lets
// another account create files in it). A folder that cannot be looked at counts as shared.
bool FolderIsShared(const QString& folder);

// The account name of the current user, for messages.
QString CurrentUserName();

}  // namespace pmkest
