#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "core/text/cp1251.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main/about_box.h"
#include "windows/main/main_window.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

struct Fixture {
    QTemporaryDir dir;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TMain> window;

    QString settingsFile() const { return dir.filePath(QStringLiteral("PMKEST_121226.ini")); }
    TMain& start() {
        window =
            std::make_unique<TMain>(state, dialogs, StartOptions{dir.path(), {}, dir.path(), {}});
        return *window;
    }
    QString label(const char* name) const {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QString status(int panel) const {
        return window->findChild<StatusPanels*>(QStringLiteral("StatusBar1"))->panelText(panel);
    }
    QList<QAction*> visibleRecent() const {
        QList<QAction*> items;
        for (int k = 1; k <= 20; ++k) {
            auto* item = window->findChild<QAction*>(QStringLiteral("N%1").arg(k * 10 + 1));
            if (item && item->isVisible()) items << item;
        }
        return items;
    }
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartDefaults();
    void layout();
    void settingsRoundTrip();
    void badCounterStillReadsTheRest();
    void crOnlySettingsFile();
    void unwritableSettingsAsksBeforeClosing();
    void recentProjects();
    void pathCommands_data();
    void pathCommands();
    void languageSwitch();
    void flagNamesFollowTheLanguage_data();
    void flagNamesFollowTheLanguage();
    void boxesFollowTheLanguage_data();
    void boxesFollowTheLanguage();
    void rowTooltipShowsWholePath();
    void aboutBox();
    void shortcutsWorkWithControlsDisabled();
    void shellFolderListPlace_data();
    void shellFolderListPlace();
};

void TestMainWindow::firstStartDefaults() {
    Fixture f;
    TMain& w = f.start();
    QCOMPARE(w.windowTitle(), QStringLiteral("Project manager for KEST [13.01.09]"));
    QCOMPARE(f.label("Label4"), QString());
    QCOMPARE(f.label("Label1"), QString());
    QCOMPARE(f.label("Label2"), QString());
    QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
    QCOMPARE(f.status(0), QStringLiteral("English"));
    QCOMPARE(f.status(1), QStringLiteral("0"));
    QVERIFY(f.visibleRecent().isEmpty());
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(!QFile::exists(f.settingsFile()));
    // The first close creates the file in the program folder.
    QVERIFY(w.close());
    QCOMPARE(ReadAll(f.settingsFile()).count("\r\n"), 26);
}

void TestMainWindow::layout() {
    Fixture f;
    TMain& w = f.start();
    QWidget* client = w.centralWidget();
    QCOMPARE(client->size(), QSize(712, 229));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(221, 215, 204));
    const struct {
        const char* name;
        QRect place;
    } places[] = {{"Label4", {32, 34, 540, 13}},      {"Label1", {32, 66, 540, 13}},
                  {"Label2", {32, 98, 540, 13}},      {"Bevel1", {16, 28, 570, 24}},
                  {"Bevel2", {16, 60, 570, 24}},      {"Bevel3", {16, 92, 570, 24}},
                  {"PaintBox5", {592, 28, 100, 24}},  {"PaintBox2", {592, 60, 100, 24}},
                  {"PaintBox3", {592, 92, 100, 24}},  {"CheckBox1", {592, 136, 97, 17}},
                  {"Image4", {18, 136, 32, 25}},      {"Bevel4", {16, 134, 35, 29}},
                  {"Image6", {59, 136, 32, 25}},      {"Bevel5", {57, 134, 35, 29}},
                  {"PaintBox6", {16, 169, 100, 24}},  {"PaintBox4", {477, 169, 100, 24}},
                  {"PaintBox1", {592, 169, 100, 24}}, {"StatusBar1", {0, 210, 712, 19}}};
    for (const auto& p : places) {
        auto* widget = client->findChild<QWidget*>(QString::fromLatin1(p.name));
        QVERIFY2(widget, p.name);
        QCOMPARE(widget->geometry(), p.place);
    }
    auto* bar = w.findChild<StatusPanels*>(QStringLiteral("StatusBar1"));
    QCOMPARE(bar->panelWidth(0), 100);
    QCOMPARE(bar->panelWidth(1), 50);
    QCOMPARE(bar->panelWidth(2), 562);
    QCOMPARE(w.findChild<QAction*>(QStringLiteral("Exit1"))->shortcut(), QKeySequence(u"Ctrl+X"_s));
    QCOMPARE(w.findChild<QAction*>(QStringLiteral("CreateProject1"))->shortcut(),
             QKeySequence(u"Ctrl+K"_s));
    QCOMPARE(w.findChild<QMenu*>(QStringLiteral("ReopenProject1"))->actions().size(), 20);
    w.show();
    QCOMPARE(w.minimumSize(), w.maximumSize());
}

