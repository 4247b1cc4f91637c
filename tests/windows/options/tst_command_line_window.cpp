#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/test_main.h"
#include "support/when_open.h"
#include "widgets/buttons/button_style.h"
#include "widgets/buttons/paint_box.h"
#include "windows/options/command_line_window.h"

using namespace pmkest;

namespace {

using test::WhenOpen;

QLineEdit* Line(Toptf& w) {
    return w.findChild<QLineEdit*>(QStringLiteral("Edit1"));
}
PaintBox* Box(Toptf& w, int n) {
    return w.findChild<PaintBox*>(QStringLiteral("PaintBox%1").arg(n));
}

const QRgb kNormalRow6 = qRgb(127, 127, 255);
const QRgb kHoverRow6 = qRgb(127, 0, 127);

void MoveMouseOver(QWidget* widget, QPointF local = {4, 4}) {
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local.toPoint()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

class TestCommandLineWindow : public QObject {
    Q_OBJECT
private slots:
    void createdHidden();
    void captionsFollowLanguage_data();
    void captionsFollowLanguage();
    void buttons_data();
    void buttons();
    void closeBoxCancels();
    void escapeCancelsEnterDoesNot();
    void hoverUntilTheBackground();
};

void TestCommandLineWindow::createdHidden() {
    UiState state;
    Toptf w(state);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Command Line Of Turbo51"));
    QCOMPARE(w.lineText(), QStringLiteral(" "));
    QVERIFY(w.minimumSize() != w.maximumSize());
    QCOMPARE(w.palette().color(QPalette::Window), QColor(221, 215, 204));
    // Tab leads from the line to Cancel and Ok.
    QCOMPARE(Line(w)->nextInFocusChain(), static_cast<QWidget*>(Box(w, 3)));
    QCOMPARE(Box(w, 3)->nextInFocusChain(), static_cast<QWidget*>(Box(w, 4)));
    QVERIFY(Box(w, 3)->focusPolicy() & Qt::TabFocus);
}

void TestCommandLineWindow::captionsFollowLanguage_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("russian") << true << QStringLiteral("Опции командной строки")
                             << QStringLiteral("Отмена");
    QTest::newRow("english") << false << QStringLiteral("Command Line Option")
                             << QStringLiteral("Cancel");
}

void TestCommandLineWindow::captionsFollowLanguage() {
    QFETCH(bool, russian);
    QFETCH(QString, title);
    QFETCH(QString, cancel);
    UiState state;
    state.language = russian ? Language::English : Language::Russian;
    Toptf w(state);
    w.Timer1Timer();
    state.language = russian ? Language::Russian : Language::English;
    // Shown, the window has its captions at once; its one-second timer keeps them in step.
    w.show();
    QCOMPARE(w.windowTitle(), title);
    state.language = russian ? Language::English : Language::Russian;
    QTRY_VERIFY_WITH_TIMEOUT(w.windowTitle() != title, 2500);
    state.language = russian ? Language::Russian : Language::English;
    QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), title, 2500);
    w.hide();
    QCOMPARE(w.cancelCaption(), cancel);
    QCOMPARE(w.okCaption(), QStringLiteral("Ok"));
}

void TestCommandLineWindow::buttons_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("ok");
    QTest::newRow("Cancel") << 3 << false;
    QTest::newRow("Ok") << 4 << true;
}

void TestCommandLineWindow::buttons() {
    QFETCH(int, box);
    QFETCH(bool, ok);
    UiState state;
    Toptf w(state);
    WhenOpen(&w, [&] {
        QTest::keyClicks(Line(w), QStringLiteral("-A"));
        QTest::mouseClick(Box(w, box), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    });
    QCOMPARE(w.exec() == QDialog::Accepted, ok);
    QCOMPARE(w.lineText(), QStringLiteral(" -A"));
    // Shown again, the window keeps the line.
    WhenOpen(&w, [&] {
        QCOMPARE(w.lineText(), QStringLiteral(" -A"));
        w.close();
    });
    QCOMPARE(w.exec(), int(QDialog::Rejected));
}

void TestCommandLineWindow::closeBoxCancels() {
    UiState state;
    Toptf w(state);
    WhenOpen(&w, [&] { w.close(); });
    QCOMPARE(w.exec(), int(QDialog::Rejected));
}

void TestCommandLineWindow::escapeCancelsEnterDoesNot() {
    UiState state;
    Toptf w(state);
    WhenOpen(&w, [&] {
        QTest::keyClick(Line(w), Qt::Key_Return);
        QVERIFY(w.isVisible());
        QTest::keyClick(Line(w), Qt::Key_Escape);
    });
    QCOMPARE(w.exec(), int(QDialog::Rejected));
    QCOMPARE(w.lineText(), QStringLiteral(" "));
}

void TestCommandLineWindow::hoverUntilTheBackground() {
    UiState state;
    InitButtonStyle(state.buttonStyle);
    SetProgramButtonLook(state.buttonStyle);
    Toptf w(state);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    QCOMPARE(Box(w, 3)->canvas().pixel(10, 6), kNormalRow6);
    MoveMouseOver(Box(w, 3));
    MoveMouseOver(Box(w, 4));
    MoveMouseOver(Line(w));  // the line is not the background
    QCOMPARE(Box(w, 3)->canvas().pixel(10, 6), kHoverRow6);
    QCOMPARE(Box(w, 4)->canvas().pixel(10, 6), kHoverRow6);
    MoveMouseOver(&w);
    QCOMPARE(Box(w, 3)->canvas().pixel(10, 6), kNormalRow6);
    QCOMPARE(Box(w, 4)->canvas().pixel(10, 6), kNormalRow6);
    // The click flash ends in the hover look.
    QTest::mouseClick(Box(w, 4), Qt::LeftButton);
    QCOMPARE(Box(w, 4)->canvas().pixel(10, 6), kHoverRow6);
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

PMKEST_TEST_MAIN(TestCommandLineWindow)
#include "tst_command_line_window.moc"
