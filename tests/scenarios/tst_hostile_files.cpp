// Files that real machines produce (a full disk, a pipe, a device, a folder, a huge file, links,
// a temporary left by a killed run) through the real start, copy back, edit and close: each
// row checks what the user is told and that no byte of an old file is lost.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

#include "support/program_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main/main_window.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::ReadAll;
using test::ShellQuote;
using test::WriteAll;

QByteArray Lines(const char* key, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) text += key + QByteArray::number(i) + "=value\r\n";
    return text;
}

QByteArray OldIni() {
    return "[Editor]\r\nFont=Courier New\r\n" + Lines("Old", 2000);  // ~30 KB
}
QByteArray ProjectIni() {
    return "[Editor]\r\nMainFile=/w/blink/blink.pas\r\n" + Lines("P", 1500);
}

struct Fixture : test::ProgramFixture {
    QStringList mounts;

    ~Fixture() {
        window.reset();
#ifdef Q_OS_LINUX
        for (const QString& m : mounts) ::umount2(QFile::encodeName(m).constData(), MNT_DETACH);
#endif
    }
    // A small file system of its own, so that it fills up; false where none can be mounted.
    bool mountSmall(const QString& folder, int kib) {
#ifdef Q_OS_LINUX
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(path(folder)).constData(), "tmpfs", 0,
                    options.constData()) != 0)
            return false;
        mounts << path(folder);
        return true;
#else
        Q_UNUSED(folder);
        Q_UNUSED(kib);
        return false;
