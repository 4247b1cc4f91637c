// libFuzzer target: any bytes read as the manager settings file. Errors are short, the writer
// gives 26 lines, and what it would write reads back as the same values.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/files/text_file.h"
#include "core/settings/manager_settings.h"

using namespace pmkest;

namespace {

bool Exists(const std::string& path) {
    return !path.empty() && path[0] != '-';  // some entries survive, some are emptied
}

bool Same(const SettingsValues& a, const SettingsValues& b) {
    return a.counter == b.counter && a.kestFolder == b.kestFolder &&
           a.kestIniFolder == b.kestIniFolder && a.projectCur == b.projectCur && a.hide == b.hide &&
           a.language == b.language && a.recent == b.recent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SettingsValues first;
    std::vector<QString> errors;
    ParseManagerSettings(SplitLines(text), first, Exists, errors);
    // The error box quotes a bad value cut short.
    for (const QString& error : errors)
        if (error.size() > 100) std::abort();

    const std::string written = ComposeManagerSettings(first);
    if (SplitLines(written).size() != 26) std::abort();
    // Such values are refused by the writer; the file is not written.
    if (FindSettingsFault(first)) return 0;
    SettingsValues second;
    errors.clear();
    ParseManagerSettings(SplitLines(written), second, Exists, errors);
    if (!errors.empty() || !Same(first, second)) std::abort();
    return 0;
}
