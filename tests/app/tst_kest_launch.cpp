// Starting KEST end to end, with kest-standin playing KEST on real files.
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/cp1251.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main_window.h"

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

QByteArray ShellQuote(const QString& text) {
    return "'" + text.toUtf8().replace("'", "'\\''") + "'";
}

QString StandIn() {
    return qEnvironmentVariable("PMKEST_BUILD_DIR") + "/kest-standin";
}

const QByteArray kOldIni = "[Editor]\r\nFont=Courier New\r\nMainFile=/old/main.pas\r\n";
const QByteArray kProjectIni =
    "[Editor]\r\nFont=Courier New\r\nSourcePath=/w/blink/\r\nMainFile=/w/blink/blink.pas\r\n"
    "Author=\xC8\xE2\xE0\xED\r\nPascalOptions=-A -H -MGD\r\n";

// A program folder with its settings, a KEST folder, a kest.ini folder and one project.
struct Fixture {
    QTemporaryDir root;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TMain> window;
    QString kestFolder;

    explicit Fixture(const QString& kestFolderName = "kest") {
        kestFolder = root.filePath(kestFolderName) + "/";
        for (const QString& d :
             {QString("program"), QString("ini"), QString("proj"), QString("run"), kestFolderName})
            QDir(root.path()).mkpath(d);
        WriteAll(kestFolder + "kest.exe", {});
        WriteAll(ini(), kOldIni);
        WriteAll(mpm(), settings().toUtf8() + "\r\n");
        WriteAll(settings(), kProjectIni);
        kest("--set MainFile=/w/blink/new.pas");
        writeSettings(false, false);
    }
    QString ini() const { return root.filePath("ini/kest.ini"); }
    QString res() const { return root.filePath("ini/kest.res"); }
    QString mpm() const { return root.filePath("proj/blink.mpm"); }
    QString settings() const { return root.filePath("proj/blink.ini"); }
    QString managerSettings() const { return root.filePath("program/PMKEST_121226.ini"); }

    // KEST is a script that runs the stand-in with these arguments; before: shell lines first.
    void kest(const QByteArray& arguments, const QByteArray& before = {}) {
        const QString path = kestFolder + "kest";
        WriteAll(path, "#!/bin/sh\n" + before +
                           "\nKEST_INI_DIR=" + ShellQuote(root.filePath("ini")) + " exec " +
                           ShellQuote(StandIn()) + " " + arguments + "\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }
    void writeSettings(bool hide, bool russian, const QString& kestPath = QString()) {
        const QString k = kestPath.isNull() ? kestFolder : kestPath;
        WriteAll(managerSettings(),
                 QByteArray("COUNTER=0\r\nPATHKEST=") +
                     QByteArray::fromStdString(cp1251::FromQString(k).value_or("")) +
                     "\r\nPATHINIKEST=" + root.filePath("ini/").toUtf8() + "\r\nPROJECTCUR=" +
                     mpm().toUtf8() + "\r\nFLAGHIDE=" + (hide ? "TRUE" : "FALSE") +
                     "\r\nFLAGRUS=" + (russian ? "TRUE" : "FALSE") + "\r\n");
    }
    TMain& start(const QStringList& arguments = {}) {
        window = std::make_unique<TMain>(
            state, dialogs,
            StartOptions{root.filePath("program"), arguments, root.filePath("run")});
        return *window;
    }
    void clickStart() {
        PaintBox* box = window->findChild<PaintBox*>("PaintBox1");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, 10));
    }
    QString status(int panel) const {
        return window->findChild<StatusPanels*>("StatusBar1")->panelText(panel);
    }
};

}  // namespace

class TestKestLaunch : public QObject {
    Q_OBJECT
private slots:
    void successfulRun();
    void nonZeroExitStillCopiesBack();
    void stopsBeforeCopying_data();
    void stopsBeforeCopying();
    void projectFileNamesAnotherSettingsFile();
    void readOnlySettingsFile();
    void failedSwapDoesNotStartKest();
    void failedCopyBackIsReported();
    void waitingModes_data();
    void waitingModes();
    void closingDuringRun_data();
    void closingDuringRun();
    void folderNameNeedsNoQuoting();
    void wineRunsKestExe();
    void commandLineStart();
    void commandLineMessagesAreRussian();
    void commandLineNamesNoFile();
    void dirsFile();
};

