#include "widgets/buttons/button_style.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

namespace pmkest {

namespace {

FaceColours Face(Colour first, Colour second, Colour third) {
    FaceColours face;
    face.ColourCount = 3;
    face.Colours = {first, second, third, kBlack, kBlack, kBlack};
    return face;
}

QColor ToQColor(Colour colour) {
    const Rgb rgb = ResolveColour(colour);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

void InitButtonStyle(ButtonStyle& style) {
    style.NormalFace = Face(kGrey, kWhite, kGrey);
    style.HoverFace = Face(kWhite, kGrey, kWhite);
    style.PressedFace = Face(kWhite, kRed, kWhite);
    style.ButtonImage = ButtonCanvas{};
    style.FrameColour = kYellow;
    style.HoverFrameColour = kRed;
    style.FrameWidth = 1;
    style.FontSize = 8;
}

void SetProgramButtonLook(ButtonStyle& style) {
    style.FrameWidth = 3;
    style.NormalFace.Colours[0] = kWhite;
    style.NormalFace.Colours[1] = kBlue;
    style.NormalFace.Colours[2] = kRed;
    style.HoverFace.Colours[0] = kRed;
    style.HoverFace.Colours[1] = kBlue;
    style.HoverFace.Colours[2] = kWhite;
    style.TextColour = kWhite;
}

void PaintFace(QImage& image, const FaceColours& face, bool enabled) {
    if (image.isNull()) return;
    std::array<Colour, 6> colours = face.Colours;
    if (!enabled) colours.fill(kInactiveBorderColour);
    int n = face.ColourCount;
    if (n == 0 || n > 6) n = 1;
    QPainter painter(&image);
    if (n == 1)
        painter.fillRect(image.rect(), ToQColor(colours[0]));
    else
        BlendFill(painter, image.rect(), BlendDirection::AcrossHeight,
                  std::span<const Colour>(colours.data(), static_cast<size_t>(n)));
}

QPoint CaptionOrigin(QSize image, QSize caption) {
    return {(image.width() - caption.width()) / 2, (image.height() - caption.height()) / 2};
}

void PrepareLook(ButtonStyle& style, QSize size, ButtonLook look, bool enabled, int logicalDpi) {
    QImage& image = style.ButtonImage.image;
    style.ButtonImage.enabled = enabled;
    image = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
    if (!image.isNull()) {
        // Point sizes come out as on the screen the box is shown on.
        const int dotsPerMeter = static_cast<int>(std::lround(logicalDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
    }
    switch (look) {
        case ButtonLook::Normal:
            PaintFace(image, style.NormalFace, enabled);
            style.ButtonImage.penColour = style.FrameColour;
            break;
        case ButtonLook::Hover:
            PaintFace(image, style.HoverFace, enabled);
            style.ButtonImage.penColour = style.HoverFrameColour;
            break;
        case ButtonLook::Pressed:
            PaintFace(image, style.PressedFace, enabled);
            style.ButtonImage.penColour = style.FrameColour;
            break;
    }
}

void DrawCaptionOnImage(ButtonStyle& style, const QString& caption) {
    QImage& image = style.ButtonImage.image;
    if (image.isNull()) return;
    QPainter painter(&image);
    QFont font = QGuiApplication::font();
    if (style.FontSize > 0) font.setPointSize(style.FontSize);
    painter.setFont(font);
    const QFontMetrics metrics(font, &image);
    const int width = metrics.horizontalAdvance(caption);
    // A caption a little too wide is narrowed to stay clear of the frame; a far wider one is
    // drawn as it is and clipped.
    const int room = image.width() - 2 * style.FrameWidth - 2;
    constexpr double kNarrowest = 0.8;
    const bool narrowed = width > room && room > 0 && width * kNarrowest <= room;
    const QPoint origin =
        CaptionOrigin(image.size(), QSize(narrowed ? room : width, metrics.height()));
    Rgb text = ResolveColour(style.TextColour);
    if (!style.ButtonImage.enabled)
        text = ReadableTextColour(text, ResolveColour(kInactiveBorderColour));
    painter.setPen(QColor(text.red, text.green, text.blue));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.save();
    painter.translate(origin.x(), origin.y() + metrics.ascent());
    if (narrowed) painter.scale(static_cast<double>(room) / width, 1.0);
    painter.drawText(0, 0, caption);
    painter.restore();

    // Centred on the edge, as a wide pen draws a rectangle: the inner part of it shows.
    QPen pen(ToQColor(style.ButtonImage.penColour));
    pen.setWidth(style.FrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1));
}

const QImage& RenderButtonImage(ButtonStyle& style, QSize size, ButtonLook look, bool enabled,
                                const QString& caption, int logicalDpi) {
    PrepareLook(style, size, look, enabled, logicalDpi);
    DrawCaptionOnImage(style, caption);
    return style.ButtonImage.image;
}

}  // namespace pmkest
