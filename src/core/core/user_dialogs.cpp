#include "core/user_dialogs.h"

#include "core/text/ui_texts.h"

namespace pmkest {

void UserDialogs::reportError(Language language, const QString& text) {
    showMessage(MessageKind::Error, Tr(UiText::TitleError, language), text);
}

}  // namespace pmkest
