#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTest>
#include <vector>

#include "support/test_main.h"
#include "widgets/buttons/painted_button.h"

using namespace pmkest;

Q_DECLARE_METATYPE(pmkest::Rgb)

namespace {

Rgb At(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return {c.red(), c.green(), c.blue()};
}

QByteArray Show(const Rgb& c) {
    return QByteArray::number(c.red) + "," + QByteArray::number(c.green) + "," +
           QByteArray::number(c.blue);
}

#define COMPARE_RGB(actual, expected) QCOMPARE(Show(actual), Show(expected))

ButtonStyle ProgramStyle() {
    ButtonStyle style;
    InitButtonStyle(style);
    SetProgramButtonLook(style);
    return style;
}

constexpr Rgb kWhiteRgb{255, 255, 255};
constexpr Rgb kBlueRgb{0, 0, 255};
constexpr Rgb kRedRgb{255, 0, 0};
constexpr Rgb kYellowRgb{255, 255, 0};

// Records what a box shows each time it paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(PaintBox& box) : m_box(box) { box.installEventFilter(this); }
    std::vector<QImage> frames;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) frames.push_back(m_box.canvas());
        return false;
    }

private:
    PaintBox& m_box;
};

}  // namespace

class TestPaintedButton : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void blendLines_data();
    void blendLines();
    void blendNeedsTwoColours();
    void blendAcrossWidth();
    void styleDefaults();
    void paintFaceColourCount_data();
    void paintFaceColourCount();
    void looksOnPixels_data();
    void looksOnPixels();
    void disabledIsFlat();
    void disabledCaptionReads_data();
    void disabledCaptionReads();
    void captionOrigin_data();
    void captionOrigin();
    void captionIsCentred();
    void sharpOnDenseScreens();
    void degenerateSizes_data();
    void degenerateSizes();
    void hiddenBoxDrawsNothing();
    void disabledBoxIgnoresHover();
    void pressedFlashEndsInHover();
};

void TestPaintedButton::roundHalfEven_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("rounded");
    QTest::newRow("21/2 down to even") << 21 << 2 << 10;
    QTest::newRow("23/2 up to even") << 23 << 2 << 12;
    QTest::newRow("24/2 exact") << 24 << 2 << 12;
    QTest::newRow("25/2") << 25 << 2 << 12;
    QTest::newRow("27/2") << 27 << 2 << 14;
    QTest::newRow("1/2") << 1 << 2 << 0;
    QTest::newRow("3/2") << 3 << 2 << 2;
    QTest::newRow("10/3 below half") << 10 << 3 << 3;
    QTest::newRow("11/3 above half") << 11 << 3 << 4;
    QTest::newRow("0/5") << 0 << 5 << 0;
}

void TestPaintedButton::roundHalfEven() {
    QFETCH(int, n);
    QFETCH(int, k);
    QFETCH(int, rounded);
    QCOMPARE(RoundHalfEven(n, k), rounded);
}

void TestPaintedButton::blendLines_data() {
    QTest::addColumn<int>("extent");
    QTest::addColumn<int>("line");
    QTest::addColumn<Rgb>("colour");
    // White, blue, red: the program's normal face.
    QTest::newRow("24: top white") << 24 << 0 << kWhiteRgb;
    QTest::newRow("24: row 6 halfway") << 24 << 6 << Rgb{127, 127, 255};
    QTest::newRow("24: row 12 blue") << 24 << 12 << kBlueRgb;
    QTest::newRow("24: row 20") << 24 << 20 << Rgb{185, 0, 69};
    QTest::newRow("24: row 21") << 24 << 21 << Rgb{208, 0, 46};
    QTest::newRow("24: last row red") << 24 << 23 << kRedRgb;
    QTest::newRow("21: splits at 10") << 21 << 10 << kBlueRgb;
    QTest::newRow("21: row 9") << 21 << 9 << Rgb{25, 25, 255};
    QTest::newRow("21: row 15") << 21 << 15 << Rgb{127, 0, 127};
    QTest::newRow("21: last row red") << 21 << 20 << kRedRgb;
    QTest::newRow("23: splits at 12") << 23 << 12 << kBlueRgb;
    QTest::newRow("23: last row red") << 23 << 22 << kRedRgb;
    QTest::newRow("3: middle") << 3 << 1 << Rgb{127, 127, 255};
    QTest::newRow("3: last segment has no step") << 3 << 2 << kBlueRgb;
    QTest::newRow("2: top white") << 2 << 0 << kWhiteRgb;
    QTest::newRow("2: bottom keeps segment start") << 2 << 1 << kBlueRgb;
    QTest::newRow("1: one row") << 1 << 0 << kBlueRgb;
}

