#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <memory>

#include "core/text/cp1251.h"
#include "platform/path_rules.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "support/when_open.h"
#include "widgets/buttons/button_style.h"
#include "widgets/buttons/paint_box.h"
#include "widgets/chooser/directory_list_box.h"
#include "widgets/status_panels.h"
#include "windows/chooser/dir_dialog.h"
#include "windows/options/command_line_window.h"
#include "windows/options/options_editor.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::WhenOpen;

struct Fixture {
    QTemporaryDir tmp;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Toptf> commandLine;
    std::unique_ptr<TOption> editor;
    std::unique_ptr<TDirDlgF> chooser;

    Fixture() {
        QDir(tmp.path()).mkpath(QStringLiteral("work/sub"));
        state.project.ProjectFile = test::P(tmp.filePath(QStringLiteral("work/demo.mpm")));
        state.project.SettingsFile = test::P(tmp.filePath(QStringLiteral("work/demo.ini")));
        commandLine = std::make_unique<Toptf>(state);
        editor = std::make_unique<TOption>(state, *commandLine);
        InitButtonStyle(state.buttonStyle);
        SetProgramButtonLook(state.buttonStyle);
        chooser = std::make_unique<TDirDlgF>(state, dialogs, DirDlgSources{});
        editor->setDirectoryChooser(chooser.get());
    }
    template <typename T>
    T* child(const QString& name) const {
        T* found = editor->findChild<T*>(name);
        if (!found) qFatal("no control %s", qPrintable(name));
        return found;
    }
    QCheckBox* checkBox(int n) const {
        return child<QCheckBox>(QStringLiteral("CheckBox%1").arg(n));
    }
    QComboBox* comboBox(int n) const {
        return child<QComboBox>(QStringLiteral("ComboBox%1").arg(n));
    }
    QLineEdit* edit(int n) const { return child<QLineEdit>(QStringLiteral("Edit%1").arg(n)); }
    QString status() const {
        return child<StatusPanels>(QStringLiteral("StatusBar1"))->panelText(0);
    }
    QAction* action(const char* name) const { return child<QAction>(QString::fromLatin1(name)); }
    bool allClear() const {
        for (int n = 1; n <= 12; ++n)
            if (checkBox(n)->isChecked()) return false;
        for (int n = 1; n <= 4; ++n)
            if (comboBox(n)->currentText() != QLatin1String("Default")) return false;
        for (int n = 1; n <= 5; ++n)
            if (!edit(n)->text().isEmpty()) return false;
        return true;
    }
};

}  // namespace

class TestOptionsEditor : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyAndHidden();
    void parseShowsInStatusAfterTick_data();
    void parseShowsInStatusAfterTick();
    void everyControlReachesTheString_data();
    void everyControlReachesTheString();
    void handTypedMemoryTypeContributesNothing_data();
    void handTypedMemoryTypeContributesNothing();
    void firstManualInputClearsEverything();
    void manualInputCancelChangesNothing();
    void manualInputOkParsesTheLine();
    void directoryButtons_data();
    void directoryButtons();
    void verdicts_data();
    void verdicts();
    void closeBoxCancelsAfterNestedOk();
    void captionOnEachActivation();
    void escapeCancelsEnterDoesNot();
    void tabOrder();
    void hoverUntilTheBackground();
};

void TestOptionsEditor::startsEmptyAndHidden() {
    Fixture f;
    QVERIFY(!f.editor->isVisible());
    QVERIFY(f.allClear());
    QCOMPARE(f.editor->windowTitle(), QStringLiteral("Editor of the command line options"));
    QCOMPARE(f.editor->minimumSize(), f.editor->maximumSize());
    for (int n = 1; n <= 4; ++n) {
        QVERIFY(f.comboBox(n)->isEditable());
        QCOMPARE(f.comboBox(n)->count(), 4);
        QCOMPARE(f.comboBox(n)->itemText(3), QStringLiteral("XData"));
    }
    QStringList items;
    for (QAction* a : f.child<QMenu>(QStringLiteral("File1"))->actions()) items << a->text();
    QCOMPARE(items, (QStringList{u"Manual Input"_s, u"Ok - Close"_s, u"Cancel - Close"_s}));
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(n))->text(),
                 QStringLiteral("..."));
}