void TestKestLaunch::successfulRun() {
    Fixture f;
    f.start();
    f.clickStart();
    QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join('|')));
    const QByteArray after = ReadAll(f.ini());
    QCOMPARE(ReadAll(f.settings()), after);
    QCOMPARE(after, QByteArray(kProjectIni).replace("/w/blink/blink.pas", "/w/blink/new.pas"));
    QCOMPARE(ReadAll(f.res()), kOldIni);
    QCOMPARE(f.state.launchCounter, 1);
    QCOMPARE(f.status(1), QString("1"));
    f.clickStart();
    QCOMPARE(f.state.launchCounter, 2);
    QCOMPARE(ReadAll(f.res()), after);  // kest.res holds kest.ini as it was before this start
}

void TestKestLaunch::nonZeroExitStillCopiesBack() {
    Fixture f;
    f.kest("--set Result=failed --exit 3");
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messageTexts(), QStringList{"Problems!"});
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Plain);
    QVERIFY(ReadAll(f.settings()).endsWith("Result=failed\r\n"));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    QCOMPARE(f.status(1), QString("1"));
}

void TestKestLaunch::stopsBeforeCopying_data() {
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("no KEST folder") << "kestFolder="
                                    << "Do not put the path to the KEST";
    QTest::newRow("no kest.exe") << "rm kest.exe"
                                 << "Do not put the path to the KEST";
    QTest::newRow("folder without separator") << "kestFolder-slash"
                                              << "Do not put the path to the KEST";
    QTest::newRow("no ini folder") << "iniFolder="
                                   << "Do not put the path program initialization KEST";
    QTest::newRow("no kest.ini") << "rm kest.ini"
                                 << "Do not put the path program initialization KEST";
    QTest::newRow("no settings file") << "rm settings"
                                      << "Alternate initialization file not found";
    QTest::newRow("empty first line names nothing") << "empty first line"
                                                    << "Alternate initialization file not found";
    QTest::newRow("no project file") << "rm mpm"
                                     << "blink.mpm";
    QTest::newRow("no project chosen") << "project="
                                       << "Do not enter the name of the project file";
}

void TestKestLaunch::stopsBeforeCopying() {
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    Fixture f;
    f.start();
    if (breakage == "kestFolder=") f.state.kestFolder.clear();
    if (breakage == "kestFolder-slash") f.state.kestFolder.pop_back();
    if (breakage == "iniFolder=") f.state.kestIniFolder.clear();
    if (breakage == "rm kest.exe") QFile::remove(f.kestFolder + "kest.exe");
    if (breakage == "rm kest.ini") QFile::remove(f.ini());
    if (breakage == "rm settings") QFile::remove(f.settings());
    if (breakage == "rm mpm") QFile::remove(f.mpm());
    if (breakage == "project=") f.state.project.ProjectFile.clear();
    if (breakage == "empty first line") WriteAll(f.mpm(), "\r\n" + f.settings().toUtf8());
    f.clickStart();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY2(f.dialogs.messages[0].text.contains(message), qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
    QVERIFY(!QFile::exists(f.res()));
    if (QFile::exists(f.ini())) QCOMPARE(ReadAll(f.ini()), kOldIni);
    if (QFile::exists(f.settings())) QCOMPARE(ReadAll(f.settings()), kProjectIni);
    QCOMPARE(f.state.launchCounter, 0);
}

void TestKestLaunch::projectFileNamesAnotherSettingsFile() {
    Fixture f;
    const QString other = f.root.filePath("proj/other settings.ini");
    WriteAll(other, "Other=1\r\n");
    WriteAll(f.mpm(), other.toUtf8() + "\r\n");
    f.start();
    QCOMPARE(f.state.project.SettingsFile, cp1251::FromQString(f.settings()).value());
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.state.project.SettingsFile, cp1251::FromQString(other).value());
    QCOMPARE(ReadAll(other), QByteArray("Other=1\r\nMainFile=/w/blink/new.pas\r\n"));
    QCOMPARE(ReadAll(f.ini()), ReadAll(other));
    QCOMPARE(ReadAll(f.settings()), kProjectIni);
}

