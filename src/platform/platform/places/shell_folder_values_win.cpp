#include "platform/places/shell_folder_values.h"

#include <windows.h>

#include <QDir>
#include <QStandardPaths>

namespace pmkest {

std::optional<std::vector<ShellFolderValue>> RegistryShellFolders() {
    std::vector<ShellFolderValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = sizeof name / sizeof name[0];
        DWORD type = 0;
        wchar_t data[32768];
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // A value too long for the buffer, or not a text, is not a folder.
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
        qsizetype length = static_cast<qsizetype>(dataSize / sizeof(wchar_t));
        while (length > 0 && data[length - 1] == L'\0') --length;
        values.emplace_back(QString::fromWCharArray(name, static_cast<qsizetype>(nameLength)),
                            QString::fromWCharArray(data, length));
    }
    RegCloseKey(key);
    return values;
}

QStringList ShellFolderListPlaces() {
    // A standard user may not create files in c:\ on current systems.
    return {QStringLiteral("c:\\"), QDir::toNativeSeparators(QStandardPaths::writableLocation(
                                        QStandardPaths::AppLocalDataLocation))};
}

}  // namespace pmkest
