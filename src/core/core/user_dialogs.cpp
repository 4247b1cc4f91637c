#include "core/user_dialogs.h"

#include "core/text/ui_texts.h"

namespace pmkest {

void UserDialogs::reportError(bool russian, const QString& text) {
    showMessage(MessageKind::Error, Tr(UiText::TitleError, russian), text);
}

}  // namespace pmkest