void TestOptionsEditor::parseShowsInStatusAfterTick_data() {
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("status");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks") << "    "
                            << "";
    QTest::newRow("lower case") << " -a -mgx "
                                << "-A -MGX";
    QTest::newRow("example") << "-A -LA -OX -MGD -EC:\\OUT -UC:\\U1 -UC:\\U2"
                             << "-A -LA -OX -MGD -EC:\\OUT -UC:\\U1 -UC:\\U2";
    // Where names ignore case, folders are upper-cased like the switches.
    QTest::newRow("output joined, folders by the system's case rule")
        << "-Ec:\\out -Ed:\\bin" << (kNamesIgnoreCase ? "-EC:\\OUT;D:\\BIN" : "-Ec:\\out;d:\\bin");
    QTest::newRow("later memory type wins") << "-MGD -MGX -MT"
                                            << "-MGX";
    QTest::newRow("conditionals dropped") << "-DDEBUG -Q"
                                          << "-D -Q";
}

void TestOptionsEditor::parseShowsInStatusAfterTick() {
    QFETCH(QString, options);
    QFETCH(QString, status);
    Fixture f;
    f.checkBox(5)->setChecked(true);  // parsing resets what was there
    f.edit(4)->setText(QStringLiteral("old"));
    f.editor->parseIntoControls(cp1251::FromQString(options).value());
    QTRY_COMPARE(f.status(), status);
    QCOMPARE(QString::fromStdString(f.editor->statusText()), status);
}

void TestOptionsEditor::everyControlReachesTheString_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    const char* switches[12] = {"-A",  "-B", "-C", "-D",  "-G", "-H",
                                "-LA", "-M", "-O", "-OX", "-Q", "-S"};
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("CheckBox%d", n) << QStringLiteral("CheckBox%1").arg(n) << QString()
                                       << QString::fromLatin1(switches[n - 1]);
    const char* prefixes[4] = {"-MG", "-ML", "-MP", "-MT"};
    const char* types[3][2] = {{"Data", "D"}, {"IData", "I"}, {"XData", "X"}};
    for (int n = 1; n <= 4; ++n)
        for (const auto& type : types)
            QTest::addRow("ComboBox%d %s", n, type[0])
                << QStringLiteral("ComboBox%1").arg(n) << QString::fromLatin1(type[0])
                << QString::fromLatin1(prefixes[n - 1]) + QString::fromLatin1(type[1]);
    QTest::newRow("Edit1") << "Edit1"
                           << "/out dir"
                           << "-E/outdir";
    QTest::newRow("Edit2") << "Edit2"
                           << "/l51"
                           << "-T/l51";
    QTest::newRow("Edit3") << "Edit3"
                           << "/u1;/u2"
                           << "-U/u1 -U/u2";
    QTest::newRow("Edit4") << "Edit4"
                           << "/i1;;/i2"
                           << "-I/i1 -I -I/i2";
    QTest::newRow("Edit5") << "Edit5"
                           << "/o1"
                           << "-J/o1";
    QTest::newRow("Edit1 keeps a list whole") << "Edit1"
                                              << "/a;/b"
                                              << "-E/a;/b";
}

void TestOptionsEditor::everyControlReachesTheString() {
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, status);
    Fixture f;
    QObject* widget = f.editor->findChild<QObject*>(control);
    QVERIFY(widget);
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        QTest::mouseClick(box, Qt::LeftButton);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QTest::keyClicks(edit, value);
    QTRY_COMPARE(f.status(), status);
}

