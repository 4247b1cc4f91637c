#pragma once
// The interface language, which the flags of the main window switch.

namespace pmkest {

enum class Language { English, Russian };

}  // namespace pmkest
