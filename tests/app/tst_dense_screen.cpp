#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/program_windows.h"
#include "platform/qt_compat.h"
#include "support/scripted_dialogs.h"
#include "support/test_main.h"
#include "widgets/buttons/paint_box.h"

using namespace pmkest;

// Windows on a screen of twice the density (200 %), as most laptops run them.
class TestDenseScreen : public QObject {
    Q_OBJECT
private slots:
    void drawnAtScreenDensity();
};

void TestDenseScreen::drawnAtScreenDensity() {
    QCOMPARE(qGuiApp->devicePixelRatio(), 2.0);
    QTemporaryDir dir;
    UiState state;
    test::ScriptedDialogs dialogs;
    ProgramWindows windows(state, dialogs, StartOptions{dir.path(), {}, {}, {}});
    int boxes = 0, pictures = 0;
    for (QWidget* window :
         {static_cast<QWidget*>(windows.main.get()), static_cast<QWidget*>(windows.options.get()),
          static_cast<QWidget*>(windows.chooser.get())}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (PaintBox* box : window->findChildren<PaintBox*>()) {
            if (!box->isVisible()) continue;  // one of a window not shown
            box->repaint();
            QCOMPARE(box->canvas().devicePixelRatio(), 2.0);
            QCOMPARE(box->canvas().size(), box->size() * 2);
            ++boxes;
        }
        // The flags and the chooser's shortcut pictures, drawn at twice the size.
        for (QLabel* label : window->findChildren<QLabel*>()) {
            const QPixmap picture = compat::LabelPixmap(*label);
            if (picture.isNull() || !label->isVisible()) continue;
            QVERIFY2(picture.devicePixelRatio() == 2.0, qPrintable(label->objectName()));
            ++pictures;
        }
    }
    QCOMPARE(boxes, 8);
    QCOMPARE(pictures, 5);
}

PMKEST_TEST_MAIN_WITH(TestDenseScreen, qputenv("QT_SCALE_FACTOR", "2");
                      PMKEST_TEST_APP(QApplication))
#include "tst_dense_screen.moc"
