// Starting KEST end to end, with kest-standin playing KEST on real files.
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

#include "core/text/cp1251.h"
#include "support/program_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main/main_window.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::ShellQuote;
using test::WriteAll;

QString StandIn() {
    return qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/kest-standin"_s;
}

QByteArray OldIni() {
    return test::SampleKestIni("/old/", "main");
}
QByteArray ProjectIni() {
    return test::SampleKestIni("/w/blink/", "blink");
}

struct Fixture : test::ProgramFixture {
    explicit Fixture(const QString& kestFolderName = u"kest"_s) : ProgramFixture(kestFolderName) {
        writeFiles(OldIni(), ProjectIni());
        kest("--set MainFile=/w/blink/new.pas");
        writeSettings(false, false);
    }
    // KEST is a script that runs the stand-in with these arguments; before: shell lines first.
    void kest(const QByteArray& arguments, const QByteArray& before = {}) {
        writeKest(before + "\n" + standIn(arguments, true) + "\n");
    }
    void writeSettings(bool hide, bool russian, const QString& kestPath = QString()) {
        test::SampleManagerSettings values;
        values.hide = hide;
        values.russian = russian;
        if (!kestPath.isNull())
            values.kest = QByteArray::fromStdString(cp1251::FromQString(kestPath).value_or(""));
        writeManagerSettings(values);
    }
    QString status(int panel) const {
        return window->findChild<StatusPanels*>(u"StatusBar1"_s)->panelText(panel);
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
    QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join(u'|')));
    const QByteArray after = ReadAll(f.ini());
    QCOMPARE(ReadAll(f.settings()), after);
    QCOMPARE(after,
             ProjectIni().replace("MainFile=/w/blink/blink.pas", "MainFile=/w/blink/new.pas"));
    QCOMPARE(ReadAll(f.res()), OldIni());
    QCOMPARE(f.state.launchCounter, 1);
    QCOMPARE(f.status(1), u"1"_s);
    f.clickStart();
    QCOMPARE(f.state.launchCounter, 2);
    QCOMPARE(ReadAll(f.res()), after);  // kest.res holds kest.ini as it was before this start
}

void TestKestLaunch::nonZeroExitStillCopiesBack() {
    Fixture f;
    f.kest("--set Result=failed --exit 3");
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messageTexts(), QStringList{u"Problems!"_s});
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Plain);
    QVERIFY(ReadAll(f.settings()).endsWith("Result=failed\r\n"));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    QCOMPARE(f.status(1), u"1"_s);
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
    QTest::newRow("kest.ini is a folder") << "kest.ini folder"
                                          << "kest.ini: this is a folder, not a file";
    // The copy back would fail after the run: found out before anything is swapped.
    QTest::newRow("project folder read-only") << "read-only proj"
                                              << "proj: Permission denied";
    QTest::newRow("settings file read-only") << "read-only settings"
                                             << "blink.ini: the file is read-only";
    QTest::newRow("project on a read-only file system") << "read-only mount"
                                                        << "Read-only file system";
    QTest::newRow("settings file name leaves no room for its new version")
        << "long settings name"
        << "could not be copied back";
}

