#include "platform/files/accounts_win.h"

#include <sddl.h>

#include <vector>

namespace pmkest::win {

namespace {

using Sid = std::vector<BYTE>;

Sid WellKnown(WELL_KNOWN_SID_TYPE type) {
    Sid sid(SECURITY_MAX_SID_SIZE);
    DWORD size = DWORD(sid.size());
    if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
    sid.resize(size);
    return sid;
}

Sid FromText(const wchar_t* text) {
    PSID parsed = nullptr;
    if (!ConvertStringSidToSidW(text, &parsed)) return {};
    const auto* bytes = static_cast<const BYTE*>(parsed);
    Sid sid(bytes, bytes + GetLengthSid(parsed));
    LocalFree(parsed);
    return sid;
}

Sid UserOfToken(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    const PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* bytes = static_cast<const BYTE*>(user);
    return Sid(bytes, bytes + GetLengthSid(user));
}

Sid ProcessUser(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    Sid user = UserOfToken(token);
    CloseHandle(token);
    return user;
}

bool Same(PSID sid, const Sid& known) {
    return sid && !known.empty() && IsValidSid(sid) &&
           EqualSid(sid, const_cast<BYTE*>(known.data()));
}

const Sid& Administrators() {
    static const Sid sid = WellKnown(WinBuiltinAdministratorsSid);
    return sid;
}

// Administrators is enabled in the token only while the user runs with its rights.
bool RunsAsAdministrator() {
    static const bool enabled = [] {
        BOOL member = FALSE;
        return !Administrators().empty() &&
               CheckTokenMembership(nullptr, const_cast<BYTE*>(Administrators().data()), &member) &&
               member;
    }();
    return enabled;
}

const Sid& User() {
    static const Sid user = ProcessUser(GetCurrentProcess());
    return user;
}

}  // namespace

PSID CurrentUserSid() {
    return User().empty() ? nullptr : const_cast<BYTE*>(User().data());
}

bool IsUsersOwner(PSID owner) {
    return Same(owner, User()) || (RunsAsAdministrator() && Same(owner, Administrators()));
}

bool IsTrustedAccount(PSID sid) {
    static const Sid system = WellKnown(WinLocalSystemSid);
    static const Sid installer =
        FromText(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    return Same(sid, User()) || Same(sid, system) || Same(sid, Administrators()) ||
           Same(sid, installer);
}

bool IsEveryAccount(PSID sid) {
    static const Sid everyone = WellKnown(WinWorldSid);
    static const Sid users = WellKnown(WinBuiltinUsersSid);
    static const Sid authenticated = WellKnown(WinAuthenticatedUserSid);
    return Same(sid, everyone) || Same(sid, users) || Same(sid, authenticated);
}

QString AccountName(PSID sid) {
    if (!sid || !IsValidSid(sid)) return {};
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        const QString account = QString::fromWCharArray(name, int(nameSize));
        if (domainSize == 0) return account;
        return QString::fromWCharArray(domain, int(domainSize)) + u'\\' + account;
    }
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return {};
    const QString number = QString::fromWCharArray(text);
    LocalFree(text);
    return number;
}

bool ProcessHandleIsUsers(HANDLE process) {
    Sid user = ProcessUser(process);
    return !user.empty() && Same(user.data(), User());
}

}  // namespace pmkest::win