void TestOptionsEditor::handTypedMemoryTypeContributesNothing_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower case") << "data";
    QTest::newRow("upper case") << "XDATA";
    QTest::newRow("default") << "Default";
    QTest::newRow("other") << "Far";
}

void TestOptionsEditor::handTypedMemoryTypeContributesNothing() {
    QFETCH(QString, typed);
    Fixture f;
    f.editor->parseIntoControls("-MLI");
    QComboBox* combo = f.comboBox(2);
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(combo->currentText(), typed);
    QCOMPARE(combo->count(), 4);  // nothing typed joins the list
    QTRY_COMPARE(f.status(), QString());
}

void TestOptionsEditor::firstManualInputClearsEverything() {
    Fixture f;
    f.editor->parseIntoControls("-A -S -MGD -MTX -E/out -U/u -J/j");
    QTRY_VERIFY(!f.status().isEmpty());
    WhenOpen(f.commandLine.get(), [&] {
        QCOMPARE(f.commandLine->lineText(), QStringLiteral(" "));
        QTest::mouseClick(f.commandLine->findChild<PaintBox*>(QStringLiteral("PaintBox4")),
                          Qt::LeftButton);
    });
    f.action("ManualInput1")->trigger();
    QCOMPARE(f.commandLine->result(), int(QDialog::Accepted));
    QVERIFY(f.allClear());
    QTRY_COMPARE(f.status(), QString());
}

void TestOptionsEditor::manualInputCancelChangesNothing() {
    Fixture f;
    f.editor->parseIntoControls("-B -MPI -T/t");
    WhenOpen(f.commandLine.get(), [&] {
        auto* line = f.commandLine->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        line->clear();
        QTest::keyClicks(line, QStringLiteral("-Q -S"));
        QTest::mouseClick(f.commandLine->findChild<PaintBox*>(QStringLiteral("PaintBox3")),
                          Qt::LeftButton);
    });
    f.action("ManualInput1")->trigger();
    QCOMPARE(f.commandLine->result(), int(QDialog::Rejected));
    QVERIFY(f.checkBox(2)->isChecked());
    QVERIFY(!f.checkBox(11)->isChecked());
    QCOMPARE(f.comboBox(3)->currentText(), QStringLiteral("IData"));
    const QString folder = kNamesIgnoreCase ? u"/T"_s : u"/t"_s;
    QCOMPARE(f.edit(2)->text(), folder);
    QTRY_COMPARE(f.status(), QStringLiteral("-B -MPI -T") + folder);

    // The typed line comes back the next time.
    WhenOpen(f.commandLine.get(), [&] {
        QCOMPARE(f.commandLine->lineText(), QStringLiteral("-Q -S"));
        QTest::mouseClick(f.commandLine->findChild<PaintBox*>(QStringLiteral("PaintBox3")),
                          Qt::LeftButton);
    });
    f.action("ManualInput1")->trigger();
}

void TestOptionsEditor::manualInputOkParsesTheLine() {
    Fixture f;
    f.editor->parseIntoControls("-B -MPI");
    WhenOpen(f.commandLine.get(), [&] {
        auto* line = f.commandLine->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        line->clear();
        QTest::keyClicks(line, QStringLiteral("  -q -ux;y -mlx  "));
        QTest::mouseClick(f.commandLine->findChild<PaintBox*>(QStringLiteral("PaintBox4")),
                          Qt::LeftButton);
    });
    f.action("ManualInput1")->trigger();
    QVERIFY(!f.checkBox(2)->isChecked());
    QVERIFY(f.checkBox(11)->isChecked());
    QCOMPARE(f.comboBox(2)->currentText(), QStringLiteral("XData"));
    QCOMPARE(f.comboBox(3)->currentText(), QStringLiteral("Default"));
    // Switches in any case; folders as written where the file system tells case apart.
    QCOMPARE(f.edit(3)->text(), kNamesIgnoreCase ? u"X;Y"_s : u"x;y"_s);
    QTRY_COMPARE(f.status(), kNamesIgnoreCase ? u"-Q -MLX -UX -UY"_s : u"-Q -MLX -Ux -Uy"_s);
}

