// KEST as the Windows program it is: the whole start through a real Wine, with a Windows
// console stand-in built by MinGW. Skipped where Wine or MinGW is missing.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/project/project_files.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "core/wine/kest_command.h"
#include "core/wine/wine_setup.h"
#include "support/program_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/launch/kest_launcher.h"
#include "windows/main/main_window.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

QByteArray Cp1251(const QString& text) {
    return QByteArray::fromStdString(cp1251::FromQString(text).value());
}

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

// A KEST folder inside the prepared prefix, a project folder with blanks and Cyrillic letters
// outside it (on Z:), and the manager's settings naming both.
struct WineFixture : test::ProgramFixture {
    std::unique_ptr<QTemporaryDir> kestDir;
    QString kest;
    QString projectFolder;

    explicit WineFixture(const QString& standIn) {
        kestDir = std::make_unique<QTemporaryDir>(Env("PMKEST_WINE_PREFIX") +
                                                  u"/drive_c/KEST Тест 8051 XXXXXX"_s);
        kest = kestDir->path() + u"/"_s;
        kestFolder = kest;
        projectFolder = root.filePath(u"Мой проект 8051"_s) + u"/"_s;
        QDir(root.path()).mkpath(u"Мой проект 8051"_s);
        QFile::copy(standIn, kest + u"kest.exe"_s);
        WriteAll(kest + u"kest.ini"_s, "[Main]\r\nSourcePath=\r\n");
        WriteAll(mpm(), Cp1251(settings()) + "\r\n");
        WriteAll(settings(), "[Main]\r\nSourcePath=/stale/\r\nPascalOptions=-A\r\nMainFile=x\r\n");
        writeManagerSettings({0, Cp1251(kest), Cp1251(kest), Cp1251(mpm()), false, false});
    }
    QString mpm() const { return projectFolder + u"blink.mpm"_s; }
    QString settings() const { return projectFolder + u"blink.ini"_s; }
    // The project's settings as the manager writes them for this KEST.
    void saveProject(const QByteArray& extra = {}) {
        if (!extra.isEmpty()) WriteAll(settings(), ReadAll(settings()) + extra);
        TProject project;
        QVERIFY(LoadProject(project, *cp1251::FromQString(mpm()), Language::English).ok());
        QVERIFY(SaveProjectSettings(project, Language::English,
                                    KestPathsFor(*cp1251::FromQString(kest)))
                    .ok());
    }
    QByteArray windowsFolder() const {
        return "SourcePath=Z:" +
               QByteArray::fromStdString(*cp1251::FromQString(projectFolder)).replace('/', '\\');
    }
};

}  // namespace

class TestWineLaunch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startsThroughWine_data();
    void startsThroughWine();
    void thirtyTwoBitKest();
};

void TestWineLaunch::initTestCase() {
    if (Env("PMKEST_WIN_STANDIN").isEmpty() || Env("PMKEST_WINE").isEmpty())
        QSKIP(
            "Wine or MinGW is missing: install wine, wine64 and gcc-mingw-w64-x86-64 "
            "(scripts/install-deps.sh does) to run KEST's Windows stand-in through Wine");
    if (Cp1251Locale(QProcessEnvironment::systemEnvironment()).isEmpty())
        QSKIP("No Russian UTF-8 locale: generate ru_RU.UTF-8 (scripts/install-deps.sh does)");
    qputenv("WINE", Env("PMKEST_WINE").toUtf8());
    qputenv("WINEDEBUG", "-all");
    qunsetenv("WINEPREFIX");  // the prefix comes from the KEST folder
}

void TestWineLaunch::startsThroughWine_data() {
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("command-line start") << true << 0;
    QTest::newRow("Start button, exit code 3") << false << 3;
}

void TestWineLaunch::startsThroughWine() {
    QFETCH(bool, commandLine);
    QFETCH(int, exitCode);
    WineFixture f(Env("PMKEST_WIN_STANDIN"));
    f.saveProject(exitCode ? "StandInExit=" + QByteArray::number(exitCode) + "\r\n" : "");
    // Written in Windows form: the stand-in checks the folder exists as Windows names it.
    QVERIFY(ReadAll(f.settings()).contains(f.windowsFolder() + "\r\n"));
    if (commandLine) {
        f.start({f.mpm()});
    } else {
        f.start();
        QTest::mouseClick(f.window->findChild<QWidget*>(u"PaintBox1"_s), Qt::LeftButton, {},
                          QPoint(10, 10));
    }
    const QByteArray after = ReadAll(f.settings());
    QVERIFY2(after.endsWith("StandIn=ran " + f.windowsFolder().mid(11) + "\r\n"),
             after.constData());
    QCOMPARE(after, ReadAll(f.kest + u"kest.ini"_s));
    QCOMPARE(f.state.launchCounter, 1);
    if (exitCode == 0) {
        QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join(u'|')));
    } else {
        QCOMPARE(f.dialogs.messageTexts(), QStringList{u"Problems!"_s});
        QVERIFY(f.dialogs.messages[0].title.contains(QString::number(exitCode)));
    }
}

void TestWineLaunch::thirtyTwoBitKest() {
    if (Env("PMKEST_WIN_STANDIN32").isEmpty()) QSKIP("i686-w64-mingw32-gcc is missing");
    WineFixture f(Env("PMKEST_WIN_STANDIN32"));
    f.saveProject();
    const QByteArray before = ReadAll(f.settings());
    f.start();
    QTest::mouseClick(f.window->findChild<QWidget*>(u"PaintBox1"_s), Qt::LeftButton, {},
                      QPoint(10, 10));
    if (WineRuns32Bit(FindWine(Env("PMKEST_WINE")))) {
        QVERIFY(ReadAll(f.settings()).contains("StandIn=ran "));
        return;
    }
    // No 32-bit Wine: said in words, naming the package, and nothing swapped.
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY(f.dialogs.messages[0].text.contains(u"wine32"_s));
    QCOMPARE(ReadAll(f.settings()), before);
    QVERIFY(!QFile::exists(f.kest + u"kest.res"_s));
    QCOMPARE(f.state.launchCounter, 0);
}

PMKEST_TEST_MAIN(TestWineLaunch)
#include "tst_wine_launch.moc"
