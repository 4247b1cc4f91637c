#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "support/scripted_dialogs.h"
#include "support/test_main.h"
#include "widgets/buttons/painted_button.h"
#include "windows/main/main_window.h"

using namespace pmkest;

namespace {

QRgb Pixel(const PaintBox* box, int x, int y) {
    return box->canvas().pixel(x, y);
}

const QRgb kNormalRow6 = qRgb(127, 127, 255);
const QRgb kHoverRow6 = qRgb(127, 0, 127);
const QRgb kPressedRow6 = qRgb(255, 127, 127);

void MoveMouseOver(QWidget* widget) {
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local.toPoint()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// What a box shows each time it paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(PaintBox* box) : m_box(box) { box->installEventFilter(this); }
    std::vector<QRgb> row6;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) row6.push_back(m_box->canvas().pixel(10, 6));
        return false;
    }

private:
    PaintBox* m_box;
};

struct Fixture {
    QTemporaryDir dir;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TMain> window;

    bool start() {
        window =
            std::make_unique<TMain>(state, dialogs, StartOptions{dir.path(), {}, dir.path(), {}});
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) return false;
        QCoreApplication::processEvents();
        return true;
    }
    PaintBox* box(int number) const { return window->paintBox(number); }
};

}  // namespace

class TestMainButtons : public QObject {
    Q_OBJECT
private slots:
    void normalLookAtStart();
    void hoverUntilTheBackground();
    void disabledButtonStaysFlat();
    void clickFlashesThenResets_data();
    void clickFlashesThenResets();
    void closeButtonCloses();
    void keyboardReachesAndPresses_data();
    void keyboardReachesAndPresses();
};

void TestMainButtons::normalLookAtStart() {
    Fixture f;
    QVERIFY(f.start());
    QCOMPARE(f.state.buttonStyle.FrameWidth, uint8_t(3));
    QCOMPARE(f.state.buttonStyle.TextColour, kWhite);
    for (int n = 1; n <= 6; ++n) {
        const PaintBox* box = f.box(n);
        QCOMPARE(box->canvas().size(), QSize(100, 24));
        QCOMPARE(Pixel(box, 10, 6), kNormalRow6);
        QCOMPARE(Pixel(box, 10, 12), qRgb(0, 0, 255));
        QCOMPARE(Pixel(box, 10, 20), qRgb(185, 0, 69));
        QCOMPARE(Pixel(box, 0, 0), qRgb(255, 255, 0));
    }
    // Each caption is its own: the Start and Help faces differ.
    QVERIFY(f.box(1)->canvas() != f.box(6)->canvas());
    ButtonStyle style = f.state.buttonStyle;
    QCOMPARE(f.box(1)->canvas(),
             RenderButtonImage(style, QSize(100, 24), ButtonLook::Normal, true,
                               QStringLiteral("Start"), f.box(1)->logicalDpiY()));
}

void TestMainButtons::hoverUntilTheBackground() {
    Fixture f;
    QVERIFY(f.start());
    MoveMouseOver(f.box(3));
    QCOMPARE(Pixel(f.box(3), 10, 6), kHoverRow6);
    QCOMPARE(Pixel(f.box(3), 0, 0), qRgb(255, 0, 0));
    // Onto another button and then a row label: the first one stays hovered.
    MoveMouseOver(f.box(2));
    MoveMouseOver(f.window->findChild<QLabel*>(QStringLiteral("Label4")));
    QCOMPARE(Pixel(f.box(3), 10, 6), kHoverRow6);
    QCOMPARE(Pixel(f.box(2), 10, 6), kHoverRow6);
    QCOMPARE(Pixel(f.box(1), 10, 6), kNormalRow6);
    // The background takes every hover away.
    MoveMouseOver(f.window->centralWidget());
    for (int n = 1; n <= 6; ++n) QCOMPARE(Pixel(f.box(n), 10, 6), kNormalRow6);
}

