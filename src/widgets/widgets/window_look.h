#pragma once
// What every window of the program shares: its background and its dialog keys.

#include <QColor>

class QKeyEvent;
class QWidget;

namespace pmkest {

inline const QColor kWindowBackground(221, 215, 204);

void SetWindowBackground(QWidget* window);
// True (and the key consumed) for Enter and Escape: these windows close only by their buttons.
bool SwallowDialogKey(QKeyEvent* event);

}  // namespace pmkest