void TestPaintedButton::blendLines() {
    QFETCH(int, extent);
    QFETCH(int, line);
    QFETCH(Rgb, colour);
    const Rgb face[] = {kWhiteRgb, kBlueRgb, kRedRgb};
    const std::vector<Rgb> lines = BlendLines(extent, face);
    QCOMPARE(int(lines.size()), extent);
    COMPARE_RGB(lines[static_cast<size_t>(line)], colour);
}

void TestPaintedButton::blendNeedsTwoColours() {
    const Rgb one[] = {kRedRgb};
    QVERIFY_THROWS_EXCEPTION(BlendError, BlendLines(10, one));
    QVERIFY_THROWS_EXCEPTION(BlendError, BlendLines(10, std::span<const Rgb>()));
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QImage before = image.copy();
    const Colour colours[] = {kRed};
    {
        QPainter painter(&image);
        try {
            BlendFill(painter, image.rect(), BlendDirection::AcrossHeight, colours);
            QFAIL("no error");
        } catch (const BlendError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Ошибка смешения цветов."));
        }
    }
    QCOMPARE(image, before);
    // Degenerate extents with many colours still stay inside the table.
    const Rgb six[] = {kWhiteRgb, kBlueRgb, kRedRgb, kWhiteRgb, kBlueRgb, kRedRgb};
    for (int extent : {0, 1, 2, 3, 4, 5, 7}) QCOMPARE(int(BlendLines(extent, six).size()), extent);
}

void TestPaintedButton::blendAcrossWidth() {
    QImage image(30, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    const Colour colours[] = {kBlack, kWhite};
    QPainter painter(&image);
    painter.setPen(QPen(Qt::magenta, 5));
    BlendFill(painter, QRect(5, 1, 20, 2), BlendDirection::AcrossWidth, colours);
    QCOMPARE(painter.pen(), QPen(Qt::magenta, 5));
    painter.end();
    COMPARE_RGB(At(image, 5, 1), (Rgb{0, 0, 0}));
    COMPARE_RGB(At(image, 24, 2), kWhiteRgb);
    COMPARE_RGB(At(image, 15, 1), (Rgb{134, 134, 134}));  // 255 * 10 / 19
    // Nothing outside the rectangle.
    COMPARE_RGB(At(image, 4, 1), (Rgb{0, 255, 0}));
    COMPARE_RGB(At(image, 25, 1), (Rgb{0, 255, 0}));
    COMPARE_RGB(At(image, 10, 0), (Rgb{0, 255, 0}));
    COMPARE_RGB(At(image, 10, 3), (Rgb{0, 255, 0}));
}

void TestPaintedButton::styleDefaults() {
    ButtonStyle style;
    InitButtonStyle(style);
    QCOMPARE(style.NormalFace.ColourCount, uint8_t(3));
    QCOMPARE(style.NormalFace.Colours, (std::array<Colour, 6>{kGrey, kWhite, kGrey, 0, 0, 0}));
    QCOMPARE(style.HoverFace.Colours, (std::array<Colour, 6>{kWhite, kGrey, kWhite, 0, 0, 0}));
    QCOMPARE(style.PressedFace.Colours, (std::array<Colour, 6>{kWhite, kRed, kWhite, 0, 0, 0}));
    QCOMPARE(style.FrameColour, kYellow);
    QCOMPARE(style.HoverFrameColour, kRed);
    QCOMPARE(style.FrameWidth, uint8_t(1));
    QCOMPARE(style.FontSize, 8);
    QCOMPARE(style.TextColour, kBlack);

    SetProgramButtonLook(style);
    QCOMPARE(style.NormalFace.Colours, (std::array<Colour, 6>{kWhite, kBlue, kRed, 0, 0, 0}));
    QCOMPARE(style.HoverFace.Colours, (std::array<Colour, 6>{kRed, kBlue, kWhite, 0, 0, 0}));
    QCOMPARE(style.PressedFace.Colours, (std::array<Colour, 6>{kWhite, kRed, kWhite, 0, 0, 0}));
    QCOMPARE(style.HoverFace.ColourCount, uint8_t(3));
    QCOMPARE(style.FrameWidth, uint8_t(3));
    QCOMPARE(style.TextColour, kWhite);
    QCOMPARE(style.FrameColour, kYellow);
    QCOMPARE(style.FontSize, 8);
}

void TestPaintedButton::paintFaceColourCount_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<Rgb>("top");
    QTest::addColumn<Rgb>("bottom");
    QTest::newRow("0 reads as 1") << 0 << kWhiteRgb << kWhiteRgb;
    QTest::newRow("1 solid") << 1 << kWhiteRgb << kWhiteRgb;
    QTest::newRow("2 blends") << 2 << kWhiteRgb << kBlueRgb;
    QTest::newRow("6 blends") << 6 << kWhiteRgb << Rgb{0, 255, 0};
    QTest::newRow("7 reads as 1") << 7 << kWhiteRgb << kWhiteRgb;
    QTest::newRow("255 reads as 1") << 255 << kWhiteRgb << kWhiteRgb;
}

