// A run cut short loses nothing: the real program is killed while KEST (kest-standin) runs,
// and the next start finishes the run; conflicts and damaged journals on real files.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/launch/run_journal.h"
#include "support/program_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main/main_window.h"

#ifdef Q_OS_LINUX
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace Qt::StringLiterals;
#endif

using namespace pmkest;

namespace {

using test::P;
using test::ReadAll;
using test::ShellQuote;
using test::WriteAll;

QString BuildDir() {
    return qEnvironmentVariable("PMKEST_BUILD_DIR");
}

QByteArray OldIni() {
    return test::SampleKestIni("/old/", "main");
}
QByteArray ProjectIni() {
    return test::SampleKestIni("/w/blink/", "blink");
}
QByteArray AfterRun() {
    return ProjectIni().replace("MainFile=/w/blink/blink.pas", "MainFile=/w/blink/after.pas");
}

struct Fixture : test::ProgramFixture {
    Fixture() {
        writeFiles(OldIni(), ProjectIni());
        kest({});
        writeSettings(false);
    }
    // KEST says it runs, waits for the file "go", then changes kest.ini and ends.
    void kest(const QByteArray& before) {
        writeKest(before + "\ntouch " + ShellQuote(path(u"started"_s)) + "\nwhile [ ! -e " +
                  ShellQuote(path(u"go"_s)) + " ]; do sleep 0.05; done\n" +
                  standIn("--set MainFile=/w/blink/after.pas") + "\n");
    }
    void go() { WriteAll(path(u"go"_s), {}); }
    void writeSettings(bool hide) {
        test::SampleManagerSettings values;
        values.hide = hide;
        writeManagerSettings(values);
    }
    QStringList files(const QString& folder, const QString& pattern) const {
        return QDir(path(folder)).entryList({pattern}, QDir::Files, QDir::Name);
    }
    bool controlsEnabled() const {
        for (QWidget* c :
             window->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!c->isEnabled()) return false;
        return true;
    }
    // A journal as a start writes it, for this fixture's project.
    QByteArray journalText() const {
        RunJournal run;
        run.projectFile = P(mpm());
        run.settingsFile = P(settings());
        run.kestIni = P(ini());
        run.settingsDigest = *DigestOfFile(P(settings()));
        run.started = QDateTime::currentDateTimeUtc();
        run.managerPid = 1;
        return ComposeRunJournal(run);
    }
};

qint64 JournalKestPid(const QByteArray& journal) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("kest-pid=(\\d+)")).match(QString::fromUtf8(journal));
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

}  // namespace

class TestRunRecovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killedManager_data();
    void killedManager();
    void changedDuringRun();
    void nothingToRecover();
    void unusableJournal_data();
    void unusableJournal();
    void journalNotWritten();
    void terminationSignal_data();
    void terminationSignal();
};

void TestRunRecovery::initTestCase() {
#ifdef Q_OS_LINUX
    // KEST outlives the killed manager; as its new parent the test can wait for it.
    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
#else
    QSKIP("Killing the manager is tested on Linux");
#endif
}

void TestRunRecovery::killedManager_data() {
    QTest::addColumn<bool>("hide");
    QTest::addColumn<QString>("then");  // what happens before the next start
    QTest::addColumn<bool>("byStart");  // the next start is a Start in a running manager
    QTest::addColumn<bool>("answer");
    QTest::newRow("hide on, KEST ended") << true << "ended" << false << true;
    QTest::newRow("hide off, KEST ended, Start pressed") << false << "ended" << true << true;
    QTest::newRow("KEST still running: adopted") << true << "running" << false << true;
    QTest::newRow("its pid now another program's") << false << "reused" << false << true;
    QTest::newRow("copy back declined") << true << "ended" << false << false;
}

