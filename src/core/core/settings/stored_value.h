#pragma once
// Values written after a key of the manager or the project settings file. Their readers find
// a key anywhere in a line, so a value holding a line break or the text of a key would not
// read back as that one value: it could set another key (a foreign KEST folder, for one).

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/language.h"

namespace pmkest {

class UserDialogs;

enum class KeysOf { ManagerSettings, ProjectSettings, Both };

// What keeps a value from reading back as itself.
struct ValueFault {
    std::string value;
    std::string key;  // the key text found in it; empty for a line break
};
std::optional<ValueFault> FindValueFault(std::string_view value, KeysOf keys = KeysOf::Both);
// The message that names the value and what is wrong with it.
QString ValueFaultText(const ValueFault& fault, Language language);

// A path handed in by a dialog or the command line, as the CP1251 bytes the program keeps.
// None, with the message in error, when it has no CP1251 form or would not read back.
std::optional<std::string> StorablePath(const QString& path, Language language, QString& error);
// A Windows path (backslashes) as Windows opens it: each name without trailing dots and blanks.
QString WindowsNameForm(const QString& path);
// The same, with the message shown as an error.
std::optional<std::string> StorablePath(const QString& path, UserDialogs& dialogs,
                                        Language language);

}  // namespace pmkest