void TestKestLaunch::stopsBeforeCopying() {
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    Fixture f;
    f.start();
    if (breakage == u"kestFolder="_s) f.state.kestFolder.clear();
    if (breakage == u"kestFolder-slash"_s) f.state.kestFolder.pop_back();
    if (breakage == u"iniFolder="_s) f.state.kestIniFolder.clear();
    if (breakage == u"rm kest.exe"_s) QFile::remove(f.kestFolder + u"kest.exe"_s);
    if (breakage == u"rm kest.ini"_s) QFile::remove(f.ini());
    if (breakage == u"rm settings"_s) QFile::remove(f.settings());
    if (breakage == u"rm mpm"_s) QFile::remove(f.mpm());
    if (breakage == u"project="_s) f.state.project.ProjectFile.clear();
    if (breakage == u"empty first line"_s) WriteAll(f.mpm(), "\r\n" + f.settings().toUtf8());
    if (breakage == u"kest.ini folder"_s) QVERIFY(QFile::remove(f.ini()) && QDir().mkpath(f.ini()));
    if (breakage == u"read-only proj"_s) {
        QVERIFY(QFile::setPermissions(f.path(u"proj"_s), QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(f.path(u"proj"_s)).isWritable()) QSKIP("root writes into any folder");
    }
    if (breakage == u"read-only settings"_s) {
        QFile::setPermissions(f.settings(), QFile::ReadOwner | QFile::ReadGroup);
        if (QFileInfo(f.settings()).isWritable())
            QSKIP("root writes any file; the read-only mount row is root's");
    }
    const auto unmount = qScopeGuard([&] {
#ifdef Q_OS_LINUX
        if (breakage == u"read-only mount"_s)
            ::umount2(QFile::encodeName(f.path(u"proj"_s)).constData(), MNT_DETACH);
#endif
    });
    if (breakage == u"read-only mount"_s) {
#ifdef Q_OS_LINUX
        const QByteArray proj = QFile::encodeName(f.path(u"proj"_s));
        if (::mount("tmpfs", proj.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("Mounting needs root");
        WriteAll(f.mpm(), f.settings().toUtf8() + "\r\n");
        WriteAll(f.settings(), ProjectIni());
        QCOMPARE(::mount(nullptr, proj.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
#else
        QSKIP("Read-only mounts are made on Linux");
#endif
    }
    if (breakage == u"long settings name"_s) {
        const QString longName = f.path(u"proj/"_s + QString(u'x').repeated(245) + u".ini"_s);
        QVERIFY(QFile::rename(f.settings(), longName));
        WriteAll(f.mpm(), longName.toUtf8() + "\r\n");
    }
    f.clickStart();
    QFile::setPermissions(f.path(u"proj"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY2(f.dialogs.messages[0].text.contains(message), qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
    QVERIFY(!QFile::exists(f.res()));
    if (QFileInfo(f.ini()).isFile()) QCOMPARE(ReadAll(f.ini()), OldIni());
    if (QFile::exists(f.settings())) QCOMPARE(ReadAll(f.settings()), ProjectIni());
    QCOMPARE(f.state.launchCounter, 0);
}

void TestKestLaunch::projectFileNamesAnotherSettingsFile() {
    Fixture f;
    const QString other = f.root.filePath(u"proj/other settings.ini"_s);
    WriteAll(other, "Other=1\r\n");
    WriteAll(f.mpm(), other.toUtf8() + "\r\n");
    f.start();
    QCOMPARE(f.state.project.SettingsFile, cp1251::FromQString(f.settings()).value());
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.state.project.SettingsFile, cp1251::FromQString(other).value());
    QCOMPARE(ReadAll(other), QByteArray("Other=1\r\nMainFile=/w/blink/new.pas\r\n"));
    QCOMPARE(ReadAll(f.ini()), ReadAll(other));
    QCOMPARE(ReadAll(f.settings()), ProjectIni());
}

void TestKestLaunch::failedSwapDoesNotStartKest() {
    Fixture f;
    QDir(f.root.path()).mkpath(u"ini/kest.res"_s);  // kest.res cannot be written
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString text = f.dialogs.messages[0].text;
    QVERIFY2(text.startsWith(u"KEST was not started"_s) && text.contains(f.res()),
             qPrintable(text));
    QCOMPARE(ReadAll(f.ini()), OldIni());
    QCOMPARE(ReadAll(f.settings()), ProjectIni());
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
        const auto children =
            w.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        controls = int(children.size());
        for (QWidget* c : children) disabledControls += c->isEnabled() ? 0 : 1;
        menuEnabled = w.findChild<QMenu*>(u"File1"_s)->isEnabled() &&
                      w.findChild<QAction*>(u"Openproject1"_s)->isEnabled();
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
    for (QWidget* c :
         w.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(c->isEnabled());
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::closingDuringRun_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("kestEndsFirst");
    QTest::newRow("yes ends KEST") << true << false;
    QTest::newRow("no goes on") << false << false;
    // The question goes away with KEST, and the close it stood in the way of goes ahead.
    QTest::newRow("KEST ends while asked") << false << true;
}

void TestKestLaunch::closingDuringRun() {
    QFETCH(bool, answer);
    QFETCH(bool, kestEndsFirst);
    Fixture f;
    f.kest(answer ? "--set Closed=1 --sleep 20000" : "--set Closed=1 --sleep 1000");
    TMain& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.dialogs.yesNoAnswers.push_back(answer);
    f.dialogs.questionsWait = kestEndsFirst;
    QTimer::singleShot(300, &w, [&] { w.close(); });
    QElapsedTimer clock;
    clock.start();
    f.clickStart();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QVERIFY(f.dialogs.questions[0].startsWith(u"KEST is still running"_s));
    QVERIFY(f.dialogs.messages.empty());  // no "Problems!" for a KEST the user ended
    QVERIFY(ReadAll(f.settings()).endsWith("Closed=1\r\n"));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    QCOMPARE(f.dialogs.withdrawn, int(kestEndsFirst));
    if (answer || kestEndsFirst) {
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(!w.isVisible());
        // KEST was started, so the run counts; written at the close.
        QVERIFY(ReadAll(f.managerSettings()).startsWith("COUNTER=1\r\n"));
    } else {
        QVERIFY(clock.elapsed() >= 1000);
        QVERIFY(w.isVisible());
        QCOMPARE(f.state.launchCounter, 1);
        QVERIFY(!ReadAll(f.managerSettings()).contains("PROJECT1="));  // not written yet
    }
}

void TestKestLaunch::folderNameNeedsNoQuoting() {
    Fixture f(u"K E'S\"T $(touch pwned); & `touch pwned2`"_s);
    f.start();
    QVERIFY(f.window->CheckKestPaths());
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(ReadAll(f.settings()).contains("MainFile=/w/blink/new.pas"));
    QVERIFY(!QFile::exists(u"pwned"_s) && !QFile::exists(f.root.filePath(u"pwned"_s)));
    QVERIFY(!QFile::exists(u"pwned2"_s));
}

void TestKestLaunch::wineRunsKestExe() {
    Fixture f(u"wine kest"_s);
    // "kest" is there but not executable, so kest.exe goes through $WINE.
    QFile::setPermissions(f.kestFolder + u"kest"_s, QFile::ReadOwner | QFile::WriteOwner);
    const QString wine = f.root.filePath(u"fake wine"_s);
    const QString args = f.root.filePath(u"wine-args.txt"_s);
    WriteAll(wine, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + ShellQuote(args) +
                       "\nKEST_INI_DIR=" + ShellQuote(f.root.filePath(u"ini"_s)) + " exec " +
                       ShellQuote(StandIn()) + " --set Wine=1\n");
    QFile::setPermissions(wine, QFile::permissions(wine) | QFile::ExeOwner);
    qputenv("WINE", wine.toUtf8());
    f.start();
    f.clickStart();
    qunsetenv("WINE");
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(ReadAll(args), (f.kestFolder + u"kest.exe\n"_s).toUtf8());
    QVERIFY(ReadAll(f.settings()).endsWith("Wine=1\r\n"));
}

void TestKestLaunch::commandLineStart() {
    Fixture f;
    const QString other = f.root.filePath(u"proj/cmd.mpm"_s);
    WriteAll(other, f.settings().toUtf8() + "\r\n");
    WriteAll(f.root.filePath(u"proj/cmd.ini"_s), "x\r\n");
    TMain& w = f.start({other, u"ignored"_s});
    // KEST ran while the window was being created, before it was ever shown.
    QVERIFY(!w.isVisible());
    QCOMPARE(f.state.launchCounter, 1);
    QVERIFY(ReadAll(f.settings()).contains("MainFile=/w/blink/new.pas"));
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(other).value());
    QCOMPARE(w.findChild<QLabel*>(u"Label2"_s)->text(), other);
    QCOMPARE(f.status(1), u"1"_s);
}

void TestKestLaunch::commandLineMessagesAreRussian() {
    Fixture f;
    QFile::remove(f.kestFolder + u"kest.exe"_s);
    f.start({f.mpm()});  // the settings ask for English
    QCOMPARE(f.dialogs.messageTexts(), QStringList{u"Не введен путь к программе KEST"_s});
    QCOMPARE(f.window->findChild<StatusPanels*>(u"StatusBar1"_s)->panelText(0), u"English"_s);
    f.clickStart();
    QCOMPARE(f.dialogs.messageTexts().last(), u"Do not put the path to the KEST"_s);
}

void TestKestLaunch::commandLineNamesNoFile() {
    Fixture f;
    const QString missing = f.root.filePath(u"proj/missing.mpm"_s);
    TMain& w = f.start({missing});
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(missing).value());
    QCOMPARE(w.findChild<QLabel*>(u"Label2"_s)->text(), f.mpm());
    QCOMPARE(f.state.launchCounter, 0);
    QVERIFY(!QFile::exists(f.res()));
    QVERIFY(w.close());
    QVERIFY(ReadAll(f.managerSettings()).contains("PROJECTCUR=" + missing.toUtf8() + "\r\n"));

    // A name relative to the current folder is kept as a full path.
    const QString before = QDir::currentPath();
    QDir::setCurrent(f.root.filePath(u"proj"_s));
    f.start({u"blink.mpm"_s});
    QDir::setCurrent(before);
    QCOMPARE(f.state.project.ProjectFile, cp1251::FromQString(f.mpm()).value());
    QCOMPARE(f.state.launchCounter, 1);
}

void TestKestLaunch::dirsFile() {
    Fixture f;
    f.start();
    const QByteArray dirs = ReadAll(f.root.filePath(u"run/dirs.txt"_s));
    QCOMPARE(dirs.count("\r\n"), 100);
    QVERIFY(dirs.startsWith("DESKTOP = "));
    QVERIFY(dirs.contains("\r\nPERSONAL = "));
    QVERIFY(!f.state.shellFolders.DesktopFolder.empty());

    // An unwritable runtime folder is reported; the rest of start-up still runs.
    Fixture g;
    WriteAll(g.root.filePath(u"run/blocked"_s), "a file, not a folder");
    auto window = std::make_unique<TMain>(
        g.state, g.dialogs,
        StartOptions{g.root.filePath(u"program"_s), {}, g.root.filePath(u"run/blocked"_s), {}});
    QCOMPARE(g.dialogs.messages.size(), size_t(1));
    QVERIFY(
        g.dialogs.messages[0].text.startsWith(u"The list of user folders could not be written"_s));
    QCOMPARE(window->findChild<QLabel*>(u"Label4"_s)->text(), g.kestFolder);
}

PMKEST_TEST_MAIN(TestKestLaunch)
#include "tst_kest_launch.moc"
