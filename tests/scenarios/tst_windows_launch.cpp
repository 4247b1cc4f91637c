// Starting a Windows KEST end to end: kest-standin.exe as kest.exe (it takes its instructions
// from the environment, as KEST gets no arguments), on real files, run under Windows rules.
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "core/launch/kest_start_checks.h"
#include "platform/process/process_identity.h"
#include "support/program_fixture.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::JournalKestPid;
using test::ReadAll;
using test::WriteAll;

QByteArray OldIni() {
    return test::SampleKestIni("C:\\old\\", "main");
}
QByteArray ProjectIni() {
    return test::SampleKestIni("C:\\w\\blink\\", "blink");
}
QByteArray AfterRun() {
    return ProjectIni().replace("MainFile=C:\\w\\blink\\blink.pas", "MainFile=C:\\w\\new.pas");
}
QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}
QByteArray Stored(const QString& path) {
    return QByteArray::fromStdString(test::P(Native(path)));
}

struct Fixture : test::ProgramFixture {
    explicit Fixture(const QString& kestFolderName = u"kest"_s) : ProgramFixture(kestFolderName) {
        writeFiles(OldIni(), ProjectIni());
        QFile::remove(kestFolder + u"kest.exe"_s);
        [&] {
            QVERIFY(QFile::copy(qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/kest-standin.exe"_s,
                                kestFolder + u"kest.exe"_s));
        }();
        WriteAll(mpm(), Stored(settings()) + "\r\n");
        writeSettings(false);
        qputenv("KEST_INI_DIR", Native(path(u"ini"_s)).toLocal8Bit());
        kest("--set MainFile=C:\\w\\new.pas");
    }
    void writeSettings(bool hide) {
        test::SampleManagerSettings values;
        values.hide = hide;
        values.kest = Stored(kestFolder);
        values.kestIni = Stored(path(u"ini/"_s));
        values.project = Stored(mpm());
        writeManagerSettings(values);
    }
    // What KEST does when it is started.
    void kest(const QByteArray& arguments) { qputenv("KEST_STANDIN_ARGS", arguments); }
    // The real program, started on the project from the command line; KEST's pid once the
    // journal names it, 0 when it does not come to that.
    qint64 startManager(QProcess& manager) {
        const QString program = path(u"program/pmkest.exe"_s);
        if (!QFile::copy(qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/pmkest.exe"_s, program))
            return 0;
        manager.start(program, {Native(mpm())});
        if (!manager.waitForStarted()) return 0;
        if (!QTest::qWaitFor([&] { return JournalKestPid(ReadAll(journal())) > 0; }, 30000))
            return 0;
        return JournalKestPid(ReadAll(journal()));
    }
};

// What Windows does at a log off: asks each top-level window of the process, then tells each
// that the session ends; it may end the process once they have answered. False when one does
// not answer.
bool EndSession(qint64 pid) {
    struct Found {
        DWORD pid;
        std::vector<HWND> windows;
    } found{static_cast<DWORD>(pid), {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<Found*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == f->pid) f->windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found.windows.empty()) return false;
    for (const UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION})
        for (HWND window : found.windows) {
            DWORD_PTR answer = 0;
            const WPARAM ends = message == WM_ENDSESSION ? TRUE : 0;
            // A window gone with its process: the program ended by itself, as it may.
            if (!SendMessageTimeoutW(window, message, ends, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                     20000, &answer) &&
                IsWindow(window))
                return false;
        }
    return true;
}

}  // namespace

class TestWindowsLaunch : public QObject {
    Q_OBJECT
private slots:
    void startButton_data();
    void startButton();
    void commandLineStart_data();
    void commandLineStart();
    void pathTooLongForKest();
    void killedManagerIsRecovered();
    void sessionEnd_data();
    void sessionEnd();
    void codePageCheck_data();
    void codePageCheck();
    void virtualStore();
};

void TestWindowsLaunch::startButton_data() {
    QTest::addColumn<QString>("kestFolder");
    QTest::addColumn<QByteArray>("kest");
    QTest::addColumn<QString>("said");  // empty: nothing
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("runs and copies back")
        << u"kest"_s << QByteArray("--set MainFile=C:\\w\\new.pas") << QString() << AfterRun();
    QTest::newRow("exit code 3") << u"kest"_s << QByteArray("--set Result=failed --exit 3")
                                 << u"Problems!"_s << ProjectIni() + "Result=failed\r\n";
    // "Мои.exe" is what an unquoted command line would run instead of KEST.
    QTest::newRow("folder with blanks and Cyrillic letters")
        << u"Мои программы/KEST 8051"_s << QByteArray("--set MainFile=C:\\w\\new.pas") << QString()
        << AfterRun();
}

void TestWindowsLaunch::startButton() {
    QFETCH(QString, kestFolder);
    QFETCH(QByteArray, kest);
    QFETCH(QString, said);
    QFETCH(QByteArray, result);
    Fixture f(kestFolder);
    WriteAll(f.path(u"Мои.exe"_s), {});
    f.kest(kest);
    f.start();
    f.clickStart();
    QCOMPARE(f.dialogs.messageTexts().join(u'|'), said);
    QCOMPARE(ReadAll(f.settings()), result);
    QCOMPARE(ReadAll(f.ini()), result);
    QCOMPARE(ReadAll(f.res()), OldIni());
    QCOMPARE(f.state.launchCounter, 1);
}

void TestWindowsLaunch::commandLineStart_data() {
    QTest::addColumn<QString>("end");  // after the project's name
    QTest::newRow("as it is") << QString();
    // Windows drops trailing dots and blanks: the project is the one it opens.
    QTest::newRow("trailing dot") << u"."_s;
    QTest::newRow("trailing blank") << u" "_s;
}