void TestMainWindow::settingsRoundTrip() {
    Fixture f;
    const QString project = f.dir.filePath(QStringLiteral("проект.mpm"));
    WriteAll(project, "x\r\n");
    const std::string projectBytes = *cp1251::FromQString(project);
    const QByteArray file =
        QByteArray("COUNTER=41\r\nPATHKEST=  /ide/  \r\nPATHINIKEST=/ini/\r\n") +
        "PROJECTCUR=" + QByteArray::fromStdString(projectBytes) +
        "\r\nFLAGHIDE=TRUE\r\nFLAGRUS=FALSE\r\nPROJECT3=" +
        QByteArray::fromStdString(projectBytes) + "\r\nPROJECT4=/gone.mpm\r\n";
    WriteAll(f.settingsFile(), file);
    TMain& w = f.start();
    QCOMPARE(f.label("Label4"), QStringLiteral("/ide/"));
    QCOMPARE(f.label("Label1"), QStringLiteral("/ini/"));
    QCOMPARE(f.label("Label2"), project);
    QCOMPARE(f.status(1), QStringLiteral("41"));
    QCOMPARE(f.status(2), f.dir.filePath(QStringLiteral("проект.ini")));
    QVERIFY(w.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
    QCOMPARE(f.visibleRecent().size(), 1);
    QCOMPARE(f.visibleRecent()[0]->objectName(), QStringLiteral("N31"));
    QCOMPARE(f.visibleRecent()[0]->text(), project);

    w.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(false);
    QVERIFY(w.close());
    QByteArray expected = "COUNTER=41\r\nPATHKEST=/ide/\r\nPATHINIKEST=/ini/\r\nPROJECTCUR=" +
                          QByteArray::fromStdString(projectBytes) +
                          "\r\nFLAGHIDE=FALSE\r\nFLAGRUS=FALSE\r\n";
    for (int n = 1; n <= 20; ++n)
        expected += "PROJECT" + QByteArray::number(n) + "=" +
                    (n == 3 ? QByteArray::fromStdString(projectBytes) : QByteArray()) + "\r\n";
    QCOMPARE(ReadAll(f.settingsFile()), expected);
}

void TestMainWindow::crOnlySettingsFile() {
    Fixture f;
    WriteAll(f.settingsFile(), "COUNTER=4\rPATHKEST=/ide/\rPATHINIKEST=/ini/\rFLAGRUS=TRUE\r");
    TMain& w = f.start();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.label("Label4"), QStringLiteral("/ide/"));
    QVERIFY(w.close());
    QVERIFY(ReadAll(f.settingsFile())
                .startsWith("COUNTER=4\r\nPATHKEST=/ide/\r\nPATHINIKEST=/ini/\r\nPROJECTCUR=\r\n"
                            "FLAGHIDE=FALSE\r\nFLAGRUS=TRUE\r\n"));
}

