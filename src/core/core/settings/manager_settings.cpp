#include "core/settings/manager_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "platform/files/folder_access.h"

namespace pmkest {

void ParseManagerSettings(const std::vector<std::string>& lines, SettingsValues& values,
                          const FileExistsFn& exists, std::vector<QString>& errors) {
    std::array<std::string, kRecentCount> recentKeys;
    for (int n = 1; n <= kRecentCount; ++n)
        recentKeys[static_cast<size_t>(n - 1)] = "PROJECT" + std::to_string(n) + "=";
    for (const std::string& line : lines) {
        try {
            ReadKeyInt("COUNTER=", line, values.counter);
        } catch (const ConversionError& e) {
            errors.push_back(cp1251::ToQString(e.what()));
        }
        ReadKeyText("PATHKEST=", line, values.kestFolder);
        ReadKeyText("PATHINIKEST=", line, values.kestIniFolder);
        ReadKeyText("PROJECTCUR=", line, values.projectCur);
        ReadKeyBool("FLAGHIDE=", line, values.hide);
        bool flagRus = values.language == Language::Russian;
        ReadKeyBool("FLAGRUS=", line, flagRus);
        values.language = flagRus ? Language::Russian : Language::English;
        for (size_t i = 0; i < recentKeys.size(); ++i) {
            std::string& entry = values.recent[i];
            if (line.find(recentKeys[i]) != std::string::npos) entry = KeyValue(line);
            if (!entry.empty() && !exists(entry)) entry.clear();
        }
    }
}

std::string ComposeManagerSettings(const SettingsValues& values) {
    std::vector<std::string> lines;
    lines.reserve(26);
    lines.push_back("COUNTER=" + std::to_string(values.counter));
    lines.push_back("PATHKEST=" + values.kestFolder);
    lines.push_back("PATHINIKEST=" + values.kestIniFolder);
    lines.push_back("PROJECTCUR=" + values.projectCur);
    lines.push_back(std::string("FLAGHIDE=") + (values.hide ? "TRUE" : "FALSE"));
    lines.push_back(std::string("FLAGRUS=") +
                    (values.language == Language::Russian ? "TRUE" : "FALSE"));
    for (int n = 1; n <= kRecentCount; ++n)
        lines.push_back("PROJECT" + std::to_string(n) + "=" +
                        values.recent[static_cast<size_t>(n - 1)]);
    return JoinLinesCrLf(lines);
}

std::optional<ValueFault> FindSettingsFault(const SettingsValues& values) {
    for (const std::string* value : {&values.kestFolder, &values.kestIniFolder, &values.projectCur})
        if (auto fault = FindValueFault(*value, KeysOf::ManagerSettings)) return fault;
    for (const std::string& entry : values.recent)
        if (auto fault = FindValueFault(entry, KeysOf::ManagerSettings)) return fault;
    return std::nullopt;
}

SettingsValues SettingsValuesOf(const AppState& state) {
    SettingsValues values;
    values.counter = state.launchCounter;
    values.kestFolder = state.kestFolder;
    values.kestIniFolder = state.kestIniFolder;
    values.projectCur = state.project.ProjectFile;
    values.hide = state.hideOption;
    values.language = state.language;
    values.recent = state.recent;
    return values;
}

void ApplySettingsValues(const SettingsValues& values, AppState& state) {
    state.launchCounter = values.counter;
    state.kestFolder = values.kestFolder;
    state.kestIniFolder = values.kestIniFolder;
    state.project.ProjectFile = values.projectCur;
    state.hideOption = values.hide;
    state.language = values.language;
    state.recent = values.recent;
}

SettingsLocation LocateManagerSettings(const QString& programFolder, QString userFolder) {
    const QString name = QString::fromLatin1(kSettingsFileName);
    // Shown in messages and held as CP1251 bytes: in the system's own form.
    const QString beside = QDir::toNativeSeparators(QDir(programFolder).filePath(name));
    if (FolderTakesNewFiles(programFolder)) return {beside, beside};
    // Linux: ~/.config/pmkest; Windows: %LOCALAPPDATA%\pmkest.
    if (userFolder.isEmpty())
        userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (userFolder.isEmpty()) return {beside, beside};  // no home: the close reports it
    const QString own = QDir::toNativeSeparators(QDir(userFolder).filePath(name));
    return {QFileInfo::exists(own) ? own : beside, own};
}

std::string SettingsPathFor(const std::string& projectFile) {
    const size_t folderEnd = LastSeparator(projectFile);
    const size_t dot = projectFile.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (folderEnd == std::string::npos || dot > folderEnd);
    return (hasExtension ? projectFile.substr(0, dot) : projectFile) + ".ini";
}

bool AddRecent(RecentProjects& recent, const std::string& path) {
    // An empty path would only push the oldest entry out.
    if (path.empty()) return false;
    for (const auto& entry : recent)
        if (!entry.empty() && entry == path) return false;
    for (size_t i = recent.size() - 1; i > 0; --i) recent[i] = recent[i - 1];
    recent[0] = path;
    return true;
}

}  // namespace pmkest