void TestOptionsEditor::directoryButtons_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("entered");  // whether the chosen directory is in the field after
    for (int field = 1; field <= 5; ++field) {
        const bool single = field <= 2;
        QTest::addRow("Edit%d empty, Ok", field) << field << "" << true << true;
        QTest::addRow("Edit%d filled, Ok", field) << field << "/old" << true << single;
        QTest::addRow("Edit%d blank, Ok", field) << field << " " << true << single;
        QTest::addRow("Edit%d empty, Cancel", field) << field << "" << false << false;
    }
}

void TestOptionsEditor::directoryButtons() {
    QFETCH(int, field);
    QFETCH(QString, before);
    QFETCH(bool, ok);
    QFETCH(bool, entered);
    Fixture f;
    f.edit(field)->setText(before);
    const QString sub = NormalDirectory(f.tmp.filePath(QStringLiteral("work/sub")));
    WhenOpen(f.chooser.get(), [&] {
        auto* list = f.chooser->findChild<DirectoryListBox*>(QStringLiteral("DirectoryListBox1"));
        QCOMPARE(list->directory(), NormalDirectory(f.tmp.filePath(QStringLiteral("work"))));
        list->setCurrentItem(list->entryFor(sub));
        QTest::keyClick(list, Qt::Key_Return);
        f.chooser
            ->findChild<QPushButton*>(ok ? QStringLiteral("Button1") : QStringLiteral("Button2"))
            ->click();
    });
    f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(field))->click();
    QCOMPARE(f.edit(field)->text(), entered ? test::NativePath(sub) : before);
    QCOMPARE(f.chooser->result() == QDialog::Accepted, ok);
}

void TestOptionsEditor::verdicts_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("ok");
    QTest::newRow("Exit") << "PaintBox1" << false;
    QTest::newRow("Ok") << "PaintBox2" << true;
    QTest::newRow("Ok - Close") << "OkClose1" << true;
    QTest::newRow("Cancel - Close") << "CancelClose1" << false;
}

void TestOptionsEditor::verdicts() {
    QFETCH(QString, command);
    QFETCH(bool, ok);
    Fixture f;
    f.editor->parseIntoControls("-A");
    WhenOpen(f.editor.get(), [&] {
        QTest::mouseClick(f.checkBox(2), Qt::LeftButton);  // changed, then left either way
        if (auto* box = f.editor->findChild<PaintBox*>(command))
            QTest::mouseClick(box, Qt::LeftButton);
        else
            f.action(command.toLatin1().constData())->trigger();
        QVERIFY(!f.editor->isVisible());
    });
    QCOMPARE(f.editor->showModal(), ok);
    QVERIFY(f.checkBox(1)->isChecked());
    QVERIFY(f.checkBox(2)->isChecked());
    if (ok) QCOMPARE(QString::fromStdString(f.editor->statusText()), QStringLiteral("-A -B"));
}

void TestOptionsEditor::closeBoxCancelsAfterNestedOk() {
    Fixture f;
    f.editor->parseIntoControls("-A");
    WhenOpen(f.editor.get(), [&] {
        WhenOpen(f.chooser.get(),
                 [&] { f.chooser->findChild<QPushButton*>(QStringLiteral("Button1"))->click(); });
        f.child<QToolButton>(QStringLiteral("SpeedButton2"))->click();
        QCOMPARE(f.chooser->result(), int(QDialog::Accepted));
        // The command line closed by its title bar leaves the controls alone.
        WhenOpen(f.commandLine.get(), [&] { f.commandLine->close(); });
        f.action("ManualInput1")->trigger();
        QVERIFY(f.checkBox(1)->isChecked());
        QVERIFY(!f.edit(2)->text().isEmpty());
        f.editor->close();
    });
    QVERIFY(!f.editor->showModal());
}