void TestMainWindow::badCounterStillReadsTheRest() {
    Fixture f;
    WriteAll(f.settingsFile(), "COUNTER=x1\r\nPATHKEST=/ide/\r\nFLAGRUS=TRUE\r\n");
    TMain& w = f.start();
    QCOMPARE(f.dialogs.messageTexts(), QStringList{u"'x1' is not a valid integer value"_s});
    QCOMPARE(f.label("Label4"), QStringLiteral("/ide/"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Менеджер проектов KEST [13.01.09]"));
    QCOMPARE(f.status(0), QStringLiteral("Русский"));
    QVERIFY(w.close());
    QVERIFY(ReadAll(f.settingsFile()).startsWith("COUNTER=0\r\nPATHKEST=/ide/\r\n"));
}

void TestMainWindow::unwritableSettingsAsksBeforeClosing() {
    Fixture f;
    // A folder in the settings file's place makes every write fail, whoever runs the test.
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("PMKEST_121226.ini")));
    TMain& w = f.start();
    w.show();
    f.dialogs.yesNoAnswers = {false, true};
    QVERIFY(!w.close());  // the user stays
    QVERIFY(w.isVisible());
    QCOMPARE(f.dialogs.questions.size(), 1);
    QVERIFY(f.dialogs.questions[0].contains(QStringLiteral("could not be written")));
    QVERIFY(w.close());  // and then closes anyway
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(QFileInfo(f.settingsFile()).isDir());
}

void TestMainWindow::recentProjects() {
    Fixture f;
    const QString a = f.dir.filePath(QStringLiteral("a.mpm"));
    const QString b = f.dir.filePath(QStringLiteral("b.mpm"));
    WriteAll(a, "");
    WriteAll(b, "");
    WriteAll(f.settingsFile(), "PROJECT1=" + a.toUtf8() + "\r\nPROJECT2=" + b.toUtf8() + "\r\n");
    TMain& w = f.start();
    QCOMPARE(f.visibleRecent().size(), 2);
    w.findChild<QAction*>(QStringLiteral("N21"))->trigger();
    QCOMPARE(f.label("Label2"), b);
    QCOMPARE(f.state.project.ProjectFile, b.toStdString());
    QCOMPARE(f.status(2), f.dir.filePath(QStringLiteral("b.ini")));
    QVERIFY(f.dialogs.messages.empty());

    // A vanished project: entry emptied, row and third panel cleared, message 4.
    QFile::remove(a);
    w.findChild<QAction*>(QStringLiteral("N11"))->trigger();
    QCOMPARE(f.dialogs.messageTexts(), QStringList{u"The project file not found"_s});
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
    QCOMPARE(f.label("Label2"), QString());
    QCOMPARE(f.status(2), QString());
    QCOMPARE(f.state.project.ProjectFile, a.toStdString());
    QCOMPARE(f.state.project.SettingsFile, f.dir.filePath(QStringLiteral("b.ini")).toStdString());
    QCOMPARE(f.visibleRecent().size(), 1);
    QVERIFY(f.state.recent[0].empty());

    f.state.project.ProjectFile = b.toStdString();
    w.AddRecentProject();  // already in the list: unchanged
    QVERIFY(f.state.recent[0].empty());
    QCOMPARE(f.state.recent[1], b.toStdString());
}

void TestMainWindow::pathCommands_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("expected");
    // The dialogs hand back paths in the system's own form.
#ifdef Q_OS_WIN
    constexpr bool windows = true;
#else
    constexpr bool windows = false;
