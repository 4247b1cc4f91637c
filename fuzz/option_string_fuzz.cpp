// libFuzzer target: any text parses, every parsed set composes, and one round settles it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/options/option_string.h"
#include "support/option_round_trip.h"

using namespace pmkest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const OptionSet first = ParseOptionString(text);
    const std::string once = ComposeOptionString(first);
    const OptionSet second = ParseOptionString(once);
    // Nothing hit a limit: the set comes back as it was.
    if (test::SurvivesRoundTrip(first) && !(second == first)) std::abort();
    // After one round the text is in its final form.
    const std::string twice = ComposeOptionString(second);
    if (!(ParseOptionString(twice) == second)) std::abort();
    if (ComposeOptionString(ParseOptionString(twice)) != twice) std::abort();
    return 0;
}
