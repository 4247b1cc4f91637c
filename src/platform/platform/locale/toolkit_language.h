#pragma once
// The toolkit's own texts (standard buttons, file dialogs) in the interface language.

#include <QLocale>

namespace pmkest {

// Russian loads the toolkit's Russian texts; any other language leaves them English.
void UseToolkitLanguage(QLocale::Language language);

}  // namespace pmkest
