#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "core/text/cp1251.h"
#include "platform/path_rules.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/chooser/directory_list_box.h"
#include "widgets/status_panels.h"
#include "windows/chooser/dir_dialog.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

Q_DECLARE_METATYPE(std::vector<VolumeInfo>)

namespace {

struct Fixture {
    QTemporaryDir tmp;
    AppState state;
    test::ScriptedDialogs dialogs;
    DirDlgSources sources;
    std::unique_ptr<TDirDlgF> dialog;

    Fixture() {
        for (const char* folder : {"work/sub1", "work/sub2", "other", "desk"})
            QDir(tmp.path()).mkpath(QString::fromLatin1(folder));
    }
    // A folder as the list holds it.
    QString path(const char* relative) const {
        return NormalDirectory(tmp.filePath(QString::fromLatin1(relative)));
    }
    // A folder as the status bar shows it and the dialog hands it back.
    QString native(const char* relative) const { return test::NativePath(path(relative)); }
    // The drive root the temporary folder lies on, as the list holds it.
    QString root() const {
        QDir dir(tmp.path());
        while (!dir.isRoot() && dir.cdUp()) {
        }
        return NormalDirectory(dir.absolutePath());
    }
    void setProject(const char* relative) {
        state.project.ProjectFile = test::P(tmp.filePath(QString::fromLatin1(relative)));
    }
    TDirDlgF& create() {
        dialog = std::make_unique<TDirDlgF>(state, dialogs, sources);
        return *dialog;
    }
    DirectoryListBox* list() const {
        return dialog->findChild<DirectoryListBox*>(QStringLiteral("DirectoryListBox1"));
    }
    QString status() const {
        return dialog->findChild<StatusPanels*>(QStringLiteral("StatusBar1"))->panelText(0);
    }
    template <typename T>
    T* child(const QString& name) const {
        return dialog->findChild<T*>(name);
    }
    // Runs ChooseDirectory; `inside` acts on the open dialog and should close it.
    ChosenDirectory choose(const std::function<void()>& inside) {
        QTimer::singleShot(0, dialog.get(), [this, inside] {
            inside();
            if (dialog->isVisible()) dialog->reject();  // never hang the test
        });
        return dialog->ChooseDirectory();
    }
    void open(const QString& folder) {
        QTreeWidgetItem* item = list()->entryFor(folder);
        QVERIFY2(item, qPrintable(folder));
        list()->setCurrentItem(item);
        QTest::keyClick(list(), Qt::Key_Return);
    }
};

}  // namespace

class TestDirDialog : public QObject {
    Q_OBJECT
private slots:
    void appearance();
    void driveButtonsOnTheDialog();
    void driveButtonsOfThisMachine();
    void wineDrivesComeFirst();
    void unreachableDriveLeavesTheRow();
    void opensInProjectFolder();
    void selectingDoesNotOpen();
    void openingChangesDirectory_data();
    void openingChangesDirectory();
    void cancelAfterMoving();
    void closeBoxCountsAsCancel();
    void noProjectKeepsList();
    void vanishedStartFolder();
    void vanishedEntry();
    void escapeCancels();
    void shortcuts_data();
    void shortcuts();
    void driveButtonGoesToItsRoot();
    void okRefusesUnstorablePath_data();
    void okRefusesUnstorablePath();
};

void TestDirDialog::appearance() {
    Fixture f;
    TDirDlgF& d = f.create();
    QCOMPARE(d.windowTitle(), QStringLiteral("Open Directory"));
    QVERIFY(!d.isVisible());
    QCOMPARE(d.minimumSize(), d.maximumSize());
    QCOMPARE(d.palette().color(QPalette::Window), QColor(221, 215, 204));
    const char* const captions[3] = {"Computer", "Desktop", "Personal"};
    for (int i = 1; i <= 3; ++i) {
        auto* image = f.child<QLabel>(QStringLiteral("Image%1").arg(i));
        QVERIFY(image);
        QVERIFY(!compat::LabelPixmap(*image).isNull());
        QCOMPARE(f.child<QLabel>(QStringLiteral("Label%1").arg(i))->text(),
                 QString::fromLatin1(captions[i - 1]));
    }
    // Tab goes from the list to Ok and Cancel, then to every drive button and picture.
    auto nextStop = [](QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(w->window()));
        return w;
    };
    QList<QWidget*> expected{f.child<QPushButton>(QStringLiteral("Button1")),
                             f.child<QPushButton>(QStringLiteral("Button2"))};
    for (int n = 3; n <= 14; ++n)
        if (auto* drive = f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(n));
            drive->isVisibleTo(&d))
            expected << drive;
    for (int n = 1; n <= 3; ++n) expected << f.child<QLabel>(QStringLiteral("Image%1").arg(n));
    expected << f.list();
    QWidget* w = f.list();
    for (QWidget* next : expected) QCOMPARE(w = nextStop(w), next);
}

