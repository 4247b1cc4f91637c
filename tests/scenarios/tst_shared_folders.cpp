// Another user of the machine plants files in the folders that users share (KEST's folder, a
// project folder, the program folder); the victim only starts pmkest and presses Start. Each
// row: nothing outside the shared folders is written or deleted, no planted file is deleted,
// no process is signalled, no copy is more readable than its source, and what is refused is
// named.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "core/launch/run_journal.h"
#include "platform/process/process_identity.h"
#include "support/program_fixture.h"
#include "support/test_main.h"

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::P;
using test::ReadAll;
using test::ShellQuote;
using test::WriteAll;

constexpr uid_t kOtherUser = 65534;  // nobody

QByteArray ProjectIni() {
    return test::SampleKestIni("/w/blink/", "blink");
}

struct Fixture : test::ProgramFixture {
    std::map<QString, QByteArray> victimFiles;  // outside the shared folders
    std::map<QString, mode_t> victimModes;
    QStringList planted;  // files of the other user that must survive

    Fixture() {
        QDir(root.path()).mkpath(u"victim"_s);
        for (const QString& name : {u"notes.txt"_s, u"secret.txt"_s, u"bashrc"_s}) {
            WriteAll(path(u"victim/"_s + name), "victim's " + name.toUtf8() + "\n");
            victimFiles[name] = ReadAll(path(u"victim/"_s + name));
        }
        ::chmod(QFile::encodeName(path(u"victim/secret.txt"_s)), 0600);
        for (const auto& [name, bytes] : victimFiles)
            victimModes[name] = Mode(path(u"victim/"_s + name));
        writeFiles(test::SampleKestIni("/old/", "main"), ProjectIni());
        writeKest("touch " + ShellQuote(path(u"started"_s)) + "\n" +
                  standIn("--set MainFile=/w/blink/new.pas", true) + "\n");
        writeManagerSettings({});
    }
    static mode_t Mode(const QString& file) {
        struct stat st {};
        return ::lstat(QFile::encodeName(file), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    void share(const QString& folder, bool sticky) {
        QCOMPARE(::chmod(QFile::encodeName(path(folder)), sticky ? 01777 : 0777), 0);
    }
    void plant(const QString& file, const QByteArray& bytes) {
        WriteAll(file, bytes);
        QCOMPARE(::chown(QFile::encodeName(file), kOtherUser, kOtherUser), 0);
        planted << file;
    }
    void link(const QString& at, const QString& victimFile) {
        QFile::remove(at);
        QVERIFY(QFile::link(path(u"victim/"_s + victimFile), at));
    }
    // A journal as a run writes it, naming settings; the phase as asked.
    QByteArray journalText(RunPhase phase, const QString& settingsFile, qint64 kestPid = 0) const {
        RunJournal run;
        run.phase = phase;
        run.projectFile = P(mpm());
        run.settingsFile = P(settingsFile);
        run.kestIni = P(ini());
        run.iniDigest = *DigestOfFile(P(ini()));
        run.settingsDigest = *DigestOfFile(P(settingsFile));
        run.started = QDateTime::currentDateTimeUtc();
        run.managerPid = 999999;
        run.kestProgram = kestFolder + u"kest"_s;
        run.kestMark = u"5eed"_s;
        run.kestSince = u"x/0"_s;
        run.kestPid = kestPid;
        run.kestIdentity = ProcessIdentity(kestPid);
        return ComposeRunJournal(run);
    }
    bool kestStarted() const { return QFile::exists(path(u"started"_s)); }
    QString shown() const {
        return (dialogs.messageTexts() + dialogs.questions).join(u"\n---\n"_s);
    }
};

}  // namespace

class TestSharedFolders : public QObject {
    Q_OBJECT
private slots:
    void hostileSetUps_data();
    void hostileSetUps();
};

void TestSharedFolders::hostileSetUps_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<bool>("sticky");     // the shared folders are 1777 rather than 0777
    QTest::addColumn<bool>("otherUser");  // needs files of another user (root only)
    QTest::addColumn<QString>("named");   // what the user is told about, below the root
    QTest::addColumn<bool>("kestRuns");
    auto row = [](const char* name, const char* setUp, bool sticky, bool other, const char* named,
                  bool runs) {
        QTest::newRow(name) << QString::fromLatin1(setUp) << sticky << other
                            << QString::fromLatin1(named) << runs;
    };
    for (const bool sticky : {false, true}) {
        const char* s = sticky ? " (1777)" : " (0777)";
        auto r = [&](const char* name, const char* setUp, bool other, const char* named,
                     bool runs) {
            row(qPrintable(QString::fromLatin1(name) + QLatin1String(s)), setUp, sticky, other,
                named, runs);
        };
        for (const char* phase : {"begun", "swapped", "running", "ended"})
            r(qPrintable(u"planted journal, "_s + QLatin1String(phase)),
              qPrintable(u"journal "_s + QLatin1String(phase)), true, "ini/kest.run", false);
        r("planted journal set aside", "set aside", true, "ini/kest.run", true);
        r("link at kest.res", "link res", false, "ini/kest.res", false);
        r("link at kest.ini", "link ini", false, "ini/kest.ini", false);
        r("link at kest.run", "link run", false, "ini/kest.run", false);
        r("kest.run made a link during the run", "link run during", false, "", true);
        r("link at the manager's settings file", "link manager", false, "program/PMKEST_121226.ini",
          false);
        r("link at the project settings file", "link settings", false, "proj/blink.ini", false);
        r("settings made a link during the run", "link settings during", false, "proj/blink.ini",
          true);
        r("another user's kest.ini", "foreign ini", true, "ini/kest.ini", false);
        r("planted backups", "backups", true, "proj/blink.ini.", true);
        r("huge kest.run of another user", "huge run", true, "ini/kest.run", true);
    }
    row("project names a file outside its folder", "outside", false, false, "victim/notes.txt",
        false);
    row("own journal naming a live process without the mark", "live process", true, false,
        "ini/kest.run", true);
    row("huge kest.ini", "huge ini", true, false, "ini/kest.ini", false);
    row("secret project settings", "secret settings", true, false, "", true);
}

