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
#endif

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::JournalKestPid;
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
// The same text grown to 8 MiB with lines that KEST keeps as they are.
QByteArray Big(const QByteArray& text) {
    QByteArray big = text;
    for (int i = 0; big.size() < 8 * 1024 * 1024; ++i)
        big += "Pad" + QByteArray::number(i) + '=' + QByteArray(100, char('a' + i % 26)) + "\r\n";
    return big;
}

struct Fixture : test::ProgramFixture {
    QByteArray oldIni = OldIni();
    QByteArray projectIni = ProjectIni();
    QByteArray afterRun = AfterRun();

    explicit Fixture(bool big = false) {
        if (big) {
            oldIni = Big(oldIni);
            projectIni = Big(projectIni);
            afterRun = Big(afterRun);
        }
        writeFiles(oldIni, projectIni);
        kest({});
        writeSettings(false);
    }
    // KEST says it runs, waits for the file "go", then changes kest.ini and ends.
    void kest(const QByteArray& before) {
        writeKest(before + "\ntouch " + ShellQuote(path(u"started"_s)) + "\nwhile [ ! -e " +
                  ShellQuote(path(u"go"_s)) + " ]; do sleep 0.05; done\n" +
                  standIn("--set MainFile=/w/blink/after.pas") + "\ntouch " +
                  ShellQuote(path(u"done"_s)) + "\n");
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
             window->centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!c->isEnabled()) return false;
        return true;
    }
    // A journal as a start writes it for this fixture's project once KEST has started.
    QByteArray journalText(RunPhase phase = RunPhase::Swapped) const {
        RunJournal run;
        run.phase = phase;
        run.projectFile = P(mpm());
        run.settingsFile = P(settings());
        run.kestIni = P(ini());
        run.iniDigest = *DigestOfFile(P(ini()));
        run.settingsDigest = *DigestOfFile(P(settings()));
        run.started = QDateTime::currentDateTimeUtc();
        run.managerPid = 1;
        run.kestProgram = path(u"kest/kest"_s);
        run.kestMark = u"0"_s;
        return ComposeRunJournal(run);
    }
    // The real program, started on the project; stopAt: the point where it kills itself.
    void startManager(QProcess& manager, const QString& stopAt = {}) {
        const QString program = path(u"program/pmkest"_s);
        QFile::remove(program);
        QVERIFY(QFile::copy(BuildDir() + (stopAt.isEmpty() ? u"/pmkest"_s : u"/pmkest-stop-at"_s),
                            program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(u"run"_s));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!stopAt.isEmpty()) env.insert(QStringLiteral("PMKEST_STOP_AT"), stopAt);
        manager.setProcessEnvironment(env);
        manager.start(program, {mpm()});
        QVERIFY(manager.waitForStarted());
    }
};

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
    void anotherLiveManagersRun();
    void adoptedRunSaysSoAndEndsOnClose();
    void questionInTheUsersLanguage();
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
    if (byStart) f.start();  // a manager that is already running when the other one dies

    QProcess manager;
    f.startManager(manager);
    QTRY_VERIFY_WITH_TIMEOUT(JournalKestPid(ReadAll(f.journal())) > 0, 20000);
    const qint64 kestPid = JournalKestPid(ReadAll(f.journal()));
    QCOMPARE(ReadAll(f.ini()), ProjectIni());
    QCOMPARE(::kill(pid_t(manager.processId()), SIGKILL), 0);
    QVERIFY(manager.waitForFinished());
    QCOMPARE(manager.exitStatus(), QProcess::CrashExit);

    f.go();
    int status = 0;
    QCOMPARE(::waitpid(pid_t(kestPid), &status, 0), pid_t(kestPid));
    QCOMPARE(ReadAll(f.ini()), AfterRun());
    QProcess other;
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
    // Nothing else wrote the project during the run: its old version needs no backup.
    QVERIFY(f.files(u"proj"_s, u"*.bak"_s).isEmpty());
    QVERIFY2(message.contains(u"copied back"_s), qPrintable(message));
    if (byStart) {
        // The start went on after the recovery: kest.res holds the recovered result.
        QCOMPARE(ReadAll(f.path(u"ini/kest.res"_s)), AfterRun());
    }
    // Only a start that started KEST counts; the copy back of a run cut short does not.
    QCOMPARE(f.state.launchCounter, byStart ? 1 : 0);
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

    // Another program writes the project settings file while KEST runs; ten backups of it
    // are there already.
    for (int i = 0; i < 10; ++i)
        WriteAll(
            f.path(u"proj/blink.ini.2000-01-01T00-00-%1.bak"_s).arg(i, 2, 10, QLatin1Char('0')),
            "Old=" + QByteArray::number(i) + "\r\n");
    f.kest("printf 'Edited=elsewhere\\r\\n' > " + ShellQuote(f.settings()));
    f.clickStart();
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    QStringList backups = f.files(u"proj"_s, u"blink.ini.*.bak"_s);
    QCOMPARE(backups.size(), 10);  // the oldest went
    QCOMPARE(backups[0], u"blink.ini.2000-01-01T00-00-01.bak"_s);
    QCOMPARE(ReadAll(f.path(u"proj/"_s + backups.last())), QByteArray("Edited=elsewhere\r\n"));
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY2(f.dialogs.messages[0].text.contains(backups.last()),
             qPrintable(f.dialogs.messages[0].text));
    QVERIFY(!QFile::exists(f.journal()));
    QCOMPARE(f.state.launchCounter, 2);

    // The same bytes again: a backup holds them already.
    f.clickStart();
    QCOMPARE(f.files(u"proj"_s, u"blink.ini.*.bak"_s), backups);
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
}

