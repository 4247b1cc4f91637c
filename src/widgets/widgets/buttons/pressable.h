#pragma once
// What painted buttons and clickable pictures share for keyboard and screen-reader users:
// Space and Enter press them, a dotted mark shows keyboard focus, and they speak as buttons.

class QKeyEvent;
class QWidget;

namespace pmkest {

// True for a first Space, Return or Enter press (not a key held down).
bool IsPressKey(const QKeyEvent* event);
// A dotted inner rectangle in black and white, readable on any face; drawn only on screen.
void DrawFocusMark(QWidget* widget);
// Screen readers see the painted buttons and pictures as buttons that can be pressed.
void InstallPressableAccessibility();

}  // namespace pmkest