void TestSharedFolders::hostileSetUps() {
#ifndef Q_OS_LINUX
    QSKIP("Owners and modes of POSIX files");
#else
    QFETCH(QString, setUp);
    QFETCH(bool, sticky);
    QFETCH(bool, otherUser);
    QFETCH(QString, named);
    QFETCH(bool, kestRuns);
    if (otherUser && ::geteuid() != 0)
        QSKIP("Files of another user are made with chown, which needs root");
    Fixture f;
    f.share(u"ini"_s, sticky);
    f.share(u"proj"_s, sticky);
    const QByteArray oldIni = ReadAll(f.ini());
    QProcess live;  // a process of the victim's that nothing may signal
    live.start(u"sleep"_s, {u"60"_s});
    QVERIFY(live.waitForStarted());

    const RunPhase phases[] = {RunPhase::Begun, RunPhase::Swapped, RunPhase::Running,
                               RunPhase::Ended};
    const char* phaseNames[] = {"begun", "swapped", "running", "ended"};
    for (int i = 0; i < 4; ++i)
        if (setUp == u"journal "_s + QLatin1String(phaseNames[i])) {
            // A journal that would copy the attacker's kest.ini over the victim's notes.
            const QByteArray text =
                f.journalText(phases[i], f.path(u"victim/notes.txt"_s), live.processId());
            f.plant(f.ini(), "[Evil]\r\nOwned=1\r\n");
            f.plant(f.journal(), text);
        }
    if (setUp == u"set aside"_s) {
        f.plant(f.journal(), f.journalText(RunPhase::Ended, f.settings()));
        f.dialogs.yesNoAnswers = {true};
    }
    if (setUp == u"link res"_s) f.link(f.res(), u"bashrc"_s);
    if (setUp == u"link ini"_s) f.link(f.ini(), u"secret.txt"_s);
    if (setUp == u"link run"_s) f.link(f.journal(), u"notes.txt"_s);
    if (setUp == u"link run during"_s || setUp == u"link settings during"_s) {
        const bool run = setUp == u"link run during"_s;
        const QString at = run ? f.journal() : f.settings();
        f.writeKest("ln -sf " +
                    ShellQuote(f.path(run ? u"victim/notes.txt"_s : u"victim/secret.txt"_s)) + " " +
                    ShellQuote(at) + "\ntouch " + ShellQuote(f.path(u"started"_s)) + "\n" +
                    f.standIn("--set MainFile=/w/blink/new.pas", true) + "\n");
    }
    if (setUp == u"link manager"_s) {
        f.share(u"program"_s, sticky);
        WriteAll(f.path(u"victim/bashrc"_s), ReadAll(f.managerSettings()));
        f.victimFiles[u"bashrc"_s] = ReadAll(f.managerSettings());
        f.link(f.managerSettings(), u"bashrc"_s);
        f.dialogs.yesNoAnswers = {true};  // close anyway
    }
    if (setUp == u"link settings"_s) f.link(f.settings(), u"secret.txt"_s);
    if (setUp == u"foreign ini"_s) f.plant(f.ini(), "[Evil]\r\nOwned=1\r\n");
    if (setUp == u"backups"_s) {
        for (int i = 0; i < 10; ++i)
            f.plant(f.settings() + u".2099-01-01T00-00-0%1.bak"_s.arg(i), "planted");
        for (const char* own : {".2020-01-01T00-00-00.bak", ".2020-01-02T00-00-00.bak"})
            WriteAll(f.settings() + QLatin1String(own), "own " + QByteArray(own));
        // Something else changes the project during the run, so its version is kept.
        f.writeKest("echo changed >> " + ShellQuote(f.settings()) + "\ntouch " +
                    ShellQuote(f.path(u"started"_s)) + "\n" +
                    f.standIn("--set MainFile=/w/blink/new.pas", true) + "\n");
    }
    if (setUp == u"huge run"_s) {
        f.plant(f.journal(), {});
        QVERIFY(QFile::resize(f.journal(), 3LL << 30));  // sparse
        f.dialogs.yesNoAnswers = {true};                 // set it aside
    }
    if (setUp == u"outside"_s) WriteAll(f.mpm(), f.path(u"victim/notes.txt"_s).toUtf8() + "\r\n");
    if (setUp == u"live process"_s) {
        WriteAll(f.journal(), f.journalText(RunPhase::Running, f.settings(), live.processId()));
        QCOMPARE(::chmod(QFile::encodeName(f.journal()), 0600), 0);
    }
    if (setUp == u"huge ini"_s) QVERIFY(QFile::resize(f.ini(), 4LL << 30));
    if (setUp == u"secret settings"_s) QCOMPARE(::chmod(QFile::encodeName(f.settings()), 0600), 0);

    f.start();
    f.clickStart();  // returns once the run, if any, is over
    QVERIFY(f.window->close());

    const QString shown = f.shown();
    if (!named.isEmpty()) QVERIFY2(shown.contains(f.path(named)), qPrintable(shown));
    QCOMPARE(f.kestStarted(), kestRuns);
    // Nothing of the victim's outside the shared folders changed, and nothing was signalled.
    for (const auto& [name, bytes] : f.victimFiles) {
        QVERIFY2(ReadAll(f.path(u"victim/"_s + name)) == bytes, qPrintable(name));
        QCOMPARE(Fixture::Mode(f.path(u"victim/"_s + name)), f.victimModes.at(name));
    }
    QCOMPARE(live.state(), QProcess::Running);
    for (const QString& file : f.planted)
        QVERIFY2(QFileInfo(file).exists() || setUp == u"set aside"_s || setUp == u"huge run"_s,
                 qPrintable(file));
    // Nothing in the shared folders is more readable than what it was copied from.
    for (const char* folder : {"ini", "proj"})
        for (const QFileInfo& file :
             QDir(f.path(QString::fromLatin1(folder))).entryInfoList(QDir::Files | QDir::Hidden))
            if (!file.isSymLink())
                QVERIFY2(!(Fixture::Mode(file.filePath()) & (S_IWGRP | S_IWOTH)),
                         qPrintable(file.filePath()));

    if (setUp == u"set aside"_s || setUp == u"huge run"_s) {
        // Renamed, never copied: the only write to the other user's journal.
        const QStringList aside =
            QDir(f.path(u"ini"_s)).entryList({u"kest.run.*.foreign"_s}, QDir::Files);
        QCOMPARE(aside.size(), 1);
    }
    if (setUp == u"link ini"_s || setUp == u"link res"_s || setUp == u"huge ini"_s)
        QVERIFY(!QFileInfo(f.res()).isFile() || QFileInfo(f.res()).isSymLink());
    if (setUp == u"link settings during"_s) {
        QVERIFY2(ReadAll(f.ini()).contains("new.pas"), "KEST's result stays in kest.ini");
        QVERIFY(QDir(f.path(u"proj"_s)).entryList({u"*.bak"_s}, QDir::Files).isEmpty());
    }
    if (setUp == u"backups"_s) {
        const QStringList own = QDir(f.path(u"proj"_s)).entryList({u"blink.ini.20[!9]*.bak"_s});
        QCOMPARE(own.size(), 3);  // both earlier ones and the one just made
        QVERIFY2(shown.contains(f.path(u"proj/"_s) + own.last()), qPrintable(shown));
    }
    if (setUp == u"secret settings"_s) {
        QCOMPARE(Fixture::Mode(f.ini()) & 077, mode_t(0));
        QCOMPARE(ReadAll(f.settings()), ReadAll(f.ini()));
    }
    if (setUp == u"outside"_s || setUp == u"link run"_s || setUp.startsWith(u"journal "_s))
        QCOMPARE(ReadAll(f.ini()), setUp == u"outside"_s || setUp == u"link run"_s
                                       ? oldIni
                                       : QByteArray("[Evil]\r\nOwned=1\r\n"));
    live.kill();
    live.waitForFinished();
#endif
}

PMKEST_TEST_MAIN(TestSharedFolders)
#include "tst_shared_folders.moc"
