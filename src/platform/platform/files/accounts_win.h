#pragma once
// Which account a file or a process belongs to: what tells the user's own things on Windows
// from those of other users.

#include <windows.h>

#include <QString>

namespace pmkest::win {

// The user of this process's token.
PSID CurrentUserSid();

// Files made by a member of Administrators running with its rights get the group as owner.
bool IsUsersOwner(PSID owner);

// Accounts that can take any file anyway: the user, SYSTEM, Administrators, TrustedInstaller.
bool IsTrustedAccount(PSID sid);

// Everyone, Users or Authenticated Users: accounts that stand for all who log on.
bool IsEveryAccount(PSID sid);

// "DOMAIN\name", or the SID's text when it names no account.
QString AccountName(PSID sid);

// The process's token names the current user; false when it cannot be looked at.
bool ProcessHandleIsUsers(HANDLE process);

}  // namespace pmkest::win
