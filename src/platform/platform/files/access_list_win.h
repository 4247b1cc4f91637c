#pragma once
// Reading and narrowing the access lists of files and folders.

#include <windows.h>

#include <vector>

namespace pmkest::win {

// The owner and access list of an open handle.
class HandleSecurity {
public:
    HandleSecurity() = default;
    ~HandleSecurity();
    HandleSecurity(const HandleSecurity&) = delete;
    HandleSecurity& operator=(const HandleSecurity&) = delete;

    // On failure the reason is the thread's last error.
    bool read(HANDLE handle);
    PSID owner() const { return m_owner; }
    const ACL* dacl() const { return m_dacl; }  // null: all may do anything
    bool daclProtected() const;
    bool daclHasOwnEntries() const;  // entries set on the file itself, not inherited

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
    PSID m_owner = nullptr;
    PACL m_dacl = nullptr;
};

// Rights that change a file's data or add entries to a folder (the same bits), or that let
// their holder grant those.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER;

// An allow entry for an account that IsTrustedAccount does not cover (nor CREATOR OWNER when
// creatorOwnerTrusted) grants one of rights. Inherit-only entries do not apply to the entry
// itself; deny entries are ignored, so the answer errs towards "yes".
bool OthersGranted(const ACL* dacl, ACCESS_MASK rights, bool creatorOwnerTrusted);

// Everyone, Users or Authenticated Users may read.
bool AllMayRead(const ACL* dacl);

// dacl as a list of its own (nothing inherited) in which the user has full access; with
// othersReadOnly, every other account keeps at most reading.
std::vector<BYTE> OwnAccessList(const ACL* dacl, bool othersReadOnly);

// The user, SYSTEM and Administrators alone.
std::vector<BYTE> PrivateAccessList();

// list becomes the file's whole access list, none of its folder's entries inherited.
bool SetProtectedAccessList(HANDLE file, std::vector<BYTE>& list);

}  // namespace pmkest::win