#endif
    const auto os = [](const char* posix, const char* win) {
        return QString::fromUtf8(windows ? win : posix);
    };
    QTest::newRow("Path KEST, kest.exe")
        << 5 << os("/tools/ide/kest.exe", "D:\\Tools\\IDE\\kest.exe") << QStringLiteral("kest.exe")
        << QStringLiteral("Label4") << os("/tools/ide/", "D:\\Tools\\IDE\\");
    QTest::newRow("Path KEST, any other file")
        << 5 << os("/x/readme.txt", "C:\\x\\readme.txt") << QStringLiteral("kest.exe")
        << QStringLiteral("Label4") << os("/x/", "C:\\x\\");
    QTest::newRow("Path KEST.INI")
        << 2 << os("/home/иван/kest.ini", "C:\\Users\\иван\\kest.ini") << QStringLiteral("kest.ini")
        << QStringLiteral("Label1") << os("/home/иван/", "C:\\Users\\иван\\");
    QTest::newRow("cancelled") << 5 << QString() << QStringLiteral("kest.exe")
                               << QStringLiteral("Label4") << QStringLiteral("/old/");
    QTest::newRow("a pattern only filters the dialog")
        << 5 << os("/x/kest*.exe", "C:\\x\\kest*.exe") << QStringLiteral("kest.exe")
        << QStringLiteral("Label4") << QStringLiteral("/old/");
    QTest::newRow("path without a CP1251 form is refused")
        << 2 << os("/日本/kest.ini", "C:\\日本\\kest.ini") << QStringLiteral("kest.ini")
        << QStringLiteral("Label1") << QStringLiteral("/old/");
}

void TestMainWindow::pathCommands() {
    QFETCH(int, button);
    QFETCH(QString, chosen);
    QFETCH(QString, preset);
    QFETCH(QString, row);
    QFETCH(QString, expected);
    Fixture f;
    WriteAll(f.settingsFile(), "PATHKEST=/old/\r\nPATHINIKEST=/old/\r\n");
    TMain& w = f.start();
    f.dialogs.fileAnswers.push_back(chosen.isEmpty() ? std::nullopt
                                                     : std::optional<QString>(chosen));
    QTest::mouseClick(w.paintBox(button), Qt::LeftButton);
    QCOMPARE(f.dialogs.openRequests.size(), size_t(1));
    QCOMPARE(f.dialogs.openRequests[0].fileName, preset);
    QCOMPARE(f.dialogs.openRequests[0].folder, QStringLiteral("/old/"));
    QCOMPARE(f.label(row.toLatin1().constData()), expected);
    const std::string& folder = button == 5 ? f.state.kestFolder : f.state.kestIniFolder;
    QCOMPARE(cp1251::ToQString(folder), expected);
    QCOMPARE(f.dialogs.messages.size(), size_t(chosen.contains(QStringLiteral("日本")) ? 1 : 0));
}