void TestRunRecovery::nothingToRecover() {
    Fixture f;
    WriteAll(f.ini(), ProjectIni());  // KEST ended without a change
    WriteAll(f.journal(), f.journalText());
    f.start();
    QVERIFY(f.dialogs.questions.isEmpty());
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY(f.dialogs.messages[0].text.contains(u"changed nothing"_s));
    QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList{u"kest.ini"_s});
    QCOMPARE(f.files(u"proj"_s, u"*"_s), QStringList({u"blink.ini"_s, u"blink.mpm"_s}));
    QCOMPARE(f.state.launchCounter, 0);
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
    QTest::newRow("phases out of order") << "order"
                                         << "out of order";
    QTest::newRow("kest.ini fits none of its digests") << "digests"
                                                       << "fits neither";
}

void TestRunRecovery::unusableJournal() {
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    Fixture f;
    QByteArray text = f.journalText();
    if (damage == u"truncated"_s) text.truncate(text.size() / 2);
    if (damage == u"garbage"_s) text = QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe=x\n", 16);
    if (damage == u"version"_s) text.replace("pmkest-run-journal=2", "pmkest-run-journal=3");
    if (damage == u"no settings"_s) QFile::remove(f.settings());
    if (damage == u"folder"_s) {
        QFile::remove(f.settings());
        QDir().mkpath(f.settings());
    }
    if (damage == u"order"_s)
        text.replace("phase=swapped", "phase=ended\r\nkest-exit=0\r\nphase=swapped");
    if (damage == u"digests"_s) {
        // Cut before KEST's start, with a kest.ini that was neither swapped out nor in.
        text.truncate(text.indexOf("phase=swapped"));
        text.replace(DigestOfFile(P(f.ini()))->sha256.toHex(), QByteArray(64, '0'));
        text += "end=\r\n";
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
    QTest::newRow("SIGTERM during a start-up message") << int(SIGTERM) << false << "message";
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
    // A start cut short before the swap: start-up says so, then would start the project.
    if (when == u"message"_s) WriteAll(f.journal(), f.journalText(RunPhase::Begun));
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
    const bool withProject = run || when == u"message"_s;
    manager.start(program, withProject ? QStringList{f.mpm()} : QStringList{});
    QVERIFY(manager.waitForStarted());
    if (run)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"started"_s)), 20000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.path(u"run/dirs.txt"_s)), 20000);
    if (when == u"message"_s) QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.journal()), 20000);
    QCOMPARE(::kill(pid_t(manager.processId()), signal), 0);
    QVERIFY(manager.waitForFinished(20000));
    QCOMPARE(manager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(manager.exitCode(), 0);

    // The settings were saved as at a close, a KEST that was started counted.
    const QByteArray settings = ReadAll(f.path(u"program/PMKEST_121226.ini"_s));
    QCOMPARE(settings.count("\r\n"), 26);
    QVERIFY(settings.startsWith(run ? "COUNTER=1\r\n" : "COUNTER=0\r\n"));
    if (run) {
        // KEST was ended, and its result is back in the project.
        QCOMPARE(ReadAll(f.settings()), AfterRun());
        QCOMPARE(ReadAll(f.ini()), AfterRun());
        QVERIFY(!QFile::exists(f.journal()));
    } else {
        QCOMPARE(ReadAll(f.settings()), ProjectIni());
    }
    if (when == u"message"_s) {
        // The box was dismissed by the signal, not by the user: KEST is not started.
        QVERIFY(!QFile::exists(f.path(u"started"_s)));
        QCOMPARE(ReadAll(f.ini()), OldIni());
        QVERIFY(!QFile::exists(f.res()));
    }
    if (when == u"question"_s) {
        // Nobody answered: the next start asks again, and nothing was put aside.
        QVERIFY(QFile::exists(f.journal()));
        QCOMPARE(ReadAll(f.ini()), AfterRun());
        QCOMPARE(f.files(u"ini"_s, u"*"_s), QStringList({u"kest.ini"_s, u"kest.run"_s}));
    }
#endif
}

