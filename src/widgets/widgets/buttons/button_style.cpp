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

QSize LogicalSize(const QImage& image) {
    const qreal ratio = image.devicePixelRatio();
    return {qRound(image.width() / ratio), qRound(image.height() / ratio)};
}

void PaintFace(QImage& image, const FaceColours& face, bool enabled) {
    if (image.isNull()) return;
    std::array<Colour, 6> colours = face.Colours;
    if (!enabled) colours.fill(kInactiveBorderColour);
    int n = face.ColourCount;
    if (n == 0 || n > 6) n = 1;
    QPainter painter(&image);
    const QRect whole(QPoint(), LogicalSize(image));
    if (n == 1)
        painter.fillRect(whole, ToQColor(colours[0]));
    else
        BlendFill(painter, whole, BlendDirection::AcrossHeight,
                  std::span<const Colour>(colours.data(), static_cast<size_t>(n)));
}

QPoint CaptionOrigin(QSize image, QSize caption) {
    return {(image.width() - caption.width()) / 2, (image.height() - caption.height()) / 2};
}

void PrepareLook(ButtonStyle& style, QSize size, ButtonLook look, bool enabled, int logicalDpi,
                 qreal devicePixelRatio) {
    QImage& image = style.ButtonImage.image;
    style.ButtonImage.enabled = enabled;
    const qreal ratio = devicePixelRatio > 1.0 ? devicePixelRatio : 1.0;
    image = size.isEmpty() ? QImage()
                           : QImage(qRound(size.width() * ratio), qRound(size.height() * ratio),
                                    QImage::Format_RGB32);
    if (!image.isNull()) {
        image.setDevicePixelRatio(ratio);
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
    // A caption a little too wide is narrowed to stay clear of the frame; a far wider one (a
    // font wider than the one the captions were made for) gets a smaller size first.
    const QSize size = LogicalSize(image);
    const int room = size.width() - 2 * style.FrameWidth - 2;
    constexpr double kNarrowest = 0.8;
    constexpr double kSmallestPoints = 5.0;
    while (room > 0 && font.pointSizeF() > kSmallestPoints &&
           QFontMetrics(font, &image).horizontalAdvance(caption) * kNarrowest > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    painter.setFont(font);
    const QFontMetrics metrics(font, &image);
    const int width = metrics.horizontalAdvance(caption);
    const bool narrowed = width > room && room > 0 && width * kNarrowest <= room;
    const QPoint origin = CaptionOrigin(size, QSize(narrowed ? room : width, metrics.height()));
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
    painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
}

const QImage& RenderButtonImage(ButtonStyle& style, QSize size, ButtonLook look, bool enabled,
                                const QString& caption, int logicalDpi, qreal devicePixelRatio) {
    PrepareLook(style, size, look, enabled, logicalDpi, devicePixelRatio);
    DrawCaptionOnImage(style, caption);
    return style.ButtonImage.image;
}

}  // namespace pmkest