#endif
    }
    // Leaves about kib KiB free in the folder's file system.
    void fill(const QString& folder, int kib) {
        QFile filler(path(folder + u"/filler"_s));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size()) {
        }
        filler.close();
        QVERIFY(filler.resize(qMax<qint64>(0, filler.size() - kib * 1024)));
    }
    void prepareFiles() {
        writeFiles(OldIni(), ProjectIni());
        kest("--set MainFile=/w/blink/new.pas");
        test::SampleManagerSettings values;
        values.counter = 7;
        writeManagerSettings(values);
    }
    void kest(const QByteArray& arguments) {
        writeKest("touch " + ShellQuote(path(u"started"_s)) + "\n" + standIn(arguments, true) +
                  "\n");
    }
    void start(const QStringList& arguments = {}) {
        ProgramFixture::start(arguments);
    }
    void trigger(const char* action) {
        window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    bool kestStarted() const {
        return QFile::exists(path(u"started"_s));
    }
    QStringList files(const QString& folder) const {
        return QDir(path(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

void MakeFifo(const QString& path) {
    QFile::remove(path);
#ifdef Q_OS_LINUX
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
}

void ReplaceByLink(const QString& link, const QString& target) {
    QVERIFY(QFile::rename(link, target));
    QVERIFY(QFile::link(target, link));
}

}  // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void hostileFiles_data();
    void hostileFiles();
};

void TestHostileFiles::hostileFiles_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("action");  // start, edit, close, open (start-up), command line
    QTest::addColumn<QString>("named");   // the file the message names; empty: no message
    QTest::addColumn<QString>("reason");
    // What still holds the old bytes afterwards; the others changed as a run changes them.
    QTest::addColumn<QStringList>("untouched");
    const QString enospc = u"No space left on device"_s;
    const QStringList all = {u"ini"_s, u"settings"_s, u"manager"_s};
    QTest::newRow("full disk: kest.res") << "full ini folder"
                                         << "start"
                                         << "ini/kest.res" << enospc << all;
    QTest::newRow("full disk: copy back")
        << "full project folder"
        << "start"
        << "proj/blink.ini" << enospc << QStringList{u"settings"_s, u"manager"_s};
    QTest::newRow("full disk: settings at close") << "full program folder"
                                                  << "close"
                                                  << "program/PMKEST_121226.ini" << enospc << all;
    QTest::newRow("kest.ini is a pipe") << "kest.ini fifo"
                                        << "start"
                                        << "ini/kest.ini"
                                        << "named pipe (FIFO)" << QStringList{u"settings"_s};
    QTest::newRow("kest.ini is a pipe, Russian")
        << "kest.ini fifo, Russian"
        << "start"
        << "ini/kest.ini"
        << "именованный канал (FIFO)" << QStringList{u"settings"_s};
    QTest::newRow("settings file is /dev/zero: start") << "settings /dev/zero"
                                                       << "start"
                                                       << "/dev/zero"
                                                       << "device" << all;
    QTest::newRow("settings file is /dev/zero: edit") << "settings /dev/zero"
                                                      << "edit"
                                                      << "/dev/zero"
                                                      << "device" << all;
    QTest::newRow("settings file is a folder: edit")
        << "settings folder"
        << "edit"
        << "proj/blink.ini"
        << "folder" << QStringList{u"ini"_s, u"manager"_s};
    QTest::newRow("settings file over 64 MiB") << "settings huge"
                                               << "edit"
                                               << "proj/blink.ini"
                                               << "larger than 64 MiB" << QStringList{u"ini"_s};
    QTest::newRow("project file is a pipe") << "mpm fifo"
                                            << "start"
                                            << "proj/blink.mpm"
                                            << "named pipe (FIFO)" << all;
    QTest::newRow("project file is a folder: command line") << "mpm folder"
                                                            << "command line"
                                                            << "proj/blink.mpm"
                                                            << "folder" << all;
    QTest::newRow("manager settings file is a pipe")
        << "manager fifo"
        << "open"
        << "program/PMKEST_121226.ini"
        << "named pipe (FIFO)" << QStringList{u"ini"_s, u"settings"_s};
    QTest::newRow("user-dirs.dirs is a pipe") << "user dirs fifo"
                                              << "open" << QString() << QString() << all;
    QTest::newRow("links stay links") << "links"
                                      << "start" << QString() << QString() << QStringList();
    QTest::newRow("leftover temporaries")
        << "temporaries"
        << "start" << QString() << QString() << QStringList{u"manager"_s};
}

void TestHostileFiles::hostileFiles() {
#ifndef Q_OS_LINUX
    QSKIP("Pipes, devices and small file systems are tested on Linux");
#else
    QFETCH(QString, input);
    QFETCH(QString, action);
    QFETCH(QString, named);
    QFETCH(QString, reason);
    QFETCH(QStringList, untouched);
    Fixture f;
    if (input.startsWith(u"full "_s)) {
        const QString folder = input.section(u' ', 1, 1);
        if (!f.mountSmall(folder == u"ini"_s ? u"ini"_s
                          : folder == u"project"_s ? u"proj"_s
                                                   : u"program"_s,
                          256))
            QSKIP("No tmpfs can be mounted here (needs root)");
    }
    f.prepareFiles();
    int liveLock = -1;
    if (input == u"full ini folder"_s) f.fill(u"ini"_s, 16);  // the journal fits, kest.res not
    if (input == u"full project folder"_s) {
        f.kest("--set Big=" + QByteArray(60000, 'b'));  // the result outgrows the free space
        f.fill(u"proj"_s, 24);
    }
    if (input == u"full program folder"_s) f.fill(u"program"_s, 0);
    if (input.startsWith(u"kest.ini fifo"_s)) MakeFifo(f.ini());
    if (input.endsWith(u", Russian"_s)) {
        QFile settings(f.managerSettings());
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("FLAGRUS=TRUE\r\n");
    }
    if (input == u"settings /dev/zero"_s) {
        WriteAll(f.mpm(), "/dev/zero\r\n");
        f.dialogs.yesNoAnswers = {true};  // agreed to a settings file outside the project
    }
    if (input == u"settings folder"_s) {
        QFile::remove(f.settings());
        QDir().mkpath(f.settings());
    }
    if (input == u"settings huge"_s) {
        QFile file(f.settings());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(64 * 1024 * 1024 + 1));  // sparse: costs no disk
    }
    if (input == u"mpm fifo"_s) MakeFifo(f.mpm());
    if (input == u"mpm folder"_s) {
        QFile::remove(f.mpm());
        QDir().mkpath(f.mpm());
    }
    if (input == u"manager fifo"_s) MakeFifo(f.managerSettings());
    const QString userDirs =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        u"/user-dirs.dirs"_s;
    if (input == u"user dirs fifo"_s) {
        QDir().mkpath(QFileInfo(userDirs).path());
        MakeFifo(userDirs);
    }
    const auto removePipe = qScopeGuard([&] {
        if (input == u"user dirs fifo"_s) QFile::remove(userDirs);
    });
    if (input == u"links"_s) {
        QDir(f.root.path()).mkpath(u"elsewhere"_s);
        ReplaceByLink(f.ini(), f.path(u"elsewhere/kest.ini"_s));
        ReplaceByLink(f.settings(), f.path(u"elsewhere/blink.ini"_s));
        ReplaceByLink(f.managerSettings(), f.path(u"elsewhere/PMKEST_121226.ini"_s));
    }
    if (input == u"temporaries"_s) {
        // Left by a killed run, the program's own pattern: removed.
        WriteAll(f.path(u"ini/kest.res.pmkest-Ab12Cd"_s), "dead");
        WriteAll(f.path(u"ini/kest.ini.pmkest-zZ9yY8"_s), "dead");
        // Being written by a live writer (it holds the lock), or not the program's: kept.
        WriteAll(f.path(u"ini/kest.res.pmkest-Live01"_s), "live");
        liveLock = ::open(QFile::encodeName(f.path(u"ini/kest.res.pmkest-Live01"_s)), O_RDONLY);
        QCOMPARE(::flock(liveLock, LOCK_EX), 0);
        WriteAll(f.path(u"ini/kest.ini.backup"_s), "mine");
        WriteAll(f.path(u"ini/kest.res.pmkest-longer1"_s), "mine");
    }
    // Only these are read: reading a pipe would block the test.
    const std::map<QString, QString> paths = {
        {u"ini"_s, f.ini()}, {u"settings"_s, f.settings()}, {u"manager"_s, f.managerSettings()}};
    std::map<QString, QByteArray> old;
    for (const QString& key : untouched) old[key] = ReadAll(paths.at(key));

    if (action == u"command line"_s) {
        f.start({f.mpm()});
    } else {
        f.start();
    }
    if (action == u"start"_s) f.clickStart();
    if (action == u"edit"_s) f.trigger("EditCurrentProject1");
    bool closed = true;
    if (action == u"close"_s) closed = f.window->close();

    QStringList shown = f.dialogs.messageTexts() + f.dialogs.questions;
    if (input == u"settings /dev/zero"_s) QVERIFY(shown.removeOne(f.dialogs.questions.value(0)));
    if (named.isEmpty()) {
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(u'\n')));
    } else {
        const QString file = named.startsWith(u'/') ? named : f.path(named);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(file + u": "_s) && shown[0].contains(reason),
                 qPrintable(shown[0]));
    }
    for (const QString& key : untouched)
        QVERIFY2(ReadAll(paths.at(key)) == old.at(key), qPrintable(key));
    // No temporary is left behind by a write that failed.
    for (const char* d : {"program", "ini", "proj"})
        for (const QString& name : f.files(QString::fromLatin1(d)))
            QVERIFY2(!name.contains(u".pmkest-"_s) || input == u"temporaries"_s, qPrintable(name));

    if (input == u"full ini folder"_s || input.startsWith(u"kest.ini fifo"_s) ||
        input.startsWith(u"settings /dev/zero"_s) || input == u"mpm fifo"_s) {
        QVERIFY(!f.kestStarted());
        QVERIFY(!QFile::exists(f.res()));
        QCOMPARE(f.state.launchCounter, 7);
    }
    if (input == u"full project folder"_s) {
        QVERIFY2(shown[0].contains(u"KEST's result is still in\n"_s + f.ini()),
                 qPrintable(shown[0]));
        QVERIFY(ReadAll(f.ini()).contains("Big=bbbb"));
    }
    if (input == u"full program folder"_s) QVERIFY(!closed);
    if (input == u"links"_s) {
        QVERIFY(f.window->close());
        for (const QString& link : {f.ini(), f.settings(), f.managerSettings()})
            QVERIFY2(QFileInfo(link).isSymLink(), qPrintable(link));
        QCOMPARE(ReadAll(f.path(u"elsewhere/kest.ini"_s)),
                 ProjectIni().replace("blink.pas", "new.pas"));
        QCOMPARE(ReadAll(f.path(u"elsewhere/blink.ini"_s)),
                 ReadAll(f.path(u"elsewhere/kest.ini"_s)));
        QCOMPARE(ReadAll(f.res()), OldIni());
        QVERIFY(ReadAll(f.path(u"elsewhere/PMKEST_121226.ini"_s)).startsWith("COUNTER=8\r\n"));
    }
    if (input == u"temporaries"_s) {
        ::close(liveLock);
        QCOMPARE(f.files(u"ini"_s),
                 QStringList({u"kest.ini"_s, u"kest.ini.backup"_s, u"kest.res"_s,
                              u"kest.res.pmkest-Live01"_s, u"kest.res.pmkest-longer1"_s}));
        QVERIFY(f.kestStarted());
    }
#endif
}

PMKEST_TEST_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
