// A run without any window: KestRun alone on real files, with kest-standin as KEST, the user
// answered by a script and the window played by a recording observer. A whole run, and a run
// resumed at each phase a killed manager can leave behind.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/launch/kest_run.h"
#include "platform/process/process_search.h"
#include "support/sample_files.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::P;
using test::ReadAll;
using test::WriteAll;

QByteArray OldIni() {
    return test::SampleKestIni("/old/", "main");
}
QByteArray ProjectIni() {
    return test::SampleKestIni("/w/blink/", "blink");
}
QByteArray AfterRun() {
    return ProjectIni().replace("MainFile=/w/blink/blink.pas", "MainFile=/w/new.pas");
}

struct Observer final : RunObserver {
    QStringList events;
    void runningChanged(bool running) override { events << (running ? u"busy"_s : u"idle"_s); }
    void showRunStatus(const QString&) override {}
    void showSettingsFile(const QString&) override {}
    void preparingPrefix(const QString&) override {}
    void kestHasStarted(bool) override { events << u"started"_s; }
    void kestHasEnded(bool) override { events << u"ended"_s; }
    void counted(int) override {}
};

struct Fixture {
    QTemporaryDir root;
    AppState state;
    test::ScriptedDialogs dialogs;
    Observer observer;
    KestRun run{state, dialogs, observer};

    Fixture() {
        for (const char* folder : {"kest", "ini", "proj"})
            QDir(root.path()).mkpath(QString::fromLatin1(folder));
        state.kestFolder = P(path(u"kest"_s)) + char(QDir::separator().toLatin1());
        state.kestIniFolder = P(path(u"ini"_s)) + char(QDir::separator().toLatin1());
        state.project.ProjectFile = P(path(u"proj/blink.mpm"_s));
        WriteAll(ini(), OldIni());
        WriteAll(settings(), ProjectIni());
        WriteAll(path(u"proj/blink.mpm"_s), QByteArray::fromStdString(P(settings())) + "\r\n");
        // kest-standin plays KEST, told what to do through its environment.
        const QString standIn = qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/kest-standin"_s;
#ifdef Q_OS_WIN
        QFile::copy(standIn + u".exe"_s, path(u"kest/kest.exe"_s));
#else
        WriteAll(path(u"kest/kest.exe"_s), {});
        QFile::copy(standIn, path(u"kest/kest"_s));
#endif
        qputenv("KEST_INI_DIR", QDir::toNativeSeparators(path(u"ini"_s)).toLocal8Bit());
        qputenv("KEST_STANDIN_ARGS", "--set MainFile=/w/new.pas");
    }
    QString path(const QString& name) const {
        return root.filePath(name);
    }
    QString ini() const {
        return path(u"ini/kest.ini"_s);
    }
    QString res() const {
        return path(u"ini/kest.res"_s);
    }
    QString settings() const {
        return path(u"proj/blink.ini"_s);
    }
    QString journal() const {
        return path(u"ini/kest.run"_s);
    }
    // The journal a run leaves at phase, the files as they are now.
    void leaveJournal(RunPhase phase, const QByteArray& iniBefore) {
        RunJournal left;
        left.phase = phase;
        left.projectFile = state.project.ProjectFile;
        left.settingsFile = P(settings());
        left.kestIni = P(ini());
        left.iniDigest = {iniBefore.size(),
                          QCryptographicHash::hash(iniBefore, QCryptographicHash::Sha256)};
        left.settingsDigest = *DigestOfFile(P(settings()));
        left.started = QDateTime::currentDateTimeUtc();
        left.managerPid = 999999;
        left.kestProgram = QDir::toNativeSeparators(path(u"kest/kest"_s));
        left.kestMark = u"5eed"_s;
        left.kestSince = ProcessClockNow();
        WriteAll(journal(), ComposeRunJournal(left));
    }
    QStringList iniFolder() const {
        return QDir(path(u"ini"_s)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

}  // namespace

class TestKestRun : public QObject {
    Q_OBJECT
private slots:
    void wholeRun();
    void resumed_data();
    void resumed();
    void adoptsMarkedKest();
};

void TestKestRun::wholeRun() {
    Fixture f;
    f.run.start(false);
    QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join(u'\n')));
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    QCOMPARE(ReadAll(f.ini()), AfterRun());
    QCOMPARE(ReadAll(f.res()), OldIni());
    QCOMPARE(f.iniFolder(), QStringList({u"kest.ini"_s, u"kest.res"_s}));
    QCOMPARE(f.observer.events, QStringList({u"busy"_s, u"started"_s, u"ended"_s, u"idle"_s}));
    QCOMPARE(f.state.launchCounter, 1);
    QVERIFY(!f.run.running());
}

