#include "platform/locale/installed_locale.h"

namespace pmkest {

// Locales of this kind only matter to Wine, which a Windows build never starts.
bool LocaleInstalled(const QString&) {
    return false;
}

}  // namespace pmkest
