#pragma once
// The project file pair: the one-line project file (*.mpm) and the project settings file,
// a full copy of kest.ini holding the project's own values under KEST's keys.

#include <QString>
#include <optional>
#include <string>

#include "core/project/tproject.h"
#include "core/settings/stored_value.h"
#include "core/text/language.h"
#include "core/wine/kest_paths.h"
#include "platform/expected.h"

namespace pmkest {

// Done; Missing: a file the operation needs does not exist (callers stay silent);
// Failed: an I/O error, whose text the caller shows; Unreachable: Wine cannot map the
// folder in error, so nothing was written; Unstorable: a value would not read back from its
// line as itself (fault), so nothing was written.
struct ProjectFileResult {
    enum Outcome { Done, Missing, Failed, Unreachable, Unstorable } outcome = Done;
    QString error;
    ValueFault fault;
    bool ok() const { return outcome == Done; }
};

// The first line of a project file, exactly as stored; none when the file is empty.
Expected<std::optional<std::string>> ReadProjectFileLine(const std::string& projectFile,
                                                         Language language);

// Line rules, applied to one line as read.
std::string ApplyCreationKeys(const std::string& line, const TProject& project);
std::string ApplySaveKeys(const std::string& line, const TProject& project);
void LoadProjectLine(const std::string& line, TProject& project);

// Makes projectFile the current project and loads its values; a failure changes nothing.
ProjectFileResult LoadProject(TProject& project, const std::string& projectFile, Language language);
// Writes the settings file of a new project from kestIniFolder + "kest.ini".
// The source path is written in the form that paths gives KEST.
ProjectFileResult InitProjectSettings(TProject& project, const std::string& kestIniFolder,
                                      Language language, const KestPaths& paths = KestPaths());
// Rewrites the current settings file in place, line for line, with the current values.
ProjectFileResult SaveProjectSettings(TProject& project, Language language,
                                      const KestPaths& paths = KestPaths());

}  // namespace pmkest