void TestDirDialog::driveButtonsOnTheDialog() {
    Fixture f;
    f.sources.volumes = {{u"/z"_s, true, {}},
                         {u"/a"_s, false, {}},
                         {u"/"_s, true, {}},
                         {u"/media/usb-stick"_s, true, {}}};
    f.create();
    int right = 0;
    for (int slot = 1; slot <= 12; ++slot) {
        auto* button = f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(slot + 2));
        QVERIFY(button);
        QCOMPARE(button->isVisibleTo(f.dialog.get()), slot <= 3);
        if (slot == 1) QCOMPARE(button->text(), QStringLiteral("/"));
        if (slot == 2) QCOMPARE(button->text(), QStringLiteral("/media/usb-stick"));
        if (slot == 3) QCOMPARE(button->text(), QStringLiteral("/z"));
        if (slot > 3) continue;
        // Side by side, each wide enough for its whole root.
        QVERIFY(button->x() > right);
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(button->text()));
        right = button->x() + button->width();
    }
}

void TestDirDialog::driveButtonsOfThisMachine() {
    // The system's own list: the first button is the root ("c:\\" on Windows, "/" elsewhere),
    // and it leads there.
    Fixture f;
    f.sources = SystemDirDlgSources({});
    f.create();
    auto* first = f.child<QToolButton>(u"SpeedButton3"_s);
    QCOMPARE(first->text(), kVolumesAreDrives ? u"c:\\"_s : u"/"_s);
    f.choose([&] {
        first->click();
        QCOMPARE(f.status(), kVolumesAreDrives ? u"c:\\"_s : u"/"_s);
        QCOMPARE(f.list()->topLevelItem(0)->text(0), first->text());
    });
}

void TestDirDialog::wineDrivesComeFirst() {
#ifdef Q_OS_WIN
    QSKIP("KEST runs without Wine on Windows");
#else
    // kest.exe (a Windows program) inside a prefix whose drives lie in a hidden folder.
    Fixture f;
    const QString prefix = f.tmp.filePath(u".wine"_s);
    QVERIFY(QDir().mkpath(prefix + u"/drive_c/KEST"_s) && QDir().mkpath(prefix + u"/dosdevices"_s));
    QVERIFY(QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s));
    QVERIFY(QFile::link(u"/"_s, prefix + u"/dosdevices/z:"_s));
    QByteArray pe = QByteArray("MZ").append(QByteArray(58, '\0')).append("\x40\0\0\0", 4);
    pe.append(QByteArray("PE\0\0\x4c\x01", 6));
    test::WriteAll(prefix + u"/drive_c/KEST/kest.exe"_s, pe);
    f.state.kestFolder = cp1251::FromQString(prefix + u"/drive_c/KEST/"_s).value();
    f.sources.volumes = {{u"/"_s, true, {}}, {u"/media/usb"_s, true, {}}};
    f.create();
    f.choose([&] {
        auto text = [&](int slot) {
            return f.child<QToolButton>(QStringLiteral("SpeedButton%1").arg(slot + 2))->text();
        };
        QCOMPARE(QStringList({text(1), text(2), text(3)}),
                 QStringList({u"c:\\"_s, u"z:\\"_s, u"/media/usb"_s}));
        QTest::mouseClick(f.child<QToolButton>(u"SpeedButton3"_s), Qt::LeftButton);
        QCOMPARE(f.list()->directory(), NormalDirectory(prefix + u"/drive_c"_s));
    });
#endif
}

void TestDirDialog::unreachableDriveLeavesTheRow() {
    Fixture f;
    f.sources.volumes = {{f.path("other"), true, QStringLiteral("Other")},
                         {f.path("missing"), true, QStringLiteral("Gone")}};
    f.create();
    auto* gone = f.child<QToolButton>(QStringLiteral("SpeedButton3"));
    auto* other = f.child<QToolButton>(QStringLiteral("SpeedButton4"));
    QCOMPARE(gone->text(), QStringLiteral("Gone"));
    QCOMPARE(other->toolTip(), f.native("other"));
    const int first = gone->x();
    f.choose([&] {
        gone->click();
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY(!gone->isVisible());
        QCOMPARE(other->x(), first);
        other->click();
        QCOMPARE(f.list()->directory(), f.path("other"));
        f.child<QPushButton>(QStringLiteral("Button2"))->click();
    });
}