void TestMainWindow::languageSwitch() {
    Fixture f;
    TMain& w = f.start();
    auto text = [&](const char* name) {
        if (auto* action = f.window->findChild<QAction*>(QString::fromLatin1(name)))
            return action->text();
        // "&" marks the letter that opens the menu with Alt; it is not shown.
        return f.window->findChild<QMenu*>(QString::fromLatin1(name))->title().remove(u'&');
    };
    QTest::mouseClick(w.findChild<QWidget*>(QStringLiteral("Image4")), Qt::LeftButton);
    QVERIFY(f.state.language == Language::Russian);
    QCOMPARE(w.windowTitle(), QStringLiteral("Менеджер проектов KEST [13.01.09]"));
    QCOMPARE(text("CreateProject1"), QStringLiteral("Создать новый проект"));
    QCOMPARE(text("EditCurrentProject1"), QStringLiteral("Редактировать загруженный проект"));
    QCOMPARE(text("EditProject1"), QStringLiteral("Редактировать проект"));
    QCOMPARE(text("Openproject1"), QStringLiteral("Открыть проект"));
    QCOMPARE(text("ReopenProject1"), QStringLiteral("Ранее открытые проекты"));
    QCOMPARE(text("Exit1"), QStringLiteral("Выйти"));
    QCOMPARE(text("File1"), QStringLiteral("Файл"));
    QCOMPARE(text("Help1"), QStringLiteral("Справка"));
    QCOMPARE(text("About1"), QStringLiteral("О программе"));
    QCOMPARE(w.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->text(),
             QStringLiteral("Скрыть окно"));
    QCOMPARE(f.status(0), QStringLiteral("Русский"));
    const QStringList russianCaptions{u"Запуск"_s,  u"Путь KEST.INI"_s, u"Выбрать проект"_s,
                                      u"Закрыть"_s, u"Путь KEST"_s,     u"Справка"_s};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(cp1251::ToQString(f.state.buttonCaptions[static_cast<size_t>(i)]),
                 russianCaptions[i]);
    QCOMPARE(cp1251::ToQString(f.state.messages.table.entry(1)),
             QStringLiteral("Не введен путь к программе KEST"));
    QTest::mouseClick(w.paintBox(6), Qt::LeftButton);
    QCOMPARE(f.dialogs.openedDocuments,
             QStringList{test::NativePath(f.dir.filePath(QStringLiteral("kesttoolsr.html")))});
    // The flag's frame is back to lowered after the flash.
    QCOMPARE(w.findChild<QFrame*>(QStringLiteral("Bevel4"))->frameShadow(), QFrame::Sunken);

    // Stored at close, so the next start is Russian too.
    QVERIFY(w.close());
    QVERIFY(ReadAll(f.settingsFile()).contains("FLAGRUS=TRUE\r\n"));

    TMain& again = f.start();
    QCOMPARE(again.windowTitle(), QStringLiteral("Менеджер проектов KEST [13.01.09]"));
    QTest::mouseClick(again.findChild<QWidget*>(QStringLiteral("Image6")), Qt::LeftButton);
    QVERIFY(f.state.language == Language::English);
    QCOMPARE(again.windowTitle(), QStringLiteral("Project manager for KEST [13.01.09]"));
    QCOMPARE(text("EditCurrentProject1"), QStringLiteral("Edit Loaded Project"));
    QCOMPARE(f.status(0), QStringLiteral("English"));
    QCOMPARE(f.state.messages.table.entry(5),
             std::string("Alternate initialization file not found"));
    QCOMPARE(f.state.buttonCaptions[2], std::string("Open Project"));
    QTest::mouseClick(again.paintBox(6), Qt::LeftButton);
    QCOMPARE(f.dialogs.openedDocuments.last(),
             test::NativePath(f.dir.filePath(QStringLiteral("kesttoolse.html"))));
    // Clicking the flag of the language already shown changes nothing else.
    QTest::mouseClick(again.findChild<QWidget*>(QStringLiteral("Image6")), Qt::LeftButton);
    QCOMPARE(again.windowTitle(), QStringLiteral("Project manager for KEST [13.01.09]"));
}

void TestMainWindow::flagNamesFollowTheLanguage_data() {
    QTest::addColumn<QStringList>("flagsClicked");
    QTest::addColumn<QStringList>("names");  // Image4, Image6
    QTest::newRow("English at start") << QStringList() << QStringList{u"Russian"_s, u"English"_s};
    QTest::newRow("switched to Russian")
        << QStringList{u"Image4"_s} << QStringList{u"Русский"_s, u"Английский"_s};
    QTest::newRow("and back to English")
        << QStringList{u"Image4"_s, u"Image6"_s} << QStringList{u"Russian"_s, u"English"_s};
}

void TestMainWindow::flagNamesFollowTheLanguage() {
    QFETCH(QStringList, flagsClicked);
    QFETCH(QStringList, names);
    Fixture f;
    TMain& w = f.start();
    for (const QString& flag : flagsClicked)
        QTest::mouseClick(w.findChild<QWidget*>(flag), Qt::LeftButton);
    QCOMPARE(w.findChild<QWidget*>(u"Image4"_s)->accessibleName(), names[0]);
    QCOMPARE(w.findChild<QWidget*>(u"Image6"_s)->accessibleName(), names[1]);
}

void TestMainWindow::boxesFollowTheLanguage_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("yes");  // the toolkit's own Yes button
    QTest::newRow("Russian") << true << QStringLiteral("Ошибка") << QStringLiteral("&Да");
    QTest::newRow("English") << false << QStringLiteral("Error") << QStringLiteral("&Yes");
}

