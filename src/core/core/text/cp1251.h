#pragma once
// Texts are held as CP1251 bytes; these convert at the edges (screen, dialogs, file system).

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace pmkest::cp1251 {

QString ToQString(std::string_view bytes);
// nullopt when a character has no CP1251 byte; such a text is never stored mangled.
std::optional<std::string> FromQString(const QString& text);
// For literals written in UTF-8 source; every character must exist in CP1251.
std::string FromUtf8(std::string_view utf8);

}  // namespace pmkest::cp1251