void TestMainButtons::disabledButtonStaysFlat() {
    Fixture f;
    QVERIFY(f.start());
    f.box(5)->setEnabled(false);
    f.window->ResetButtons();
    const Rgb flat = ResolveColour(kInactiveBorderColour);
    const QRgb flatPixel = qRgb(flat.red, flat.green, flat.blue);
    QCOMPARE(Pixel(f.box(5), 10, 6), flatPixel);
    MoveMouseOver(f.box(5));
    QCOMPARE(Pixel(f.box(5), 10, 6), flatPixel);
    QTest::mouseClick(f.box(5), Qt::LeftButton);
    QCOMPARE(Pixel(f.box(5), 10, 6), flatPixel);
}

void TestMainButtons::clickFlashesThenResets_data() {
    QTest::addColumn<int>("number");
    for (int n : {1, 2, 3, 5, 6}) QTest::addRow("PaintBox%d", n) << n;
}

void TestMainButtons::clickFlashesThenResets() {
    QFETCH(int, number);
    Fixture f;
    QVERIFY(f.start());
    MoveMouseOver(f.box(number));
    PaintRecorder recorder(f.box(number));
    QTest::mouseClick(f.box(number), Qt::LeftButton);
    QVERIFY(recorder.row6.size() >= 3);
    QCOMPARE(recorder.row6[0], kPressedRow6);
    QCOMPARE(recorder.row6[1], kHoverRow6);
    QCOMPARE(recorder.row6[2], kNormalRow6);
    QCOMPARE(Pixel(f.box(number), 10, 6), kNormalRow6);
    QVERIFY(f.window->isVisible());
}

void TestMainButtons::keyboardReachesAndPresses_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestMainButtons::keyboardReachesAndPresses() {
    QFETCH(int, key);
    Fixture f;
    QVERIFY(f.start());
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    // Down the rows on the right, then along the bottom.
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral("CheckBox1 Image4 Image6 PaintBox6 PaintBox4 PaintBox1 PaintBox5 "
                            "PaintBox2 PaintBox3 CheckBox1"));
    // Each button and picture speaks as a button with its caption.
    for (const char* name : {"PaintBox1", "Image4"}) {
        QAccessibleInterface* speaker = QAccessible::queryAccessibleInterface(
            f.window->findChild<QWidget*>(QLatin1String(name)));
        QVERIFY(speaker);
        QCOMPARE(speaker->role(), QAccessible::Button);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(f.box(1))->text(QAccessible::Name),
             QStringLiteral("Start"));

    // Path KEST.INI focused: a dotted mark on the screen, the face itself unchanged.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    PaintBox* box = f.box(2);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(Pixel(box, 10, 6), kNormalRow6);
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(shown != box->canvas());
    QCOMPARE(shown.pixel(10, 6), kNormalRow6);

    // The key presses it: the same flash and the same command as a click.
    PaintRecorder recorder(box);
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(f.dialogs.openRequests.size(), size_t(1));
    QCOMPARE(f.dialogs.openRequests[0].fileName, QStringLiteral("kest.ini"));
    QVERIFY(recorder.row6.size() >= 3);
    QCOMPARE(recorder.row6[0], kPressedRow6);
    QCOMPARE(recorder.row6[1], kHoverRow6);
    QCOMPARE(recorder.row6.back(), kNormalRow6);

    // Focus gone: what the screen shows is the face at rest again.
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(box->grab().toImage().convertToFormat(QImage::Format_RGB32), box->canvas());
}

void TestMainButtons::closeButtonCloses() {
    Fixture f;
    QVERIFY(f.start());
    PaintRecorder recorder(f.box(4));
    QTest::mouseClick(f.box(4), Qt::LeftButton);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(recorder.row6.size(), size_t(2));
    QCOMPARE(recorder.row6[0], kPressedRow6);
    QCOMPARE(recorder.row6[1], kHoverRow6);
    QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("PMKEST_121226.ini"))));
}

PMKEST_TEST_MAIN(TestMainButtons)

#include "tst_main_buttons.moc"