void TestWindowsLaunch::commandLineStart() {
    QFETCH(QString, end);
    Fixture f;
    TMain& w = f.start({Native(f.mpm()) + end});
    QVERIFY(!w.isVisible());
    QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join(u'|')));
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    QCOMPARE(f.state.project.ProjectFile, test::P(Native(f.mpm())));
    QCOMPARE(w.findChild<QLabel*>(u"Label2"_s)->text(), Native(f.mpm()));
}

void TestWindowsLaunch::pathTooLongForKest() {
    Fixture f;
    // The project deep enough that its settings file's path reaches 260 characters.
    const QString deep = f.path(u"proj/"_s + QString(120, u'd') + u'/' + QString(120, u'e'));
    QVERIFY(QDir().mkpath(deep));
    const QString settings = Native(deep + u"/blink.ini"_s);
    WriteAll(settings, ProjectIni());
    WriteAll(f.mpm(), Stored(settings) + "\r\n");
    f.dialogs.yesNoAnswers = {true};  // it lies below the project's folder
    f.start();
    f.clickStart();
    const QString told = f.dialogs.messageTexts().join(u'|');
    QVERIFY2(told.contains(u"260 characters or more"_s) && told.contains(settings),
             qPrintable(told));
    QCOMPARE(ReadAll(f.ini()), OldIni());
    QVERIFY(!QFile::exists(f.res()));
    QCOMPARE(f.state.launchCounter, 0);
}

void TestWindowsLaunch::killedManagerIsRecovered() {
    Fixture f;
    f.writeSettings(true);
    f.kest("--sleep 2000 --set MainFile=C:\\w\\new.pas");
    QProcess manager;
    const qint64 kestPid = f.startManager(manager);
    QVERIFY(kestPid > 0);
    manager.kill();  // TerminateProcess: no chance to copy back
    QVERIFY(manager.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(ProcessIdentity(kestPid).isEmpty(), 30000);
    QCOMPARE(ReadAll(f.ini()), AfterRun());
    QCOMPARE(ReadAll(f.settings()), ProjectIni());

    f.dialogs.yesNoAnswers.push_back(true);
    f.start();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QVERIFY(f.dialogs.questions[0].contains(u"was cut short"_s));
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    QVERIFY(!QFile::exists(f.journal()));
}

void TestWindowsLaunch::sessionEnd_data() {
    QTest::addColumn<bool>("hide");
    QTest::newRow("waiting with events") << false;
    QTest::newRow("waiting hidden") << true;
}

void TestWindowsLaunch::sessionEnd() {
    QFETCH(bool, hide);
    // Wine makes windows only on an X display, and only when its first program had one.
    if (HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     nullptr, nullptr))
        DestroyWindow(probe);
    else
        QSKIP(
            "Wine has no display here, so no window hears the end of the session: run ctest "
            "under xvfb-run -a, as scripts/test.sh does");
    Fixture f;
    f.writeSettings(hide);
    f.kest("--set MainFile=C:\\w\\new.pas --sleep 120000");
    QProcess manager;
    const qint64 kestPid = f.startManager(manager);
    QVERIFY(kestPid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(ReadAll(f.ini()), AfterRun(), 30000);
    QVERIFY(EndSession(manager.processId()));
    manager.kill();  // what the end of the session may do at once
    QVERIFY(manager.waitForFinished());
    // KEST was ended and its result is back in the project; nothing is left to recover.
    QVERIFY(ProcessIdentity(kestPid).isEmpty());
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    QVERIFY(!QFile::exists(f.journal()));
}

void TestWindowsLaunch::codePageCheck_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<unsigned>("codePage");
    QTest::addColumn<bool>("refused");
    QTest::newRow("Cyrillic, code page 1251") << u"C:\\Мои\\"_s << 1251u << false;
    QTest::newRow("Cyrillic, code page 1252") << u"C:\\Мои\\"_s << 1252u << true;
    QTest::newRow("Latin, code page 1252") << u"C:\\My\\"_s << 1252u << false;
}

void TestWindowsLaunch::codePageCheck() {
    QFETCH(QString, path);
    QFETCH(unsigned, codePage);
    QFETCH(bool, refused);
    const std::string stored = test::P(path);
    QCOMPARE(PathKestCannotRead({"C:\\KEST\\", stored}, codePage).has_value(), refused);
}

void TestWindowsLaunch::virtualStore() {
    // A folder that takes no new file even for an administrator: Wine's view of /proc/self.
    const QString folder = u"Z:\\proc\\self\\"_s;
    QTemporaryDir local;
    qputenv("LOCALAPPDATA", Native(local.path()).toLocal8Bit());
    const QString store = Native(local.filePath(u"VirtualStore/proc/self/"_s));
    QCOMPARE(KestIniFolderInUse(test::P(folder)), test::P(folder));  // no copy in the store
    QVERIFY(QDir().mkpath(store));
    WriteAll(store + u"kest.ini"_s, "[Main]\r\n");
    QCOMPARE(KestIniFolderInUse(test::P(folder)), test::P(store));
    // A folder the user can write is KEST's own, whatever the store holds.
    const QString writable = Native(local.filePath(u"kest/"_s));
    QVERIFY(QDir().mkpath(writable));
    QCOMPARE(KestIniFolderInUse(test::P(writable)), test::P(writable));
}

PMKEST_TEST_MAIN(TestWindowsLaunch)
#include "tst_windows_launch.moc"
