#include "platform/locale/installed_locale.h"

#include <locale.h>

namespace pmkest {

bool LocaleInstalled(const QString& locale) {
    const QByteArray name = locale.toLatin1();
    locale_t handle = newlocale(LC_ALL_MASK, name.constData(), static_cast<locale_t>(nullptr));
    if (!handle) return false;
    freelocale(handle);
    return true;
}

}  // namespace pmkest