void TestRunRecovery::killedManager() {
#ifdef Q_OS_LINUX
    QFETCH(bool, hide);
    QFETCH(QString, then);
    QFETCH(bool, byStart);
    QFETCH(bool, answer);
    Fixture f;
    f.writeSettings(hide);
    const QString program = f.path(u"program/pmkest"_s);
    QVERIFY(QFile::copy(BuildDir() + u"/pmkest"_s, program));
    if (byStart) f.start();  // a manager that is already running when the other one dies

    QProcess manager;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), f.path(u"run"_s));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    manager.setProcessEnvironment(env);
    manager.start(program, {f.mpm()});
    QVERIFY(manager.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(JournalKestPid(ReadAll(f.journal())) > 0, 20000);
    const qint64 kestPid = JournalKestPid(ReadAll(f.journal()));
    QCOMPARE(ReadAll(f.ini()), ProjectIni());
    QCOMPARE(::kill(pid_t(manager.processId()), SIGKILL), 0);
    QVERIFY(manager.waitForFinished());
    QCOMPARE(manager.exitStatus(), QProcess::CrashExit);

    QProcess other;
    if (then != u"running"_s) {
        f.go();
        int status = 0;
        QCOMPARE(::waitpid(pid_t(kestPid), &status, 0), pid_t(kestPid));
        QCOMPARE(ReadAll(f.ini()), AfterRun());
    }
    if (then == u"reused"_s) {
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        QByteArray text = ReadAll(f.journal());
        text.replace("kest-pid=" + QByteArray::number(kestPid),
                     "kest-pid=" + QByteArray::number(other.processId()));
        WriteAll(f.journal(), text);
    }

    f.dialogs.yesNoAnswers.push_back(answer);
    if (byStart)
        f.clickStart();
    else
        f.start();
    other.kill();
    other.waitForFinished();

    if (then == u"running"_s) {
        QVERIFY(f.dialogs.questions.isEmpty());
        QVERIFY(!f.controlsEnabled());
        QVERIFY(f.window->launcher().running());
        f.go();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.journal()), 20000);
        QVERIFY(f.controlsEnabled());
        ::waitpid(pid_t(kestPid), nullptr, 0);
        QCOMPARE(ReadAll(f.settings()), AfterRun());
        QVERIFY(f.files(u"proj"_s, u"*.bak"_s).isEmpty());  // nothing changed the project meanwhile
        QVERIFY(f.dialogs.messages.empty());
        QCOMPARE(f.state.launchCounter, 1);
        return;
    }

    QCOMPARE(f.dialogs.questions.size(), 1);
    const QString question = f.dialogs.questions[0];
    QVERIFY2(question.contains(u"was cut short"_s) && question.contains(f.mpm()) &&
                 question.contains(f.settings()),
             qPrintable(question));
    QVERIFY(!QFile::exists(f.journal()));
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString message = f.dialogs.messages[0].text;
    if (!answer) {
        QCOMPARE(ReadAll(f.settings()), ProjectIni());
        const QStringList aside = f.files(u"ini"_s, u"kest.run.*.declined"_s);
        const QStringList kept = f.files(u"ini"_s, u"kest.ini.*.bak"_s);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(f.path(u"ini/"_s + kept[0])), AfterRun());
        QVERIFY2(message.contains(aside[0]) && message.contains(kept[0]), qPrintable(message));
        // Not asked again.
        f.dialogs.questions.clear();
        f.start();
        QVERIFY(f.dialogs.questions.isEmpty());
        return;
    }
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    const QStringList backups = f.files(u"proj"_s, u"blink.ini.*.bak"_s);
    QCOMPARE(backups.size(), 1);
    QVERIFY(
        QRegularExpression(QStringLiteral(R"(^blink\.ini\.\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d\.bak$)"))
            .match(backups[0])
            .hasMatch());
    QCOMPARE(ReadAll(f.path(u"proj/"_s + backups[0])), ProjectIni());
    QVERIFY2(message.contains(backups[0]), qPrintable(message));
    if (byStart) {
        // The start went on after the recovery: kest.res holds the recovered result.
        QCOMPARE(ReadAll(f.path(u"ini/kest.res"_s)), AfterRun());
        QCOMPARE(f.state.launchCounter, 2);
    } else {
        QCOMPARE(f.state.launchCounter, 1);
    }