void TestOptionsEditor::captionOnEachActivation() {
    Fixture f;
    const QString settings = f.tmp.filePath(QStringLiteral("work/demo.ini"));
    WhenOpen(f.editor.get(), [&] {
        QCOMPARE(f.editor->windowTitle(), QStringLiteral("Editor of the command line options  [") +
                                              test::NativePath(settings) + u"]"_s);
    });
    f.editor->showModal();
    f.state.project.SettingsFile.clear();
    WhenOpen(f.editor.get(), [&] {
        QCOMPARE(f.editor->windowTitle(), QStringLiteral("Editor of the command line options  []"));
    });
    f.editor->showModal();
    // A path holding the toolkit's "[*]" mark is shown unchanged.
    f.state.project.SettingsFile = "/w/a[*]b.ini";
    WhenOpen(f.editor.get(), [&] {
        QCOMPARE(f.editor->windowHandle()->title(),
                 QStringLiteral("Editor of the command line options  [/w/a[*]b.ini]"));
    });
    f.editor->showModal();
}

void TestOptionsEditor::escapeCancelsEnterDoesNot() {
    Fixture f;
    f.editor->parseIntoControls("-E/X");
    WhenOpen(f.editor.get(), [&] {
        for (QWidget* w : std::initializer_list<QWidget*>{f.editor.get(), f.edit(1), f.checkBox(1),
                                                          f.comboBox(1)->lineEdit()})
            QTest::keyClick(w, Qt::Key_Return);
        QVERIFY(f.editor->isVisible());
        QTest::keyClick(f.edit(1), Qt::Key_Escape);
    });
    QVERIFY(!f.editor->showModal());
    QCOMPARE(f.edit(1)->text(), QStringLiteral("/X"));
}

void TestOptionsEditor::tabOrder() {
    Fixture f;
    QList<QWidget*> expected;
    for (int n = 1; n <= 12; ++n) expected << f.checkBox(n);
    for (int n = 1; n <= 4; ++n) expected << f.comboBox(n);
    // Each field is followed by its "...", so the chooser is reached without a mouse.
    for (int n = 1; n <= 5; ++n)
        expected << f.edit(n) << f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(n));
    auto nextStop = [&](QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() ||
               !w->isVisibleTo(f.editor.get()));
        return w;
    };
    QWidget* w = expected.first();
    for (int i = 1; i < expected.size(); ++i) {
        w = nextStop(w);
        QCOMPARE(w, expected[i]);
    }
}

void TestOptionsEditor::hoverUntilTheBackground() {
    const QRgb normalRow6 = qRgb(127, 127, 255);
    const QRgb hoverRow6 = qRgb(127, 0, 127);
    auto move = [](QWidget* widget) {
        const QPointF local(4, 4);
        QMouseEvent event(QEvent::MouseMove, local, widget->mapToGlobal(local.toPoint()),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    Fixture f;
    f.editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
    QCoreApplication::processEvents();
    auto* exit = f.child<PaintBox>(QStringLiteral("PaintBox1"));
    auto* ok = f.child<PaintBox>(QStringLiteral("PaintBox2"));
    QCOMPARE(exit->canvas().pixel(10, 6), normalRow6);
    QCOMPARE(ok->canvas().pixel(10, 6), normalRow6);
    move(exit);
    move(ok);
    move(f.child<QGroupBox>(QStringLiteral("GroupBox2")));
    move(f.checkBox(3));
    QCOMPARE(exit->canvas().pixel(10, 6), hoverRow6);
    QCOMPARE(ok->canvas().pixel(10, 6), hoverRow6);
    move(f.child<QWidget>(QStringLiteral("Client")));
    QCOMPARE(exit->canvas().pixel(10, 6), normalRow6);
    QCOMPARE(ok->canvas().pixel(10, 6), normalRow6);
    f.editor->hide();
}

PMKEST_TEST_MAIN(TestOptionsEditor)
#include "tst_options_editor.moc"