void TestDirDialog::opensInProjectFolder() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        QCOMPARE(f.list()->directory(), f.path("work"));
        QCOMPARE(f.status(), f.native("work"));
        QVERIFY(f.list()->entryFor(f.path("work/sub1")));
        QVERIFY(f.list()->entryFor(f.path("work/sub2")));
        QVERIFY(f.list()->entryFor(f.root()));
        QVERIFY(!f.list()->entryFor(f.path("other")));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work"));
}

void TestDirDialog::selectingDoesNotOpen() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        QTreeWidgetItem* sub = f.list()->entryFor(f.path("work/sub1"));
        QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {},
                          f.list()->visualItemRect(sub).center());
        QCOMPARE(f.list()->currentItem(), sub);
        QCOMPARE(f.list()->directory(), f.path("work"));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work"));
}

void TestDirDialog::openingChangesDirectory_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("enter") << false;
    QTest::newRow("double click") << true;
}

void TestDirDialog::openingChangesDirectory() {
    QFETCH(bool, doubleClick);
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        if (doubleClick) {
            QTreeWidgetItem* sub = f.list()->entryFor(f.path("work/sub2"));
            emit f.list()->itemDoubleClicked(sub, 0);
        } else {
            f.open(f.path("work/sub2"));
        }
        QCOMPARE(f.list()->directory(), f.path("work/sub2"));
        QCOMPARE(f.status(), f.native("work/sub2"));
        // Going up through an entry of the chain works the same way.
        f.open(f.path("work"));
        QCOMPARE(f.list()->directory(), f.path("work"));
        f.open(f.path("work/sub2"));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work/sub2"));
    QVERIFY(f.dialogs.messages.empty());
}

void TestDirDialog::cancelAfterMoving() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        f.open(f.path("work/sub1"));
        f.child<QPushButton>(QStringLiteral("Button2"))->click();
    });
    QVERIFY(!result.accepted);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(QString::fromStdString(result.directory), f.native("work/sub1"));
}

void TestDirDialog::closeBoxCountsAsCancel() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        f.open(f.path("work/sub1"));
        f.dialog->close();
    });
    QVERIFY(!result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work"));
}

void TestDirDialog::noProjectKeepsList() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    f.choose([&] {
        f.open(f.path("work/sub1"));
        f.child<QPushButton>(QStringLiteral("Button2"))->click();
    });
    f.state.project.ProjectFile.clear();
    const ChosenDirectory result = f.choose([&] {
        QCOMPARE(f.list()->directory(), f.path("work/sub1"));
        QCOMPARE(f.status(), QString());
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work/sub1"));
}

void TestDirDialog::vanishedStartFolder() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    f.choose([&] { f.child<QPushButton>(QStringLiteral("Button2"))->click(); });
    QVERIFY(f.dialogs.messages.empty());

    f.setProject("gone/demo.mpm");
    const ChosenDirectory result = f.choose([&] {
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY(f.dialogs.messages[0].text.contains(f.native("gone")));
        QCOMPARE(f.list()->directory(), f.path("work"));
        QCOMPARE(f.status(), f.native("work"));
        QVERIFY(f.dialog->isVisible());
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work"));
}

void TestDirDialog::vanishedEntry() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    f.choose([&] {
        QVERIFY(QDir(f.path("work/sub2")).removeRecursively());
        f.open(f.path("work/sub2"));
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.list()->directory(), f.path("work"));
        QCOMPARE(f.status(), f.native("work"));
        QVERIFY(f.dialog->isVisible());
        f.child<QPushButton>(QStringLiteral("Button2"))->click();
    });
}

void TestDirDialog::escapeCancels() {
    Fixture f;
    f.setProject("work/demo.mpm");
    f.create();
    // Enter in the list belongs to the list; Escape cancels as Cancel does.
    const ChosenDirectory chosen = f.choose([&] {
        QTest::keyClick(f.list(), Qt::Key_Return);
        QVERIFY(f.dialog->isVisible());
        QTest::keyClick(f.list(), Qt::Key_Escape);
    });
    QVERIFY(!chosen.accepted);
}

