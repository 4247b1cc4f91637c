#pragma once
// The project record: the current project's files and the KEST settings it carries.

#include <string>

namespace pmkest {

// The current project: eleven CP1251 texts; empty means "not set".
struct TProject {
    std::string ProjectFile;
    std::string SettingsFile;
    std::string SourcePath;
    std::string MainFile;
    std::string Active;
    std::string OutPath;
    std::string ListPath;
    std::string PascalOutPath;
    std::string PascalIncludes;
    std::string PascalUnits;
    std::string PascalOptions;
};

}  // namespace pmkest
