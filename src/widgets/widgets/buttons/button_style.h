#pragma once
// The one style of every painted button and the drawing of a look onto its off-screen image.

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>

#include "widgets/buttons/colour_blend.h"

namespace pmkest {

struct FaceColours {
    uint8_t ColourCount = 0;          // 1..6; anything else counts as 1
    std::array<Colour, 6> Colours{};  // top edge to bottom edge
};

// Shared by all buttons; holds whatever the last button drawn left in it.
struct ButtonCanvas {
    QImage image;
    Colour penColour = kBlack;  // the outline colour chosen by the look
    bool enabled = true;        // a disabled face is flat; its caption must still read
};

struct ButtonStyle {
    FaceColours NormalFace;
    FaceColours HoverFace;
    FaceColours PressedFace;
    ButtonCanvas ButtonImage;
    Colour FrameColour = kBlack;
    Colour HoverFrameColour = kBlack;
    uint8_t FrameWidth = 0;
    int32_t FontSize = 0;
    Colour TextColour = kBlack;
};

enum class ButtonLook { Normal, Hover, Pressed };

void InitButtonStyle(ButtonStyle& style);
// Frame 3 wide, white-blue-red at rest, red-blue-white under the mouse, white captions.
void SetProgramButtonLook(ButtonStyle& style);

// The image's size in the widget's pixels: a button drawn for a high-density screen has more.
QSize LogicalSize(const QImage& image);

// Fills the whole image with the face, one blend line per widget pixel row, as sharp as the
// screen allows; a disabled face is flat in the inactive-border colour.
void PaintFace(QImage& image, const FaceColours& face, bool enabled);

// Top left corner of a caption of the given size, centred, halves cut toward zero.
QPoint CaptionOrigin(QSize image, QSize caption);

// Resizes the style's image and paints the look's face and outline colour into it; size is in
// widget pixels, and the image has devicePixelRatio screen pixels to each.
void PrepareLook(ButtonStyle& style, QSize size, ButtonLook look, bool enabled, int logicalDpi,
                 qreal devicePixelRatio = 1.0);
// Caption and outline onto the style's image.
void DrawCaptionOnImage(ButtonStyle& style, const QString& caption);
// Both steps: the complete look as it is copied to a box.
const QImage& RenderButtonImage(ButtonStyle& style, QSize size, ButtonLook look, bool enabled,
                                const QString& caption, int logicalDpi = 96,
                                qreal devicePixelRatio = 1.0);

}  // namespace pmkest
