#include "platform/files/access_list_win.h"

#include <aclapi.h>

#include "platform/files/accounts_win.h"

namespace pmkest::win {

namespace {

using Entry = std::vector<BYTE>;

constexpr ACCESS_MASK kReadRights = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

ACCESS_MASK FileRights(ACCESS_MASK mask) {
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                               FILE_ALL_ACCESS};
    MapGenericMask(&mask, &mapping);
    return mask;
}

bool IsAllowType(BYTE type) {
    return type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_COMPOUND_ACE_TYPE ||
           type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE ||
           type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
}

bool IsDenyType(BYTE type) {
    return type == ACCESS_DENIED_ACE_TYPE || type == ACCESS_DENIED_OBJECT_ACE_TYPE ||
           type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
           type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
}

// Every allow entry starts with its mask; only the plain ones say plainly whom they name.
PSID AllowedSid(const ACE_HEADER* header) {
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
        header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE)
        return nullptr;
    return const_cast<DWORD*>(&reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->SidStart);
}

template <typename Visit>
void ForEachEntry(const ACL* dacl, Visit visit) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (GetAce(const_cast<ACL*>(dacl), i, &ace)) visit(static_cast<const ACE_HEADER*>(ace));
    }
}

Entry AllowEntry(ACCESS_MASK mask, PSID sid) {
    const DWORD size = DWORD(sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid));
    Entry entry(size);
    auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry.data());
    ace->Header = {ACCESS_ALLOWED_ACE_TYPE, 0, WORD(size)};
    ace->Mask = mask;
    CopySid(GetLengthSid(sid), &ace->SidStart, sid);
    return entry;
}

std::vector<BYTE> ListOf(const std::vector<Entry>& entries) {
    DWORD size = sizeof(ACL);
    for (const Entry& entry : entries) size += DWORD(entry.size());
    size = (size + 3) & ~3u;
    std::vector<BYTE> list(size);
    auto* acl = reinterpret_cast<ACL*>(list.data());
    // Object entries need the later revision; plain ones take either.
    if (!InitializeAcl(acl, size, ACL_REVISION_DS)) return {};
    for (const Entry& entry : entries)
        if (!AddAce(acl, ACL_REVISION_DS, MAXDWORD, const_cast<BYTE*>(entry.data()),
                    DWORD(entry.size())))
            return {};
    return list;
}

Entry WellKnownSid(WELL_KNOWN_SID_TYPE type) {
    Entry sid(SECURITY_MAX_SID_SIZE);
    DWORD size = DWORD(sid.size());
    if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
    return sid;
}

}  // namespace

HandleSecurity::~HandleSecurity() {
    if (m_descriptor) LocalFree(m_descriptor);
}

bool HandleSecurity::read(HANDLE handle) {
    const DWORD error = GetSecurityInfo(handle, SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &m_owner, nullptr, &m_dacl, nullptr, &m_descriptor);
    if (error == ERROR_SUCCESS) return true;
    SetLastError(error);
    return false;
}

bool HandleSecurity::daclProtected() const {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    return m_descriptor && GetSecurityDescriptorControl(m_descriptor, &control, &revision) &&
           (control & SE_DACL_PROTECTED);
}

bool HandleSecurity::daclHasOwnEntries() const {
    bool own = false;
    if (m_dacl)
        ForEachEntry(m_dacl, [&own](const ACE_HEADER* ace) {
            if (!(ace->AceFlags & INHERITED_ACE)) own = true;
        });
    return own;
}

bool OthersGranted(const ACL* dacl, ACCESS_MASK rights, bool creatorOwnerTrusted) {
    if (!dacl) return true;
    static const Entry creatorOwner = WellKnownSid(WinCreatorOwnerSid);
    bool granted = false;
    ForEachEntry(dacl, [&](const ACE_HEADER* ace) {
        if ((ace->AceFlags & INHERIT_ONLY_ACE) || !IsAllowType(ace->AceType)) return;
        const ACCESS_MASK mask = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace)->Mask;
        if (!(FileRights(mask) & rights)) return;
        const PSID sid = AllowedSid(ace);
        if (sid && (IsTrustedAccount(sid) ||
                    (creatorOwnerTrusted && EqualSid(sid, const_cast<BYTE*>(creatorOwner.data())))))
            return;
        granted = true;
    });
    return granted;
}

bool AllMayRead(const ACL* dacl) {
    if (!dacl) return true;
    bool read = false;
    ForEachEntry(dacl, [&read](const ACE_HEADER* ace) {
        const PSID sid = AllowedSid(ace);
        if (!(ace->AceFlags & INHERIT_ONLY_ACE) && sid && IsEveryAccount(sid) &&
            (FileRights(reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace)->Mask) & FILE_READ_DATA))
            read = true;
    });
    return read;
}

std::vector<BYTE> OwnAccessList(const ACL* dacl, bool othersReadOnly) {
    const PSID user = CurrentUserSid();
    if (!user) return {};
    std::vector<Entry> entries;
    bool userHasAll = false;
    const auto take = [&](const ACE_HEADER* header) {
        Entry entry(reinterpret_cast<const BYTE*>(header),
                    reinterpret_cast<const BYTE*>(header) + header->AceSize);
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry.data());
        if (ace->Header.AceFlags & INHERIT_ONLY_ACE) return;
        ace->Header.AceFlags &= BYTE(~INHERITED_ACE);
        if (IsAllowType(ace->Header.AceType)) {
            const PSID sid = AllowedSid(&ace->Header);
            const bool users = sid && EqualSid(sid, user);
            if (users && (FileRights(ace->Mask) & FILE_ALL_ACCESS) == FILE_ALL_ACCESS)
                userHasAll = true;
            if (othersReadOnly && !users) {
                // An entry that does not say whom it names could name anyone.
                if (!sid) return;
                ace->Mask = FileRights(ace->Mask) & kReadRights;
                if (!(ace->Mask & ~SYNCHRONIZE)) return;
            }
        }
        entries.push_back(std::move(entry));
    };
    if (dacl) {
        ForEachEntry(dacl, take);
    } else {
        Entry everyone = WellKnownSid(WinWorldSid);
        const Entry all = AllowEntry(FILE_ALL_ACCESS, everyone.data());
        take(reinterpret_cast<const ACE_HEADER*>(all.data()));
    }
    if (!userHasAll) {
        // Ahead of every allow entry, after the deny entries, as Windows orders them.
        auto at = entries.begin();
        while (at != entries.end() &&
               IsDenyType(reinterpret_cast<const ACE_HEADER*>(at->data())->AceType))
            ++at;
        entries.insert(at, AllowEntry(FILE_ALL_ACCESS, user));
    }
    return ListOf(entries);
}

std::vector<BYTE> PrivateAccessList() {
    const PSID user = CurrentUserSid();
    if (!user) return {};
    Entry system = WellKnownSid(WinLocalSystemSid);
    Entry administrators = WellKnownSid(WinBuiltinAdministratorsSid);
    return ListOf({AllowEntry(FILE_ALL_ACCESS, user), AllowEntry(FILE_ALL_ACCESS, system.data()),
                   AllowEntry(FILE_ALL_ACCESS, administrators.data())});
}

bool SetProtectedAccessList(HANDLE file, std::vector<BYTE>& list) {
    if (list.empty()) return false;
    const DWORD error = SetSecurityInfo(
        file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
        nullptr, nullptr, reinterpret_cast<ACL*>(list.data()), nullptr);
    if (error == ERROR_SUCCESS) return true;
    SetLastError(error);
    return false;
}

}  // namespace pmkest::win
