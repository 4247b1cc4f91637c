#include "core/project/project_files.h"

#include <string_view>
#include <vector>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"

namespace pmkest {

namespace {

bool Contains(const std::string& line, std::string_view key) {
    return line.find(key) != std::string::npos;
}

// "OutPath=" must not take a "PascalOutPath=" line when writing.
bool StartsWithOutPath(const std::string& line) {
    return line.rfind("OutPath=", 0) == 0;
}

ProjectFileResult Missing() {
    return {ProjectFileResult::Missing, {}, {}};
}
ProjectFileResult Failed(const QString& error) {
    return {ProjectFileResult::Failed, error, {}};
}
ProjectFileResult Unstorable(ValueFault fault) {
    return {ProjectFileResult::Unstorable, {}, std::move(fault)};
}
ProjectFileResult Unreachable(const std::string& path) {
    return {ProjectFileResult::Unreachable, cp1251::ToQString(path), {}};
}

// Applies rule to every line; a line that gets a value which would not read back as itself
// stops the whole write, so the file keeps its old lines.
template <typename Rule>
std::optional<ValueFault> ApplyToLines(std::vector<std::string>& lines, const TProject& project,
                                       Rule rule) {
    for (std::string& line : lines) {
        std::string out = rule(line, project);
        if (out != line)
            if (auto fault = FindValueFault(KeyValue(out), KeysOf::ProjectSettings)) return fault;
        line = std::move(out);
    }
    return std::nullopt;
}

bool SetSourcePath(TProject& project, const KestPaths& paths) {
    const std::optional<std::string> folder = paths.toKest(FolderPart(project.ProjectFile));
    if (folder) project.SourcePath = *folder;
    return folder.has_value();
}

}  // namespace

Expected<std::optional<std::string>> ReadProjectFileLine(const std::string& projectFile,
                                                         Language language) {
    const Expected<std::string> read = ReadWholeFile(projectFile, language);
    if (!read) return Failure{read.error()};
    const std::vector<std::string> lines = SplitLines(*read);
    if (lines.empty()) return std::optional<std::string>();
    return std::optional<std::string>(lines.front());
}

std::string ApplyCreationKeys(const std::string& line, const TProject& project) {
    // Every test looks at the line as read; the last matching one wins.
    std::string out = line;
    if (Contains(line, "SourcePath=")) out = "SourcePath=" + project.SourcePath;
    if (Contains(line, "MainFile=")) out = "MainFile=";
    if (Contains(line, "OpenFiles=")) out = "OpenFiles=";
    if (Contains(line, "Active=")) out = "Active=";
    if (Contains(line, "PascalOutPath=")) out = "PascalOutPath=";
    if (StartsWithOutPath(line)) out = "OutPath=";
    if (Contains(line, "PascalIncludes=")) out = "PascalIncludes=";
    if (Contains(line, "PascalUnits=")) out = "PascalUnits=";
    return out;
}

std::string ApplySaveKeys(const std::string& line, const TProject& project) {
    std::string out = line;
    if (Contains(line, "SourcePath=")) out = "SourcePath=" + project.SourcePath;
    if (Contains(line, "PascalOutPath=")) out = "PascalOutPath=" + project.PascalOutPath;
    if (StartsWithOutPath(line)) out = "OutPath=" + project.PascalOutPath;
    if (Contains(line, "PascalIncludes=")) out = "PascalIncludes=" + project.PascalIncludes;
    if (Contains(line, "PascalUnits=")) out = "PascalUnits=" + project.PascalUnits;
    if (Contains(line, "PascalOptions=")) out = "PascalOptions=" + project.PascalOptions;
    return out;
}

void LoadProjectLine(const std::string& line, TProject& project) {
    ReadKeyText("SourcePath=", line, project.SourcePath);
    ReadKeyText("MainFile=", line, project.MainFile);
    ReadKeyText("Active=", line, project.Active);
    ReadKeyText("OutPath=", line, project.OutPath);
    ReadKeyText("ListPath=", line, project.ListPath);
    ReadKeyText("PascalOutPath=", line, project.PascalOutPath);
    ReadKeyText("PascalIncludes=", line, project.PascalIncludes);
    ReadKeyText("PascalUnits=", line, project.PascalUnits);
    ReadKeyText("PascalOptions=", line, project.PascalOptions);
}

ProjectFileResult LoadProject(TProject& project, const std::string& projectFile,
                              Language language) {
    // A folder or a pipe in a file's place is refused with a message, not passed over.
    if (!PathExists(projectFile)) return Missing();
    const Expected<std::optional<std::string>> first = ReadProjectFileLine(projectFile, language);
    if (!first) return Failed(first.error());
    // An empty project file names no file.
    const std::string named = first->value_or(std::string());
    if (!PathExists(named)) return Missing();
    const Expected<std::string> settings = ReadWholeFile(named, language);
    if (!settings) return Failed(settings.error());

    TProject loaded = project;
    loaded.ProjectFile = projectFile;
    loaded.SettingsFile = named;
    for (const std::string& line : SplitLines(*settings)) LoadProjectLine(line, loaded);
    project = std::move(loaded);
    return {};
}

ProjectFileResult InitProjectSettings(TProject& project, const std::string& kestIniFolder,
                                      Language language, const KestPaths& paths) {
    const std::string templatePath = kestIniFolder + "kest.ini";
    if (!FileExists(templatePath) || !FileExists(project.ProjectFile)) return Missing();
    if (!SetSourcePath(project, paths)) return Unreachable(FolderPart(project.ProjectFile));
    const Expected<std::string> read = ReadWholeFile(templatePath, language);
    if (!read) return Failed(read.error());
    std::vector<std::string> lines = SplitLines(*read);
    if (auto fault = ApplyToLines(lines, project, ApplyCreationKeys)) return Unstorable(*fault);
    const Status written = WriteFileAtomic(project.SettingsFile, JoinLinesCrLf(lines), language);
    if (!written) return Failed(written.error());
    return {};
}

ProjectFileResult SaveProjectSettings(TProject& project, Language language,
                                      const KestPaths& paths) {
    if (!FileExists(project.SettingsFile)) return Missing();
    if (!SetSourcePath(project, paths)) return Unreachable(FolderPart(project.ProjectFile));
    const Expected<std::string> read = ReadWholeFile(project.SettingsFile, language);
    if (!read) return Failed(read.error());
    std::vector<std::string> lines = SplitLines(*read);
    if (auto fault = ApplyToLines(lines, project, ApplySaveKeys)) return Unstorable(*fault);
    const Status written = WriteFileAtomic(project.SettingsFile, JoinLinesCrLf(lines), language);
    if (!written) return Failed(written.error());
    return {};
}

}  // namespace pmkest