void TestRunRecovery::anotherLiveManagersRun() {
#ifdef Q_OS_LINUX
    // Two sessions on one kest.ini, each with its own runtime folder: A runs KEST, B presses
    // Start.
    Fixture f;
    QProcess managerA;
    f.startManager(managerA);
    QTRY_VERIFY_WITH_TIMEOUT(JournalKestPid(ReadAll(f.journal())) > 0, 20000);
    const QByteArray journal = ReadAll(f.journal());
    const QByteArray res = ReadAll(f.res());
    f.start();
    f.clickStart();
    QVERIFY(f.dialogs.questions.isEmpty());
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    const QString text = f.dialogs.messages[0].text;
    QVERIFY2(text.contains(f.mpm()) && text.contains(QString::number(managerA.processId())),
             qPrintable(text));
    // B touched nothing: not the journal, not the files, no backup, no count.
    QVERIFY(f.controlsEnabled());
    QCOMPARE(ReadAll(f.journal()), journal);
    QCOMPARE(ReadAll(f.res()), res);
    QCOMPARE(ReadAll(f.ini()), ProjectIni());
    QCOMPARE(ReadAll(f.settings()), ProjectIni());
    QVERIFY(f.files(u"proj"_s, u"*.bak"_s).isEmpty());
    QCOMPARE(f.state.launchCounter, 0);
    // A finishes its own run.
    f.go();
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.journal()), 20000);
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    managerA.terminate();
    QVERIFY(managerA.waitForFinished(20000));
#endif
}

void TestRunRecovery::adoptedRunSaysSoAndEndsOnClose() {
#ifdef Q_OS_LINUX
    Fixture f;
    QProcess manager;
    f.startManager(manager);
    QTRY_VERIFY_WITH_TIMEOUT(JournalKestPid(ReadAll(f.journal())) > 0, 20000);
    const qint64 kestPid = JournalKestPid(ReadAll(f.journal()));
    QCOMPARE(::kill(pid_t(manager.processId()), SIGKILL), 0);
    QVERIFY(manager.waitForFinished());

    TMain& w = f.start();
    QVERIFY(f.window->launcher().adopting());
    const QString status = w.findChild<StatusPanels*>(u"StatusBar1"_s)->panelText(2);
    QVERIFY2(status.startsWith(u"Waiting for KEST, started "_s) && status.endsWith(f.mpm()),
             qPrintable(status));
    // Closed as during a run of its own: asked, and yes ends KEST and copies back.
    f.dialogs.yesNoAnswers.push_back(true);
    QVERIFY(w.close());
    QCOMPARE(f.dialogs.questions.size(), 1);
    int wstatus = 0;
    QCOMPARE(::waitpid(pid_t(kestPid), &wstatus, 0), pid_t(kestPid));
    QVERIFY(!QFile::exists(f.journal()));
    QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
#endif
}

void TestRunRecovery::questionInTheUsersLanguage() {
    Fixture f;
    WriteAll(f.ini(), AfterRun());
    WriteAll(f.journal(), f.journalText());
    test::SampleManagerSettings values;
    values.russian = true;
    f.writeManagerSettings(values);
    f.start();
    QCOMPARE(f.dialogs.yesCaptions, QStringList{u"&Да"_s});
}

PMKEST_TEST_MAIN(TestRunRecovery)
#include "tst_run_recovery.moc"