void TestPaintedButton::paintFaceColourCount() {
    QFETCH(int, count);
    QFETCH(Rgb, top);
    QFETCH(Rgb, bottom);
    FaceColours face;
    face.ColourCount = static_cast<uint8_t>(count);
    face.Colours = {kWhite, kBlue, kRed, kYellow, kBlack, RgbColour(0, 255, 0)};
    QImage image(8, 20, QImage::Format_RGB32);
    PaintFace(image, face, true);
    COMPARE_RGB(At(image, 3, 0), top);
    COMPARE_RGB(At(image, 3, 19), bottom);
}

void TestPaintedButton::looksOnPixels_data() {
    QTest::addColumn<int>("look");
    QTest::addColumn<int>("y");
    QTest::addColumn<Rgb>("colour");
    const int normal = int(ButtonLook::Normal);
    const int hover = int(ButtonLook::Hover);
    const int pressed = int(ButtonLook::Pressed);
    QTest::newRow("normal row 2") << normal << 2 << Rgb{212, 212, 255};
    QTest::newRow("normal row 6") << normal << 6 << Rgb{127, 127, 255};
    QTest::newRow("normal row 12") << normal << 12 << kBlueRgb;
    QTest::newRow("normal row 20") << normal << 20 << Rgb{185, 0, 69};
    QTest::newRow("normal outline top") << normal << 0 << kYellowRgb;
    QTest::newRow("normal outline inner top") << normal << 1 << kYellowRgb;
    QTest::newRow("normal outline bottom") << normal << 23 << kYellowRgb;
    QTest::newRow("normal outline inner bottom") << normal << 22 << kYellowRgb;
    QTest::newRow("hover row 6") << hover << 6 << Rgb{127, 0, 127};
    QTest::newRow("hover row 12") << hover << 12 << kBlueRgb;
    QTest::newRow("hover row 20") << hover << 20 << Rgb{185, 185, 255};
    QTest::newRow("hover outline") << hover << 1 << kRedRgb;
    QTest::newRow("pressed row 6") << pressed << 6 << Rgb{255, 127, 127};
    QTest::newRow("pressed row 12") << pressed << 12 << kRedRgb;
    QTest::newRow("pressed row 20") << pressed << 20 << Rgb{255, 185, 185};
    QTest::newRow("pressed outline") << pressed << 0 << kYellowRgb;
}

void TestPaintedButton::looksOnPixels() {
    QFETCH(int, look);
    QFETCH(int, y);
    QFETCH(Rgb, colour);
    ButtonStyle style = ProgramStyle();
    const QImage& image =
        RenderButtonImage(style, QSize(100, 24), ButtonLook(look), true, QStringLiteral("Start"));
    QCOMPARE(image.size(), QSize(100, 24));
    COMPARE_RGB(At(image, 10, y), colour);
    // The frame is two pixels wide on either side, as a 3-pixel pen centred on the edge.
    const Rgb frame = At(image, 0, 12);
    COMPARE_RGB(At(image, 1, 12), frame);
    COMPARE_RGB(At(image, 98, 12), frame);
    COMPARE_RGB(At(image, 99, 12), frame);
    QVERIFY(!(At(image, 2, 12) == frame));
    QVERIFY(!(At(image, 97, 12) == frame));
}