#endif
}

void TestRunRecovery::changedDuringRun() {
    Fixture f;
    f.go();
    f.start();
    f.clickStart();
    QVERIFY(f.dialogs.messages.empty());
    // A normal run leaves no files behind.
    QCOMPARE(f.files(u"proj"_s, u"*"_s), QStringList({u"blink.ini"_s, u"blink.mpm"_s}));
    QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList({u"kest.ini"_s, u"kest.res"_s}));

    // Another program writes the project settings file while KEST runs.
    f.kest("printf 'Edited=elsewhere\\r\\n' > " + ShellQuote(f.settings()));
    f.clickStart();
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    const QStringList backups = f.files(u"proj"_s, u"blink.ini.*.bak"_s);
    QCOMPARE(backups.size(), 1);
    QCOMPARE(ReadAll(f.path(u"proj/"_s + backups[0])), QByteArray("Edited=elsewhere\r\n"));
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY2(f.dialogs.messages[0].text.contains(backups[0]),
             qPrintable(f.dialogs.messages[0].text));
    QVERIFY(!QFile::exists(f.journal()));
    QCOMPARE(f.state.launchCounter, 2);
}

void TestRunRecovery::nothingToRecover() {
    Fixture f;
    WriteAll(f.ini(), ProjectIni());  // KEST ended without a change
    WriteAll(f.journal(), f.journalText());
    f.start();
    QVERIFY(f.dialogs.questions.isEmpty());
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList{u"kest.ini"_s});
    QCOMPARE(f.files(u"proj"_s, u"*"_s), QStringList({u"blink.ini"_s, u"blink.mpm"_s}));
    QCOMPARE(f.state.launchCounter, 1);
}

void TestRunRecovery::unusableJournal_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("truncated") << "truncated"
                               << "damaged or incomplete";
    QTest::newRow("garbage") << "garbage"
                             << "damaged or incomplete";
    QTest::newRow("another version") << "version"
                                     << "another version";
    QTest::newRow("settings file missing") << "no settings"
                                           << "missing or is not a regular file";
    QTest::newRow("settings file is a folder") << "folder"
                                               << "missing or is not a regular file";
    QTest::newRow("another kest.ini") << "other ini"
                                      << "another KEST initialisation file";
}

void TestRunRecovery::unusableJournal() {
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    Fixture f;
    QByteArray text = f.journalText();
    if (damage == u"truncated"_s) text.truncate(text.size() / 2);
    if (damage == u"garbage"_s) text = QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe=x\n", 16);
    if (damage == u"version"_s) text.replace("pmkest-run-journal=1", "pmkest-run-journal=2");
    if (damage == u"no settings"_s) QFile::remove(f.settings());
    if (damage == u"folder"_s) {
        QFile::remove(f.settings());
        QDir().mkpath(f.settings());
    }
    if (damage == u"other ini"_s)
        text.replace(f.ini().toUtf8(), f.path(u"proj/kest.ini"_s).toUtf8());
    WriteAll(f.journal(), text);
    WriteAll(f.path(u"proj/kest.ini"_s), "not to be copied\r\n");

    f.start();
    QVERIFY(f.dialogs.questions.isEmpty());
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString message = f.dialogs.messages[0].text;
    QVERIFY2(message.contains(f.journal()) && message.contains(reason), qPrintable(message));
    QCOMPARE(ReadAll(f.ini()), OldIni());
    if (damage != u"no settings"_s && damage != u"folder"_s)
        QCOMPARE(ReadAll(f.settings()), ProjectIni());
    QVERIFY(!QFile::exists(f.journal()));
    QCOMPARE(f.files(u"ini"_s, u"kest.run.*.damaged"_s).size(), 1);
    const QStringList kept = f.files(u"ini"_s, u"kest.ini.*.bak"_s);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(ReadAll(f.path(u"ini/"_s + kept[0])), OldIni());
    QVERIFY(f.controlsEnabled());
    QCOMPARE(f.state.launchCounter, 0);
}

