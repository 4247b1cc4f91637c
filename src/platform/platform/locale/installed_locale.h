#pragma once
// Whether the C library can switch to a locale, for the locales handed to child programs.

#include <QString>

namespace pmkest {

bool LocaleInstalled(const QString& locale);

}  // namespace pmkest