void TestDirDialog::shortcuts_data() {
    QTest::addColumn<int>("image");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("personal");
    QTest::addColumn<QString>("expected");  // relative to the temporary folder; "/" is the root
    QTest::newRow("computer") << 1 << ""
                              << ""
                              << "/";
    QTest::newRow("desktop") << 2 << "desk"
                             << ""
                             << "desk";
    QTest::newRow("personal") << 3 << ""
                              << "other"
                              << "other";
    QTest::newRow("personal unknown stays") << 3 << "desk"
                                            << ""
                                            << "work";
    // A Linux home without ~/Desktop: the home folder; a Windows desktop that vanished: stays.
    QTest::newRow("desktop missing") << 2 << "nowhere"
                                     << "" << (kVolumesAreDrives ? "work" : "~");
}

void TestDirDialog::shortcuts() {
    QFETCH(int, image);
    QFETCH(QString, desktop);
    QFETCH(QString, personal);
    QFETCH(QString, expected);
    Fixture f;
    auto folder = [&](const QString& name) {
        return name.isEmpty() ? std::string() : test::P(f.tmp.filePath(name));
    };
    f.sources.desktopFolder = folder(desktop);
    f.sources.personalFolder = folder(personal);
    f.setProject("work/demo.mpm");
    f.create();
    // "Computer" goes to the system drive's root.
    const QString want = expected == QLatin1String("/")   ? NormalDirectory(QDir::rootPath())
                         : expected == QLatin1String("~") ? NormalDirectory(QDir::homePath())
                                                          : f.path(expected.toLatin1().constData());
    f.choose([&] {
        QTest::mouseClick(f.child<QLabel>(QStringLiteral("Image%1").arg(image)), Qt::LeftButton);
        QCOMPARE(f.list()->directory(), want);
        QCOMPARE(f.status(), test::NativePath(want));
        QCOMPARE(f.child<QFrame>(QStringLiteral("Panel%1").arg(image))->frameShape(),
                 QFrame::NoFrame);
        f.child<QPushButton>(QStringLiteral("Button2"))->click();
    });
    QCOMPARE(
        f.dialogs.messages.size(),
        size_t(expected == QLatin1String("work") && desktop == QLatin1String("nowhere") ? 1 : 0));
}

void TestDirDialog::driveButtonGoesToItsRoot() {
    Fixture f;
    f.sources.volumes = {{f.path("other"), true, {}}, {f.path("missing"), true, {}}};
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        // Ordered by root path: ".../missing" takes slot 1.
        f.child<QToolButton>(QStringLiteral("SpeedButton3"))->click();
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QCOMPARE(f.list()->directory(), f.path("work"));
        f.child<QToolButton>(QStringLiteral("SpeedButton4"))->click();
        QCOMPARE(f.list()->directory(), f.path("other"));
        QCOMPARE(f.status(), f.native("other"));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QCOMPARE(QString::fromStdString(result.directory), f.native("other"));
}

void TestDirDialog::okRefusesUnstorablePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");  // what the message names
    QTest::newRow("outside CP1251")
        << QStringLiteral("\u65e5\u672c") << QStringLiteral("\u65e5\u672c");
    // It would end up under "PascalOutPath=" and "OutPath=" in the project settings file.
    QTest::newRow("holds a key") << QStringLiteral("OutPath=x") << QStringLiteral("\"OutPath=\"");
    // A blank would end the compiler switch the folder goes into.
    QTest::newRow("holds a blank") << QStringLiteral("blink 1") << QStringLiteral("blink 1");
}

void TestDirDialog::okRefusesUnstorablePath() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    Fixture f;
    const QString odd = f.tmp.filePath(QStringLiteral("work/") + name);
    QVERIFY(QDir().mkpath(odd));
    f.setProject("work/demo.mpm");
    f.create();
    const ChosenDirectory result = f.choose([&] {
        f.open(NormalDirectory(odd));
        QCOMPARE(f.list()->directory(), NormalDirectory(odd));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY2(f.dialogs.messages[0].text.contains(shown),
                 qPrintable(f.dialogs.messages[0].text));
        f.open(f.path("work"));
        f.child<QPushButton>(QStringLiteral("Button1"))->click();
    });
    QVERIFY(result.accepted);
    QCOMPARE(QString::fromStdString(result.directory), f.native("work"));
}

PMKEST_TEST_MAIN(TestDirDialog)
#include "tst_dir_dialog.moc"
