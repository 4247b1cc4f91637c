#pragma once
// Colours in the classic 32-bit layout and the linear multi-colour blend of the buttons.

#include <QRect>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

class QPainter;
class QString;

namespace pmkest {

// Red in the low byte, then green, then blue; a set top byte marks a system colour.
using Colour = uint32_t;

constexpr Colour RgbColour(uint8_t red, uint8_t green, uint8_t blue) {
    return Colour(red) | (Colour(green) << 8) | (Colour(blue) << 16);
}

// The desktop's colour of an inactive window border, looked up when a blend is drawn.
constexpr Colour kInactiveBorderColour = 0xFF00000Bu;

constexpr Colour kBlack = RgbColour(0, 0, 0);
constexpr Colour kWhite = RgbColour(255, 255, 255);
constexpr Colour kRed = RgbColour(255, 0, 0);
constexpr Colour kBlue = RgbColour(0, 0, 255);
constexpr Colour kYellow = RgbColour(255, 255, 0);
constexpr Colour kGrey = RgbColour(128, 128, 128);

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// System colours take their current value from the application palette.
Rgb ResolveColour(Colour colour);

// The contrast ratio of two colours as readability guidelines measure it, 1 to 21.
double ContrastRatio(const Rgb& a, const Rgb& b);
// The preferred text colour when it reads on the background (4.5 : 1), else black or white.
Rgb ReadableTextColour(const Rgb& preferred, const Rgb& background);

enum class BlendDirection {
    AcrossHeight,  // horizontal lines, the first colour at the top
    AcrossWidth,   // vertical lines, the first colour at the left
};

// Fewer than two colours to blend.
class BlendError : public std::runtime_error {
public:
    BlendError();
    static QString text();
};

// n / k rounded to the nearest integer, halves to the even neighbour.
int RoundHalfEven(int n, int k);

// The colour each of the extent lines ends up with. Segment i runs from colour i to colour i+1
// over L = RoundHalfEven(extent, k) steps; the last one ends on the last line. A segment
// without steps keeps its first colour. Throws BlendError for fewer than two colours.
std::vector<Rgb> BlendLines(int extent, std::span<const Rgb> colours);

// Draws the blend over the rectangle, one line per pixel row (or column); the painter's pen
// is left as it was. Throws BlendError for fewer than two colours, drawing nothing.
void BlendFill(QPainter& canvas, const QRect& rect, BlendDirection direction,
               std::span<const Colour> colours);

}  // namespace pmkest
