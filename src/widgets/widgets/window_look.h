#pragma once
// What every window of the program shares: its background and its dialog keys.

#include <QSize>
#include <functional>

class QKeyEvent;
class QWidget;

namespace pmkest {

void SetWindowBackground(QWidget* window);
// Centred on its screen's free area and wholly inside it; a window larger than the screen
// keeps its top left corner on it.
void PlaceOnScreen(QWidget* window, QSize size);
// True (and the key consumed) for Enter and Escape. Escape cancels, as the window's Cancel
// does; Enter presses the button that has the focus and otherwise closes nothing.
bool HandleDialogKey(QKeyEvent* event, const std::function<void()>& cancel);

}  // namespace pmkest
