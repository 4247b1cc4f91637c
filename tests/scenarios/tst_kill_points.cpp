// The manager killed at every point of a run, on Linux and on Windows alike: the real program
// (pmkest-stop-at) kills itself at a named point while kest-standin plays KEST, and the next
// start finishes the run. Whatever the point, no byte of the project or of kest.ini is lost or
// mixed, small files and 8 MiB ones.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "support/program_fixture.h"
#include "support/test_main.h"

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <sys/wait.h>
#endif

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

#ifdef Q_OS_WIN
const QString kExe = u".exe"_s;
#else
const QString kExe;
#endif

QByteArray Big(const QByteArray& text) {
    QByteArray big = text;
    for (int i = 0; big.size() < 8 * 1024 * 1024; ++i)
        big += "Pad" + QByteArray::number(i) + '=' + QByteArray(100, char('a' + i % 26)) + "\r\n";
    return big;
}
QByteArray Stored(const QString& path) {
    return QByteArray::fromStdString(test::P(path));
}

struct Fixture : test::ProgramFixture {
    QByteArray oldIni = test::SampleKestIni("/old/", "main");
    QByteArray projectIni = test::SampleKestIni("/w/blink/", "blink");
    QByteArray afterRun;

    explicit Fixture(bool big) {
        if (big) {
            oldIni = Big(oldIni);
            projectIni = Big(projectIni);
        }
        afterRun = QByteArray(projectIni)
                       .replace("MainFile=/w/blink/blink.pas", "MainFile=/w/blink/after.pas");
        writeFiles(oldIni, projectIni);
        WriteAll(mpm(), Stored(settings()) + "\r\n");
        // KEST: says it runs, waits for "go", changes kest.ini, says it is done and ends.
        const QString kest = kestFolder + u"kest"_s + kExe;
        QFile::remove(kest);
        [&] { QVERIFY(QFile::copy(BuildDir() + u"/kest-standin"_s + kExe, kest)); }();
        qputenv("KEST_INI_DIR", QDir::toNativeSeparators(path(u"ini"_s)).toLocal8Bit());
        qputenv("KEST_STANDIN_ARGS",
                "--started " + quoted(u"started"_s) + " --wait-for " + quoted(u"go"_s) +
                    " --set MainFile=/w/blink/after.pas --done " + quoted(u"done"_s));
        test::SampleManagerSettings values;
        values.kest = Stored(kestFolder);
        values.kestIni = Stored(path(u"ini"_s) + QDir::separator());
        values.project = Stored(mpm());
        writeManagerSettings(values);
    }
    static QString BuildDir() { return qEnvironmentVariable("PMKEST_BUILD_DIR"); }
    QByteArray quoted(const QString& name) const {
        return '"' + QDir::toNativeSeparators(path(name)).toLocal8Bit() + '"';
    }
    void go() { WriteAll(path(u"go"_s), {}); }
    QStringList files(const QString& folder, const QString& pattern) const {
        return QDir(path(folder)).entryList({pattern}, QDir::Files, QDir::Name);
    }
    // The real program on the project; it kills itself at stopAt.
    void startManager(QProcess& manager, const QString& stopAt) {
        const QString program = path(u"program/pmkest"_s) + kExe;
        QVERIFY(QFile::copy(BuildDir() + u"/pmkest-stop-at"_s + kExe, program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, path(u"run"_s));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"PMKEST_STOP_AT"_s, stopAt);
        manager.setProcessEnvironment(env);
        manager.start(program, {QDir::toNativeSeparators(mpm())});
        QVERIFY(manager.waitForStarted());
    }
};

}  // namespace

class TestKillPoints : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killPoints_data();
    void killPoints();
};

void TestKillPoints::initTestCase() {
#ifdef Q_OS_LINUX
    // KEST outlives the killed manager; as its new parent the test reaps it.
    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
#endif
}

