#pragma once

namespace pmkest {

// The toolkit's own texts (standard buttons, file dialogs) in Russian or in English.
void UseToolkitLanguage(bool russian);

}  // namespace pmkest
