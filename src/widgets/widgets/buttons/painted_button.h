#pragma once
// Paint boxes drawn as buttons: normal, hover and the click flash, each composed off screen
// and copied onto the box in one step.

#include <QString>
#include <functional>

#include "widgets/buttons/button_style.h"
#include "widgets/buttons/paint_box.h"

namespace pmkest {

// Hover look when the flag is set, else normal; nothing for a hidden box.
void DrawButton(ButtonStyle& style, PaintBox& box, const QString& caption, bool hover);
void DrawNormal(ButtonStyle& style, PaintBox& box, const QString& caption);
// Draws nothing on a disabled box, which keeps its flat look under the mouse.
void DrawHover(ButtonStyle& style, PaintBox& box, const QString& caption);
// Pressed look, 50 ms without handling events, then the hover look.
void DrawPressed(ButtonStyle& style, PaintBox& box, const QString& caption);
// Makes the box paint itself with the normal look and show the hover look under the mouse;
// caption gives the caption of the moment.
void WireButtonLooks(ButtonStyle& style, PaintBox& box, std::function<QString()> caption);
// Caption and outline onto the style's image, then the image onto the box.
void DrawCaption(ButtonStyle& style, PaintBox& box, const QString& caption);

}  // namespace pmkest