void TestKillPoints::killPoints_data() {
    QTest::addColumn<QString>("point");    // where the manager kills itself
    QTest::addColumn<bool>("big");         // 8 MiB files
    QTest::addColumn<QString>("kest");     // at the restart: none (never started), running, ended
    QTest::addColumn<QString>("project");  // what the project holds at the end: old, result
    QTest::addColumn<QString>("ini");      // what kest.ini holds at the end: old, project, result
    QTest::addColumn<QString>("said");     // in what the user is told; empty: nothing
    QTest::addColumn<bool>("cut");         // the journal's last phase is then cut off
    for (const bool big : {false, true}) {
        const QString size = big ? u", 8 MiB"_s : QString();
        auto row = [&](const QString& name) { return &QTest::newRow(qPrintable(name + size)); };
        const QString before = u"before KEST ran"_s;
        *row(u"after the journal"_s) << "journal-begun" << big << "none"
                                     << "old"
                                     << "old" << before << false;
        *row(u"copying kest.res"_s) << "copying:kest.res" << big << "none"
                                    << "old"
                                    << "old" << before << false;
        *row(u"copying the project in"_s) << "copying:kest.ini" << big << "none"
                                          << "old"
                                          << "old" << before << false;
        *row(u"after the swap copies"_s) << "swap-copied" << big << "none"
                                         << "old"
                                         << "old" << before << false;
        *row(u"after the swap"_s) << "swapped" << big << "none"
                                  << "old"
                                  << "project"
                                  << "changed nothing" << false;
        *row(u"KEST started, its id not noted"_s) << "kest-started" << big << "running"
                                                  << "result"
                                                  << "result" << QString() << false;
        *row(u"while KEST runs"_s) << "running" << big << "running"
                                   << "result"
                                   << "result" << QString() << false;
        *row(u"after KEST ended"_s) << "kest-ended" << big << "ended"
                                    << "result"
                                    << "result"
                                    << "copied back" << false;
        *row(u"copying back"_s) << "copying:blink.ini" << big << "ended"
                                << "result"
                                << "result"
                                << "copied back" << false;
        *row(u"after the copy back"_s) << "copied-back" << big << "ended"
                                       << "result"
                                       << "result"
                                       << "copied back" << false;
    }
    QTest::newRow("KEST started, its id not noted, ended since")
        << "kest-started" << false << "ended"
        << "result"
        << "result"
        << "was cut short" << false;
    QTest::newRow("the record of KEST's end cut off") << "kest-ended" << false << "ended"
                                                      << "result"
                                                      << "result"
                                                      << "was cut short" << true;
}

// Wherever the manager is killed, the restart with the default answers leaves the project with
// its old bytes or with KEST's result, and kest.ini with the old file or KEST's result.
void TestKillPoints::killPoints() {
    QFETCH(QString, point);
    QFETCH(bool, big);
    QFETCH(QString, kest);
    QFETCH(QString, project);
    QFETCH(QString, ini);
    QFETCH(QString, said);
    QFETCH(bool, cut);
    Fixture f(big);
    const bool endsAtOnce = kest == u"ended"_s && point != u"kest-started"_s;
    if (endsAtOnce) f.go();
    QProcess manager;
    f.startManager(manager, point);
    QVERIFY(manager.waitForFinished(240000));
    QCOMPARE(manager.exitStatus() == QProcess::CrashExit || manager.exitCode() == 9, true);
    QVERIFY(QFile::exists(f.journal()));
    if (kest == u"none"_s) QVERIFY(!QFile::exists(f.path(u"started"_s)));
    if (kest == u"ended"_s) {
        f.go();
        // KEST must be gone, not merely done writing: a slow exit would be adopted instead.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"done"_s)), 30000);
        QTest::qWait(1000);
    }
    if (cut) {
        QByteArray text = ReadAll(f.journal());
        text.chop(10);
        WriteAll(f.journal(), text);
    }

    f.dialogs.yesNoAnswers.push_back(true);  // the default answer
    f.start();
    if (kest == u"running"_s) {
        // Adopted: waited for without a question, and its result copied back when it ends.
        QVERIFY(f.window->launcher().running());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"started"_s)), 30000);
        f.go();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.journal()), 30000);
    }
    QVERIFY(ReadAll(f.settings()) == (project == u"old"_s ? f.projectIni : f.afterRun));
    QVERIFY(ReadAll(f.ini()) == (ini == u"old"_s       ? f.oldIni
                                 : ini == u"project"_s ? f.projectIni
                                                       : f.afterRun));
    QVERIFY(!QFile::exists(f.res()) || ReadAll(f.res()) == f.oldIni);
    QVERIFY(!QFile::exists(f.journal()));
    // No half-written copy is left, and nothing needed a backup.
    QCOMPARE(f.files(u"ini"_s, u"*.pmkest-*"_s) + f.files(u"proj"_s, u"*.pmkest-*"_s),
             QStringList());
    QCOMPARE(f.files(u"proj"_s, u"*.bak"_s) + f.files(u"ini"_s, u"*.bak"_s), QStringList());
    const QString told = (f.dialogs.questions + f.dialogs.messageTexts()).join(u'\n');
    if (said.isEmpty())
        QVERIFY2(told.isEmpty(), qPrintable(told));
    else
        QVERIFY2(told.contains(said), qPrintable(told));
#ifdef Q_OS_LINUX
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
#endif
}

PMKEST_TEST_MAIN(TestKillPoints)
#include "tst_kill_points.moc"
