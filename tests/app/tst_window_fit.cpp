#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>

#include "app/program_windows.h"
#include "support/scripted_dialogs.h"
#include "support/test_main.h"
#include "widgets/buttons/painted_button.h"

using namespace pmkest;

namespace {

struct Fixture {
    QTemporaryDir dir;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;

    Fixture() {
        windows =
            std::make_unique<ProgramWindows>(state, dialogs, StartOptions{dir.path(), {}, {}, {}});
    }
    // Every window of the program, shown.
    std::vector<QWidget*> showAll() {
        std::vector<QWidget*> all{windows->main.get(), windows->options.get(),
                                  windows->commandLine.get(), windows->chooser.get(),
                                  windows->about.get()};
        for (QWidget* window : all) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window)) return {};
        }
        QCoreApplication::processEvents();
        return all;
    }
};

// The pixels that a caption changes on a button.
QRect CaptionInk(const QImage& captioned, const QImage& bare) {
    QRect ink;
    for (int y = 0; y < captioned.height(); ++y)
        for (int x = 0; x < captioned.width(); ++x)
            if (captioned.pixel(x, y) != bare.pixel(x, y)) ink |= QRect(x, y, 1, 1);
    return ink;
}

}  // namespace

class TestWindowFit : public QObject {
    Q_OBJECT
private slots:
    void captionsInsideTheFrame_data();
    void captionsInsideTheFrame();
    void windowsOnASmallScreen();
};

void TestWindowFit::captionsInsideTheFrame_data() {
    QTest::addColumn<bool>("russian");
    QTest::newRow("Russian") << true;
    QTest::newRow("English") << false;
}

void TestWindowFit::captionsInsideTheFrame() {
    QFETCH(bool, russian);
    Fixture f;
    f.state.language = russian ? Language::Russian : Language::English;
    f.windows->main->ApplyLanguage(f.state.language);
    f.windows->commandLine->Timer1Timer();
    const std::vector<QWidget*> all = f.showAll();
    QVERIFY(!all.empty());
    std::set<PaintBox*> boxes;
    for (QWidget* window : all)
        for (PaintBox* box : window->findChildren<PaintBox*>()) boxes.insert(box);
    for (PaintBox* box : boxes) {
        {
            box->repaint();
            ButtonStyle style = f.state.buttonStyle;
            const QImage bare = RenderButtonImage(style, box->size(), ButtonLook::Normal, true,
                                                  QString(), box->logicalDpiY());
            const QRect ink = CaptionInk(box->canvas(), bare);
            // Clear of the 3-pixel frame: a blank pixel between frame and glyphs.
            const int clear = f.state.buttonStyle.FrameWidth + 1;
            const QRect inside =
                QRect(QPoint(0, 0), box->size()).adjusted(clear, clear, -clear, -clear);
            QVERIFY2(!ink.isEmpty(), qPrintable(box->objectName()));
            QVERIFY2(inside.contains(ink),
                     qPrintable(QStringLiteral("%1 of %2: ink %3..%4 x %5..%6")
                                    .arg(box->objectName(), box->window()->objectName())
                                    .arg(ink.left())
                                    .arg(ink.right())
                                    .arg(ink.top())
                                    .arg(ink.bottom())));
        }
    }
    QCOMPARE(boxes.size(), size_t(10));  // six on the main window, two on each options window
}

void TestWindowFit::windowsOnASmallScreen() {
    Fixture f;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(screen.size(), QSize(800, 600));
    for (QWidget* window : f.showAll()) {
        const QRect frame = window->frameGeometry();
        QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                                        .arg(window->objectName())
                                                        .arg(frame.x())
                                                        .arg(frame.y())
                                                        .arg(frame.width())
                                                        .arg(frame.height())));
    }
}

// An 800 x 600 screen, the smallest one the program serves.
int main(int argc, char** argv) {
    pmkest::test::IsolatedHome isolatedHome;
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly)) return 2;
    config.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 800, "height": 600,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    // The platform's arguments are split at colons: the file is named without a drive letter.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screen.json");
    QApplication app(argc, argv);
    QDir::setCurrent(previous);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowFit test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_window_fit.moc"