void TestPaintedButton::disabledIsFlat() {
    ButtonStyle style = ProgramStyle();
    const QImage image =
        RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, false, QString());
    const Rgb flat = ResolveColour(kInactiveBorderColour);
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 98; ++x) COMPARE_RGB(At(image, x, y), flat);
    COMPARE_RGB(At(image, 0, 0), kYellowRgb);
    // With a caption the caption still shows.
    const QImage captioned =
        RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, false, QStringLiteral("Help"));
    QVERIFY(captioned != image);
}

void TestPaintedButton::disabledCaptionReads_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("Start") << QStringLiteral("Start");
    QTest::newRow("Выбрать проект") << QStringLiteral("Выбрать проект");
}

void TestPaintedButton::disabledCaptionReads() {
    QFETCH(QString, caption);
    ButtonStyle style = ProgramStyle();
    const QImage image =
        RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, false, caption);
    const Rgb flat = ResolveColour(kInactiveBorderColour);
    // The glyphs' solid pixels carry the caption colour; edges are blended with the face.
    int ink = 0;
    int readable = 0;
    for (int y = 3; y < 21; ++y)
        for (int x = 3; x < 97; ++x) {
            const Rgb c = At(image, x, y);
            if (c == flat) continue;
            ++ink;
            if (ContrastRatio(c, flat) >= 4.5) ++readable;
        }
    QVERIFY(ink > 0);
    QVERIFY2(readable * 4 >= ink, qPrintable(QStringLiteral("%1 of %2").arg(readable).arg(ink)));
}

void TestPaintedButton::captionOrigin_data() {
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("main window button") << QSize(100, 24) << QSize(40, 13) << QPoint(30, 5);
    QTest::newRow("odd rest cut") << QSize(100, 21) << QSize(41, 13) << QPoint(29, 4);
    QTest::newRow("wider than the button") << QSize(100, 24) << QSize(131, 13) << QPoint(-15, 5);
    QTest::newRow("taller than the button") << QSize(100, 2) << QSize(40, 13) << QPoint(30, -5);
}

void TestPaintedButton::captionOrigin() {
    QFETCH(QSize, image);
    QFETCH(QSize, caption);
    QFETCH(QPoint, origin);
    QCOMPARE(CaptionOrigin(image, caption), origin);
}

void TestPaintedButton::captionIsCentred() {
    ButtonStyle style = ProgramStyle();
    const QImage bare = RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true, {});
    const QString caption = QStringLiteral("Path KEST");
    const QImage image =
        RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true, caption);
    QRect changed;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 100; ++x)
            if (image.pixel(x, y) != bare.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    QVERIFY(!changed.isEmpty());
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    const QFontMetrics metrics(font, &image);
    const QSize text(metrics.horizontalAdvance(caption), metrics.height());
    const QRect box(CaptionOrigin(QSize(100, 24), text), text);
    // Anti-aliased glyph edges may spill one pixel past the advance.
    QVERIFY2(box.adjusted(-1, 0, 1, 0).contains(changed),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside %5,%6 %7x%8")
                            .arg(changed.x())
                            .arg(changed.y())
                            .arg(changed.width())
                            .arg(changed.height())
                            .arg(box.x())
                            .arg(box.y())
                            .arg(box.width())
                            .arg(box.height())));
    // Roughly as much room on the left as on the right.
    QVERIFY(qAbs(changed.left() - (99 - changed.right())) <= 3);
    // A caption wider than the button is clipped and the frame stays on top.
    const QImage wide = RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true,
                                          QStringLiteral("A caption far wider than the button"));
    COMPARE_RGB(At(wide, 0, 12), kYellowRgb);
    COMPARE_RGB(At(wide, 99, 12), kYellowRgb);
}