void TestKestRun::resumed_data() {
    QTest::addColumn<QString>("left");        // what the killed manager left
    QTest::addColumn<bool>("answer");         // to a question, if one is asked
    QTest::addColumn<QByteArray>("ini");      // kest.ini afterwards
    QTest::addColumn<QByteArray>("project");  // the project settings afterwards
    QTest::addColumn<QStringList>("folder");  // KEST's folder afterwards, journals put aside
    QTest::addColumn<int>("counted");
    QTest::addColumn<bool>("startMayGo");
    const QStringList iniAndRes{u"kest.ini"_s, u"kest.res"_s};
    QTest::newRow("begun, nothing swapped")
        << "begun" << false << OldIni() << ProjectIni() << QStringList{u"kest.ini"_s} << 0 << true;
    QTest::newRow("begun, kest.ini swapped: put back")
        << "begun swapped" << false << OldIni() << ProjectIni() << iniAndRes << 0 << true;
    QTest::newRow("swapped, KEST never marked, changed: copied when asked")
        << "swapped changed" << true << AfterRun() << AfterRun() << iniAndRes << 0 << true;
    QTest::newRow("swapped, changed, declined: journal and result put aside")
        << "swapped changed" << false << AfterRun() << ProjectIni()
        << QStringList{u"kest.ini"_s, u"kest.ini.*.bak"_s, u"kest.res"_s, u"kest.run.*.declined"_s}
        << 0 << true;
    QTest::newRow("swapped, kest.ini as before the run: project kept by default")
        << "swapped pre-run" << false << OldIni() << ProjectIni()
        << QStringList{u"kest.ini"_s, u"kest.res"_s, u"kest.run.*.declined"_s} << 0 << true;
    QTest::newRow("swapped, kest.ini as before the run, copied anyway: project backed up")
        << "swapped pre-run" << true << OldIni() << OldIni() << iniAndRes << 0 << true;
    QTest::newRow("ended: copied back without asking")
        << "ended" << false << AfterRun() << AfterRun() << iniAndRes << 0 << true;
    QTest::newRow("damaged journal: put aside, nothing copied")
        << "damaged" << false << AfterRun() << ProjectIni()
        << QStringList{u"kest.ini"_s, u"kest.ini.*.bak"_s, u"kest.res"_s, u"kest.run.*.damaged"_s}
        << 0 << false;
}

void TestKestRun::resumed() {
    QFETCH(QString, left);
    QFETCH(bool, answer);
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, project);
    QFETCH(QStringList, folder);
    QFETCH(int, counted);
    QFETCH(bool, startMayGo);
    Fixture f;
    const RunPhase phase = left.startsWith(u"begun"_s)     ? RunPhase::Begun
                           : left.startsWith(u"swapped"_s) ? RunPhase::Swapped
                                                           : RunPhase::Ended;
    if (left != u"begun"_s) {
        // The swap was done, and for the later phases KEST changed kest.ini.
        WriteAll(f.res(), OldIni());
        WriteAll(f.ini(), phase == RunPhase::Begun      ? ProjectIni()
                          : left.endsWith(u"pre-run"_s) ? OldIni()
                                                        : AfterRun());
    }
    f.leaveJournal(phase, OldIni());
    if (left == u"damaged"_s) WriteAll(f.journal(), "pmkest-run-journal=2\r\nphase=begun\r\nx");
    f.dialogs.yesNoAnswers = {answer};
    QCOMPARE(f.run.resume(), startMayGo);
    QCOMPARE(ReadAll(f.ini()), ini);
    QCOMPARE(ReadAll(f.settings()), project);
    QStringList names = f.iniFolder();
    QCOMPARE(names.size(), folder.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        QVERIFY2(QDir::match(folder[i], names[i]), qPrintable(names.join(u", "_s)));
    QCOMPARE(f.state.launchCounter, counted);
    // What the project held is kept when the user insists on the pre-run kest.ini.
    const QStringList backups =
        QDir(f.path(u"proj"_s)).entryList({u"blink.ini.*.bak"_s}, QDir::Files);
    QCOMPARE(backups.size(), left.endsWith(u"pre-run"_s) && answer ? 1 : 0);
    if (!backups.isEmpty()) QCOMPARE(ReadAll(f.path(u"proj/"_s + backups[0])), ProjectIni());
    QVERIFY(!f.run.running());
}

void TestKestRun::adoptsMarkedKest() {
    Fixture f;
    WriteAll(f.res(), OldIni());
    WriteAll(f.ini(), ProjectIni());
    f.leaveJournal(RunPhase::Swapped, OldIni());
    // The KEST of the killed run: still running, with the run's mark, started after the mark.
    QProcess kest;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(KestRun::kMarkVariable), u"5eed"_s);
    env.insert(u"KEST_STANDIN_ARGS"_s, u"--sleep 1500 --set MainFile=/w/new.pas"_s);
    kest.setProcessEnvironment(env);
#ifdef Q_OS_WIN
    kest.start(f.path(u"kest/kest.exe"_s), QStringList());
#else
    kest.start(f.path(u"kest/kest"_s), QStringList());
#endif
    QVERIFY(kest.waitForStarted());
    QVERIFY(!f.run.resume());
    QVERIFY(f.run.adopting());
    QCOMPARE(f.observer.events, QStringList{u"busy"_s});
    // Waited for, then its result goes back by the same copy back as a run's own.
    QTRY_VERIFY_WITH_TIMEOUT(!f.run.running(), 20000);
    QCOMPARE(ReadAll(f.settings()), AfterRun());
    QCOMPARE(f.iniFolder(), QStringList({u"kest.ini"_s, u"kest.res"_s}));
    QCOMPARE(f.state.launchCounter, 0);  // counted by the manager that started it
    kest.waitForFinished();
}

PMKEST_TEST_GUILESS_MAIN(TestKestRun)
#include "tst_kest_run.moc"
