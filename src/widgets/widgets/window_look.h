#pragma once
// What every window of the program shares: its background and its dialog keys.

#include <QSize>

class QKeyEvent;
class QWidget;

namespace pmkest {

void SetWindowBackground(QWidget* window);
// Centred on its screen's free area and wholly inside it; a window larger than the screen
// keeps its top left corner on it.
void PlaceOnScreen(QWidget* window, QSize size);
// True (and the key consumed) for Enter and Escape: these windows close only by their buttons.
bool SwallowDialogKey(QKeyEvent* event);

}  // namespace pmkest