void TestKestLaunch::readOnlySettingsFile() {
    Fixture f;
    QFile::setPermissions(f.settings(), QFile::ReadOwner | QFile::ReadGroup);
    const bool writable = QFileInfo(f.settings()).isWritable();  // root may write anyway
    f.start();
    f.clickStart();
    // The swap only reads the settings file, so KEST runs on the project's values.
    QVERIFY(ReadAll(f.ini()).startsWith(QByteArray(kProjectIni).left(40)));
    QVERIFY(ReadAll(f.ini()).contains("MainFile=/w/blink/new.pas"));
    if (writable) {
        QVERIFY(f.dialogs.messages.empty());
        QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    } else {
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY(f.dialogs.messages[0].text.contains(f.settings()));
        QCOMPARE(ReadAll(f.settings()), kProjectIni);
    }
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::failedSwapDoesNotStartKest() {
    Fixture f;
    QDir(f.root.path()).mkpath("ini/kest.res");  // kest.res cannot be written
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString text = f.dialogs.messages[0].text;
    QVERIFY2(text.startsWith("KEST was not started") && text.contains(f.res()), qPrintable(text));
    QCOMPARE(ReadAll(f.ini()), kOldIni);
    QCOMPARE(ReadAll(f.settings()), kProjectIni);
    QCOMPARE(f.state.launchCounter, 0);
}

void TestKestLaunch::failedCopyBackIsReported() {
    Fixture f;
    // While KEST runs, the project's settings file turns into a folder.
    f.kest("--set Result=kept",
           "rm " + ShellQuote(f.settings()) + " && mkdir " + ShellQuote(f.settings()));
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY2(f.dialogs.messages[0].text.contains(f.settings()),
             qPrintable(f.dialogs.messages[0].text));
    QVERIFY(ReadAll(f.ini()).endsWith("Result=kept\r\n"));
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::waitingModes_data() {
    QTest::addColumn<bool>("hide");
    QTest::newRow("hide") << true;
    QTest::newRow("no hide") << false;
}

void TestKestLaunch::waitingModes() {
    QFETCH(bool, hide);
    Fixture f;
    f.kest("--sleep 600");
    f.writeSettings(hide, false);
    TMain& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    bool visibleDuringRun = !hide;
    int disabledControls = 0;
    int controls = 0;
    bool menuEnabled = false;
    connect(&w.launcher(), &KestLauncher::kestStarted, this, [&] {
        visibleDuringRun = w.isVisible();
        const auto children = w.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        controls = int(children.size());
        for (QWidget* c : children) disabledControls += c->isEnabled() ? 0 : 1;
        menuEnabled = w.findChild<QMenu*>("File1")->isEnabled() &&
                      w.findChild<QAction*>("Openproject1")->isEnabled();
    });
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(50);
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(visibleDuringRun, !hide);
    QVERIFY(controls >= 16);
    QCOMPARE(disabledControls, controls);
    QVERIFY(menuEnabled);
    if (hide)
        QCOMPARE(ticks, 0);  // no events while hidden and waiting
    else
        QVERIFY2(ticks >= 4, qPrintable(QString::number(ticks)));  // events handled meanwhile
    QVERIFY(w.isVisible());
    for (QWidget* c : w.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY(c->isEnabled());
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::closingDuringRun_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes ends KEST") << true;
    QTest::newRow("no goes on") << false;
}

void TestKestLaunch::closingDuringRun() {
    QFETCH(bool, answer);
    Fixture f;
    f.kest(answer ? "--set Closed=1 --sleep 20000" : "--set Closed=1 --sleep 1000");
    TMain& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.dialogs.yesNoAnswers.push_back(answer);
    QTimer::singleShot(300, &w, [&] { w.close(); });
    QElapsedTimer clock;
    clock.start();
    f.clickStart();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QVERIFY(f.dialogs.questions[0].startsWith("KEST is still running"));
    QVERIFY(f.dialogs.messages.empty());  // no "Problems!" for a KEST the user ended
    QVERIFY(ReadAll(f.settings()).endsWith("Closed=1\r\n"));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    if (answer) {
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(!w.isVisible());
        // Written at the close, before this run could be counted.
        QVERIFY(ReadAll(f.managerSettings()).startsWith("COUNTER=0\r\n"));
    } else {
        QVERIFY(clock.elapsed() >= 1000);
        QVERIFY(w.isVisible());
        QCOMPARE(f.state.launchCounter, 1);
        QVERIFY(!ReadAll(f.managerSettings()).contains("PROJECT1="));  // not written yet
    }
}

void TestKestLaunch::folderNameNeedsNoQuoting() {
    Fixture f("K E'S\"T $(touch pwned); & `touch pwned2`");
    f.start();
    QVERIFY(f.window->CheckKestPaths());
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(ReadAll(f.settings()).contains("MainFile=/w/blink/new.pas"));
    QVERIFY(!QFile::exists("pwned") && !QFile::exists(f.root.filePath("pwned")));
    QVERIFY(!QFile::exists("pwned2"));
}

void TestKestLaunch::wineRunsKestExe() {
    Fixture f("wine kest");
    // "kest" is there but not executable, so kest.exe goes through $WINE.
    QFile::setPermissions(f.kestFolder + "kest", QFile::ReadOwner | QFile::WriteOwner);
    const QString wine = f.root.filePath("fake wine");
    const QString args = f.root.filePath("wine-args.txt");
    WriteAll(wine, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + ShellQuote(args) +
                       "\nKEST_INI_DIR=" + ShellQuote(f.root.filePath("ini")) + " exec " +
                       ShellQuote(StandIn()) + " --set Wine=1\n");
    QFile::setPermissions(wine, QFile::permissions(wine) | QFile::ExeOwner);
    qputenv("WINE", wine.toUtf8());
    f.start();
    f.clickStart();
    qunsetenv("WINE");
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(ReadAll(args), (f.kestFolder + "kest.exe\n").toUtf8());
    QVERIFY(ReadAll(f.settings()).endsWith("Wine=1\r\n"));
}

void TestKestLaunch::commandLineStart() {
    Fixture f;
    const QString other = f.root.filePath("proj/cmd.mpm");
    WriteAll(other, f.settings().toUtf8() + "\r\n");
    WriteAll(f.root.filePath("proj/cmd.ini"), "x\r\n");
    TMain& w = f.start({other, "ignored"});
    // KEST ran while the window was being created, before it was ever shown.
    QVERIFY(!w.isVisible());
    QCOMPARE(f.state.launchCounter, 1);
    QVERIFY(ReadAll(f.settings()).contains("MainFile=/w/blink/new.pas"));
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(other).value());
    QCOMPARE(w.findChild<QLabel*>("Label2")->text(), other);
    QCOMPARE(f.status(1), QString("1"));
}

void TestKestLaunch::commandLineMessagesAreRussian() {
    Fixture f;
    QFile::remove(f.kestFolder + "kest.exe");
    f.start({f.mpm()});  // the settings ask for English
    QCOMPARE(f.dialogs.messageTexts(), QStringList{"Не введен путь к программе KEST"});
    QCOMPARE(f.window->findChild<StatusPanels*>("StatusBar1")->panelText(0), QString("English"));
    f.clickStart();
    QCOMPARE(f.dialogs.messageTexts().last(), QString("Do not put the path to the KEST"));
}

void TestKestLaunch::commandLineNamesNoFile() {
    Fixture f;
    const QString missing = f.root.filePath("proj/missing.mpm");
    TMain& w = f.start({missing});
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(missing).value());
    QCOMPARE(w.findChild<QLabel*>("Label2")->text(), f.mpm());
    QCOMPARE(f.state.launchCounter, 0);
    QVERIFY(!QFile::exists(f.res()));
    QVERIFY(w.close());
    QVERIFY(ReadAll(f.managerSettings()).contains("PROJECTCUR=" + missing.toUtf8() + "\r\n"));

    // A name relative to the current folder is kept as a full path.
    const QString before = QDir::currentPath();
    QDir::setCurrent(f.root.filePath("proj"));
    f.start({"blink.mpm"});
    QDir::setCurrent(before);
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(f.mpm()).value());
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::dirsFile() {
    Fixture f;
    f.start();
    const QByteArray dirs = ReadAll(f.root.filePath("run/dirs.txt"));
    QCOMPARE(dirs.count("\r\n"), 100);
    QVERIFY(dirs.startsWith("DESKTOP = "));
    QVERIFY(dirs.contains("\r\nPERSONAL = "));
    QVERIFY(!f.state.shellFolders.DesktopFolder.empty());

    // An unwritable runtime folder is reported; the rest of start-up still runs.
    Fixture g;
    WriteAll(g.root.filePath("run/blocked"), "a file, not a folder");
    auto window = std::make_unique<TMain>(
        g.state, g.dialogs,
        StartOptions{g.root.filePath("program"), {}, g.root.filePath("run/blocked")});
    QCOMPARE(g.dialogs.messages.size(), size_t(1));
    QVERIFY(g.dialogs.messages[0].text.startsWith("The list of user folders could not be written"));
    QCOMPARE(window->findChild<QLabel*>("Label4")->text(), g.kestFolder);
}

PMKEST_TEST_MAIN(TestKestLaunch)
#include "tst_kest_launch.moc"
