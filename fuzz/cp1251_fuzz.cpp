// libFuzzer target: every byte string converts to text and back unchanged, and every text that
// has a CP1251 form converts to bytes and back unchanged.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/text/cp1251.h"

using namespace pmkest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> back = cp1251::FromQString(cp1251::ToQString(bytes));
    if (!back || *back != bytes) std::abort();

    // The same input as UTF-16 text, unpaired surrogates and all.
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    if (const std::optional<std::string> encoded = cp1251::FromQString(text)) {
        if (encoded->size() != static_cast<size_t>(text.size())) std::abort();
        if (cp1251::ToQString(*encoded) != text) std::abort();
    }
    return 0;
}