void TestMainWindow::boxesFollowTheLanguage() {
    QFETCH(bool, russian);
    QFETCH(QString, title);
    QFETCH(QString, yes);
    Fixture f;
    TMain& w = f.start();
    if (russian)
        w.Image4Click();
    else
        w.Image6Click();
    RaiseMessage(f.state.messages, Message::ProjectNotFound, f.dialogs);
    QCOMPARE(f.dialogs.messages.back().title, title);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), yes);
}

void TestMainWindow::rowTooltipShowsWholePath() {
    Fixture f;
    const QString longPath =
        QStringLiteral("/") + QStringLiteral("очень длинная папка/").repeated(12);
    WriteAll(f.settingsFile(),
             "PATHKEST=" + QByteArray::fromStdString(*cp1251::FromQString(longPath)) + "\r\n");
    TMain& w = f.start();
    w.show();
    auto* row = w.findChild<QLabel*>(QStringLiteral("Label4"));
    QVERIFY(row->fontMetrics().horizontalAdvance(row->text()) > row->width());
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), row->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(row, &help);
    QCOMPARE(QToolTip::text(), longPath);
    QToolTip::hideText();
}

void TestMainWindow::aboutBox() {
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.size(), QSize(298, 213));
    QStringList texts;
    for (auto* label : box.findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Project manager for KEST")));
    QVERIFY(texts.contains(QStringLiteral("Version 12.12.26")));
    auto* ok = box.findChild<QPushButton*>(QStringLiteral("OKButton"));
    QVERIFY(ok->isDefault());
    QVERIFY(!compat::LabelPixmap(*box.findChild<QLabel*>(QStringLiteral("ProgramIcon"))).isNull());
    box.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

void TestMainWindow::shortcutsWorkWithControlsDisabled() {
    Fixture f;
    WriteAll(f.dir.filePath(QStringLiteral("kest.exe")), {});
    WriteAll(f.dir.filePath(QStringLiteral("kest.ini")), {});
    WriteAll(f.settingsFile(), "PATHKEST=" + f.dir.path().toUtf8() +
                                   "/\r\nPATHINIKEST=" + f.dir.path().toUtf8() + "/\r\n");
    TMain& w = f.start();
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // As during a run: every control of the client area disabled, the menu still usable.
    for (QWidget* child : w.centralWidget()->findChildren<QWidget*>()) child->setEnabled(false);
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.dialogs.openRequests.size(), size_t(1));
    QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(f.dialogs.saveRequests.size(), size_t(1));
}

void TestMainWindow::shellFolderListPlace_data() {
    QTest::addColumn<bool>("fallbackTakesIt");
    // As c:\\ is for a standard user on Windows: the list goes to the user's own folder.
    QTest::newRow("first place refused: the fallback, no message") << true;
    QTest::newRow("no place takes it: one message") << false;
}

void TestMainWindow::shellFolderListPlace() {
    QFETCH(bool, fallbackTakesIt);
    Fixture f;
    const QString blocked = f.dir.filePath(u"blocked"_s);
    WriteAll(blocked, "a file, not a folder");
    const QString fallback = fallbackTakesIt ? f.dir.filePath(u"local/pmkest"_s) : blocked;
    StartOptions options{f.dir.path(), {}, blocked, {}};
    options.dirsFallbackFolder = fallback;
    TMain w(f.state, f.dialogs, options);
    if (!fallbackTakesIt) {
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY2(f.dialogs.messages[0].text.contains(u"blocked"_s),
                 qPrintable(f.dialogs.messages[0].text));
        return;
    }
    QCOMPARE(f.dialogs.messageTexts(), QStringList());
    const QByteArray dirs = ReadAll(f.dir.filePath(u"local/pmkest/dirs.txt"_s));
    QCOMPARE(dirs.count("\r\n"), 100);
}

PMKEST_TEST_MAIN(TestMainWindow)

#include "tst_main_window.moc"