// On a screen of twice the density: the same blend line for each widget row, two screen rows
// tall (a stretched 1x image would mix neighbouring lines), and a caption drawn at full detail.
void TestPaintedButton::sharpOnDenseScreens() {
    ButtonStyle style = ProgramStyle();
    const QImage single =
        RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true, QStringLiteral("Start"));
    const QImage dense = RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true,
                                           QStringLiteral("Start"), 96, 2.0);
    QCOMPARE(dense.size(), QSize(200, 48));
    QCOMPARE(dense.devicePixelRatio(), 2.0);
    for (int y = 2; y < 22; ++y)
        for (int dy = 0; dy < 2; ++dy) QCOMPARE(dense.pixel(6, 2 * y + dy), single.pixel(3, y));
    const QImage stretched = single.scaled(dense.size());
    int differing = 0;
    for (int y = 0; y < dense.height(); ++y)
        for (int x = 0; x < dense.width(); ++x)
            differing += dense.pixel(x, y) != stretched.pixel(x, y);
    QVERIFY2(differing > 50, qPrintable(QString::number(differing)));
}

void TestPaintedButton::degenerateSizes_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("no rows") << QSize(100, 0);
    QTest::newRow("one row") << QSize(100, 1);
    QTest::newRow("two rows") << QSize(100, 2);
    QTest::newRow("three rows") << QSize(100, 3);
    QTest::newRow("no columns") << QSize(0, 24);
    QTest::newRow("one pixel") << QSize(1, 1);
}

void TestPaintedButton::degenerateSizes() {
    QFETCH(QSize, size);
    ButtonStyle style = ProgramStyle();
    for (ButtonLook look : {ButtonLook::Normal, ButtonLook::Hover, ButtonLook::Pressed}) {
        const QImage& image = RenderButtonImage(style, size, look, true, QStringLiteral("Open"));
        QCOMPARE(image.size(), size.isEmpty() ? QSize(0, 0) : size);
    }
}

void TestPaintedButton::hiddenBoxDrawsNothing() {
    ButtonStyle style = ProgramStyle();
    PaintBox box;
    box.resize(100, 24);
    DrawButton(style, box, QStringLiteral("Start"), false);
    DrawPressed(style, box, QStringLiteral("Start"));
    QVERIFY(box.canvas().isNull());
}

void TestPaintedButton::disabledBoxIgnoresHover() {
    ButtonStyle style = ProgramStyle();
    QWidget window;
    PaintBox box(&window);
    box.setGeometry(0, 0, 100, 24);
    // As the windows do: the Paint handler draws the resting look.
    box.onPaint = [&] { DrawButton(style, box, QStringLiteral("Start"), false); };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    box.setEnabled(false);
    DrawButton(style, box, QStringLiteral("Start"), false);
    const QImage flat = box.canvas();
    COMPARE_RGB(At(flat, 10, 12), ResolveColour(kInactiveBorderColour));
    DrawButton(style, box, QStringLiteral("Start"), true);
    QCOMPARE(box.canvas(), flat);

    box.setEnabled(true);
    DrawButton(style, box, QStringLiteral("Start"), true);
    COMPARE_RGB(At(box.canvas(), 10, 6), (Rgb{127, 0, 127}));
    DrawButton(style, box, QStringLiteral("Start"), false);
    COMPARE_RGB(At(box.canvas(), 10, 6), (Rgb{127, 127, 255}));
}

void TestPaintedButton::pressedFlashEndsInHover() {
    ButtonStyle style = ProgramStyle();
    QWidget window;
    PaintBox box(&window);
    box.setGeometry(0, 0, 100, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintRecorder recorder(box);
    QElapsedTimer timer;
    timer.start();
    DrawPressed(style, box, QStringLiteral("Close"));
    QVERIFY(timer.elapsed() >= 50);
    // Each look reached the screen at once, pressed first, hover last.
    QCOMPARE(recorder.frames.size(), size_t(2));
    COMPARE_RGB(At(recorder.frames[0], 10, 12), kRedRgb);
    COMPARE_RGB(At(recorder.frames[1], 10, 12), kBlueRgb);
    COMPARE_RGB(At(recorder.frames[1], 10, 6), (Rgb{127, 0, 127}));
    QCOMPARE(box.canvas(), recorder.frames[1]);
}

PMKEST_TEST_MAIN(TestPaintedButton)

#include "tst_painted_button.moc"
