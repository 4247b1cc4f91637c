// libFuzzer target: any bytes as a project settings file, loaded, then saved and made into a
// new project's file. Lines the program does not know come out byte for byte, no line is added
// or lost, a second pass changes nothing, and the written file splits into the same lines.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/text_file.h"
#include "core/project/project_files.h"
#include "core/text/str_utils.h"

using namespace pmkest;

namespace {

bool Has(const std::string& line, std::string_view key) {
    return line.find(key) != std::string::npos;
}

bool KnownWhenSaving(const std::string& line) {
    return Has(line, "SourcePath=") || Has(line, "PascalOutPath=") ||
           line.rfind("OutPath=", 0) == 0 || Has(line, "PascalIncludes=") ||
           Has(line, "PascalUnits=") || Has(line, "PascalOptions=");
}

bool KnownWhenCreating(const std::string& line) {
    return Has(line, "SourcePath=") || Has(line, "MainFile=") || Has(line, "OpenFiles=") ||
           Has(line, "Active=") || Has(line, "PascalOutPath=") || line.rfind("OutPath=", 0) == 0 ||
           Has(line, "PascalIncludes=") || Has(line, "PascalUnits=");
}

// One pass as the writer makes it; false when it refuses a value (nothing would be written).
template <typename Rule>
bool Pass(const std::vector<std::string>& in, const TProject& project, Rule rule,
          std::vector<std::string>& out) {
    out.clear();
    for (const std::string& line : in) {
        std::string next = rule(line, project);
        if (next != line && FindValueFault(KeyValue(next), KeysOf::ProjectSettings)) return false;
        out.push_back(std::move(next));
    }
    return true;
}

template <typename Rule, typename Known>
void Check(const std::vector<std::string>& lines, const TProject& project, Rule rule, Known known) {
    std::vector<std::string> out;
    if (!Pass(lines, project, rule, out)) return;
    if (out.size() != lines.size()) std::abort();
    for (size_t i = 0; i < lines.size(); ++i)
        if (!known(lines[i]) && out[i] != lines[i]) std::abort();
    // The file as written reads back as these lines, and writing it again changes nothing.
    const std::vector<std::string> reread = SplitLines(JoinLinesCrLf(out));
    if (reread != out) std::abort();
    std::vector<std::string> again;
    if (!Pass(reread, project, rule, again) || again != out) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(text);
    TProject project;
    project.ProjectFile = "/w/blink/blink.mpm";
    for (const std::string& line : lines) LoadProjectLine(line, project);
    // As a save sets it: the folder of the project file.
    project.SourcePath = "/w/blink/";
    Check(lines, project, ApplySaveKeys, KnownWhenSaving);
    Check(lines, project, ApplyCreationKeys, KnownWhenCreating);
    return 0;
}
