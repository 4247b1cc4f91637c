#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "lib/paint_box.h"
#include "options/command_line_window.h"

using namespace pmkest;

namespace {

void WhenOpen(QWidget* window, std::function<void()> inside) {
    QTimer::singleShot(0, window, [window, inside] {
        inside();
        if (window->isVisible()) window->close();  // never hang the test
    });
}

QLineEdit* Line(Toptf& w) {
    return w.findChild<QLineEdit*>(QStringLiteral("Edit1"));
}
PaintBox* Box(Toptf& w, int n) {
    return w.findChild<PaintBox*>(QStringLiteral("PaintBox%1").arg(n));
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
    void closeBoxKeepsVerdict();
    void enterAndEscapeDoNotClose();
};

void TestCommandLineWindow::createdHidden() {
    AppState state;
    Toptf w(state);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Command Line Of Turbo51"));
    QCOMPARE(w.lineText(), QStringLiteral(" "));
    QVERIFY(w.minimumSize() != w.maximumSize());
    QCOMPARE(w.palette().color(QPalette::Window), QColor(221, 215, 204));
    // Only the line takes keyboard focus.
    QCOMPARE(Box(w, 3)->focusPolicy(), Qt::NoFocus);
    QCOMPARE(Box(w, 4)->focusPolicy(), Qt::NoFocus);
    QVERIFY(Line(w)->focusPolicy() & Qt::TabFocus);
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
    AppState state;
    state.russian = !russian;
    Toptf w(state);
    w.Timer1Timer();
    state.russian = russian;
    // The window's own one-second timer picks up the switch.
    QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), title, 2500);
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
    AppState state;
    state.dialogOk = !ok;
    Toptf w(state);
    WhenOpen(&w, [&] {
        QTest::keyClicks(Line(w), QStringLiteral("-A"));
        QTest::mouseClick(Box(w, box), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    });
    w.exec();
    QCOMPARE(state.dialogOk, ok);
    QCOMPARE(w.lineText(), QStringLiteral(" -A"));
    // The window does not reset the verdict when shown again, and keeps the line.
    WhenOpen(&w, [&] {
        QCOMPARE(state.dialogOk, ok);
        QCOMPARE(w.lineText(), QStringLiteral(" -A"));
    });
    w.exec();
}

void TestCommandLineWindow::closeBoxKeepsVerdict() {
    AppState state;
    state.dialogOk = true;
    Toptf w(state);
    WhenOpen(&w, [&] { w.close(); });
    w.exec();
    QVERIFY(state.dialogOk);
}

void TestCommandLineWindow::enterAndEscapeDoNotClose() {
    AppState state;
    Toptf w(state);
    WhenOpen(&w, [&] {
        for (QWidget* target : {static_cast<QWidget*>(&w), static_cast<QWidget*>(Line(w))}) {
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Escape);
            QVERIFY(w.isVisible());
        }
        QTest::mouseClick(Box(w, 3), Qt::LeftButton);
    });
    w.exec();
    QCOMPARE(w.lineText(), QStringLiteral(" "));
}

QTEST_MAIN(TestCommandLineWindow)
#include "tst_command_line_window.moc"