void TestRunRecovery::journalNotWritten() {
#ifdef Q_OS_LINUX
    Fixture f;
    f.go();
    f.start();
    // No file may grow: the journal is the first thing a start writes.
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &small);
    f.clickStart();
    setrlimit(RLIMIT_FSIZE, &before);
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString message = f.dialogs.messages[0].text;
    QVERIFY2(message.startsWith(u"KEST was not started"_s) && message.contains(f.journal()),
             qPrintable(message));
    QCOMPARE(ReadAll(f.ini()), OldIni());
    QVERIFY(!QFile::exists(f.path(u"ini/kest.res"_s)));
    QVERIFY(!QFile::exists(f.path(u"started"_s)));
    QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList{u"kest.ini"_s});
    QCOMPARE(f.state.launchCounter, 0);
#endif
}

void TestRunRecovery::terminationSignal_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("hide");
    QTest::addColumn<QString>("when");
#ifdef Q_OS_LINUX
    QTest::newRow("SIGTERM during a run") << int(SIGTERM) << false << "run";
    QTest::newRow("SIGHUP during a hidden run") << int(SIGHUP) << true << "run";
    QTest::newRow("SIGTERM, no run") << int(SIGTERM) << false << "idle";
    QTest::newRow("SIGTERM, asked to copy back") << int(SIGTERM) << false << "question";
#endif
}

void TestRunRecovery::terminationSignal() {
#ifdef Q_OS_LINUX
    QFETCH(int, signal);
    QFETCH(bool, hide);
    QFETCH(QString, when);
    const bool run = when == u"run"_s;
    Fixture f;
    if (when == u"question"_s) {
        WriteAll(f.ini(), AfterRun());
        WriteAll(f.journal(), f.journalText());
    }
    f.writeSettings(hide);
    // KEST changes kest.ini at once, then runs until it is ended.
    f.kest(f.standIn("--set MainFile=/w/blink/after.pas"));
    const QString program = f.path(u"program/pmkest"_s);
    QVERIFY(QFile::copy(BuildDir() + u"/pmkest"_s, program));
    // A runtime folder that only its user may enter, as the program wants it for dirs.txt.
    QVERIFY(QFile::setPermissions(f.path(u"run"_s),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess manager;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), f.path(u"run"_s));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    manager.setProcessEnvironment(env);
    manager.start(program, run ? QStringList{f.mpm()} : QStringList{});
    QVERIFY(manager.waitForStarted());
    if (run)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"started"_s)), 20000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"run/dirs.txt"_s)), 20000);
    QCOMPARE(::kill(pid_t(manager.processId()), signal), 0);
    QVERIFY(manager.waitForFinished(20000));
    QCOMPARE(manager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(manager.exitCode(), 0);

    // The settings were saved as at a close; a run ended this way is not counted.
    const QByteArray settings = ReadAll(f.path(u"program/PMKEST_121226.ini"_s));
    QCOMPARE(settings.count("\r\n"), 26);
    QVERIFY(settings.startsWith("COUNTER=0\r\n"));
    if (run) {
        // KEST was ended, and its result is back in the project.
        QCOMPARE(ReadAll(f.settings()), AfterRun());
        QCOMPARE(ReadAll(f.ini()), AfterRun());
        QVERIFY(!QFile::exists(f.journal()));
    } else {
        QCOMPARE(ReadAll(f.settings()), ProjectIni());
    }
    if (when == u"question"_s) {
        // Nobody answered: the next start asks again, and nothing was put aside.
        QVERIFY(QFile::exists(f.journal()));
        QCOMPARE(ReadAll(f.ini()), AfterRun());
        QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList({u"kest.ini"_s, u"kest.run"_s}));
    }
#endif
}

PMKEST_TEST_MAIN(TestRunRecovery)
#include "tst_run_recovery.moc"
