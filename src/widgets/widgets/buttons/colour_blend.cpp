#include "widgets/buttons/colour_blend.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <algorithm>
#include <cmath>

namespace pmkest {

Rgb ResolveColour(Colour colour) {
    if ((colour >> 24) != 0) {
        // The only system colour the program uses: a flat, inactive surface.
        const QColor c = QGuiApplication::palette().color(QPalette::Disabled, QPalette::Window);
        return {c.red(), c.green(), c.blue()};
    }
    return {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
}

namespace {
double RelativeLuminance(const Rgb& c) {
    auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}
}  // namespace

double ContrastRatio(const Rgb& a, const Rgb& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableTextColour(const Rgb& preferred, const Rgb& background) {
    constexpr double kReadable = 4.5;
    if (ContrastRatio(preferred, background) >= kReadable) return preferred;
    const Rgb black{0, 0, 0};
    const Rgb white{255, 255, 255};
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

BlendError::BlendError() : std::runtime_error(text().toStdString()) {}

QString BlendError::text() {
    return QStringLiteral("Ошибка смешения цветов.");
}

int RoundHalfEven(int n, int k) {
    const int quotient = n / k;
    const int twice = 2 * (n % k);
    if (twice > k || (twice == k && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

std::vector<Rgb> BlendLines(int extent, std::span<const Rgb> colours) {
    if (colours.size() < 2) throw BlendError();
    std::vector<Rgb> lines(static_cast<size_t>(std::max(extent, 0)), colours.front());
    const int k = static_cast<int>(colours.size()) - 1;
    const int length = RoundHalfEven(extent, k);
    // Integer arithmetic gives the exact cut toward zero of c + (d - c) * q / e.
    auto step = [](int from, int to, int q, int e) {
        return e == 0 ? from : (from * e + (to - from) * q) / e;
    };
    for (int i = 0; i < k; ++i) {
        const Rgb& from = colours[static_cast<size_t>(i)];
        const Rgb& to = colours[static_cast<size_t>(i) + 1];
        const int last = i == k - 1 ? extent - i * length - 1 : length;
        for (int q = 0; q <= last; ++q) {
            const int p = i * length + q;
            if (p < 0 || p >= extent) continue;
            lines[static_cast<size_t>(p)] = {step(from.red, to.red, q, last),
                                             step(from.green, to.green, q, last),
                                             step(from.blue, to.blue, q, last)};
        }
    }
    return lines;
}

void BlendFill(QPainter& canvas, const QRect& rect, BlendDirection direction,
               std::span<const Colour> colours) {
    if (colours.size() < 2) throw BlendError();
    std::vector<Rgb> resolved;
    resolved.reserve(colours.size());
    for (Colour c : colours) resolved.push_back(ResolveColour(c));
    const bool rows = direction == BlendDirection::AcrossHeight;
    const std::vector<Rgb> lines = BlendLines(rows ? rect.height() : rect.width(), resolved);
    for (size_t p = 0; p < lines.size(); ++p) {
        const QColor colour(lines[p].red, lines[p].green, lines[p].blue);
        const int at = static_cast<int>(p);
        if (rows)
            canvas.fillRect(QRect(rect.left(), rect.top() + at, rect.width(), 1), colour);
        else
            canvas.fillRect(QRect(rect.left() + at, rect.top(), 1, rect.height()), colour);
    }
}

}  // namespace pmkest
