#include "widgets/buttons/painted_button.h"

#include "widgets/busy_wait.h"

namespace pmkest {

namespace {

constexpr uint32_t kFlashMilliseconds = 50;

void DrawLook(ButtonStyle& style, PaintBox& box, const QString& caption, ButtonLook look) {
    if (!box.isVisible()) return;
    PrepareLook(style, box.size(), look, box.isEnabled(), box.logicalDpiY(),
                box.devicePixelRatioF());
    DrawCaption(style, box, caption);
}

}  // namespace

void DrawButton(ButtonStyle& style, PaintBox& box, const QString& caption, bool hover) {
    if (!box.isVisible()) return;
    if (hover)
        DrawHover(style, box, caption);
    else
        DrawNormal(style, box, caption);
}

void DrawNormal(ButtonStyle& style, PaintBox& box, const QString& caption) {
    DrawLook(style, box, caption, ButtonLook::Normal);
}

void DrawHover(ButtonStyle& style, PaintBox& box, const QString& caption) {
    if (!box.isEnabled()) return;
    DrawLook(style, box, caption, ButtonLook::Hover);
}

void DrawPressed(ButtonStyle& style, PaintBox& box, const QString& caption) {
    if (!box.isVisible()) return;
    DrawLook(style, box, caption, ButtonLook::Pressed);
    BusyWait(kFlashMilliseconds);
    DrawHover(style, box, caption);
}

void DrawCaption(ButtonStyle& style, PaintBox& box, const QString& caption) {
    if (!box.isVisible()) return;
    DrawCaptionOnImage(style, caption);
    // A screen reader says the caption shown, in the interface language.
    if (box.accessibleName() != caption) box.setAccessibleName(caption);
    box.present(style.ButtonImage.image);
}

void WireButtonLooks(ButtonStyle& style, PaintBox& box, std::function<QString()> caption) {
    box.onPaint = [&style, &box, caption] { DrawButton(style, box, caption(), false); };
    QObject::connect(&box, &PaintBox::mouseMoved, &box,
                     [&style, &box, caption] { DrawButton(style, box, caption(), true); });
}

}  // namespace pmkest
