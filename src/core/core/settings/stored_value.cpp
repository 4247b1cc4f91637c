#include "core/settings/stored_value.h"

#include <QDir>
#include <array>

#include "core/app_state.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/path_rules.h"

namespace pmkest {

namespace {

constexpr std::array<std::string_view, 6> kManagerKeys = {
    "COUNTER=", "PATHKEST=", "PATHINIKEST=", "PROJECTCUR=", "FLAGHIDE=", "FLAGRUS="};
// "PascalOutPath=" before "OutPath=", so the message names the longer key it holds.
constexpr std::array<std::string_view, 10> kProjectKeys = {
    "SourcePath=", "MainFile=",       "OpenFiles=",   "Active=",        "PascalOutPath=",
    "OutPath=",    "PascalIncludes=", "PascalUnits=", "PascalOptions=", "ListPath="};

// "PROJECT" + n + "=" for n = 1..20, as the reader of the recent list looks for it.
std::optional<std::string> RecentKeyIn(std::string_view value) {
    for (int n = 1; n <= kRecentCount; ++n) {
        const std::string key = "PROJECT" + std::to_string(n) + "=";
        if (value.find(key) != std::string_view::npos) return key;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ValueFault> FindValueFault(std::string_view value, KeysOf keys) {
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return ValueFault{std::string(value), {}};
    if (keys != KeysOf::ProjectSettings) {
        for (std::string_view key : kManagerKeys)
            if (value.find(key) != std::string_view::npos)
                return ValueFault{std::string(value), std::string(key)};
        if (auto key = RecentKeyIn(value)) return ValueFault{std::string(value), *key};
    }
    if (keys != KeysOf::ManagerSettings) {
        for (std::string_view key : kProjectKeys)
            if (value.find(key) != std::string_view::npos)
                return ValueFault{std::string(value), std::string(key)};
    }
    return std::nullopt;
}

QString ValueFaultText(const ValueFault& fault, Language language) {
    const QString value = QDir::toNativeSeparators(cp1251::ToQString(fault.value));
    if (fault.key.empty()) return Tr(UiText::PathHoldsLineBreak, language).arg(value);
    return Tr(UiText::PathHoldsKey, language).arg(value, cp1251::ToQString(fault.key));
}

QString WindowsNameForm(const QString& path) {
    QStringList parts = path.split(QLatin1Char('\\'));
    for (QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String("..")) continue;
        while (part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' '))) part.chop(1);
    }
    return parts.join(QLatin1Char('\\'));
}

std::optional<std::string> StorablePath(const QString& entered, Language language, QString& error) {
    // Kept in the form the system opens, so that what is shown and stored is what is used.
    const QString path = kTrailingDotsDropped ? WindowsNameForm(entered) : entered;
    std::optional<std::string> bytes = cp1251::FromQString(path);
    if (!bytes) {
        error = Tr(UiText::PathNotStorable, language).arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    if (const std::optional<ValueFault> fault = FindValueFault(*bytes)) {
        error = ValueFaultText(*fault, language);
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> StorablePath(const QString& path, UserDialogs& dialogs,
                                        Language language) {
    QString error;
    std::optional<std::string> bytes = StorablePath(path, language, error);
    if (!bytes) dialogs.reportError(language, error);
    return bytes;
}

}  // namespace pmkest
