// What a start under Wine finds before anything is swapped, on real files in a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/text/cp1251.h"
#include "core/wine/wine_setup.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;
using test::WriteAll;

namespace {

// The headers of a Windows program for the given machine; lfanew 0x80 as MinGW writes it.
QByteArray PeFile(quint16 machine) {
    QByteArray bytes(0x80, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = static_cast<char>(0x80);
    bytes += QByteArray("PE\0\0", 4);
    bytes += static_cast<char>(machine & 0xFF);
    bytes += static_cast<char>(machine >> 8);
    bytes += QByteArray(64, '\0');
    return bytes;
}

void MakeExecutable(const QString& path, const QByteArray& text = "#!/bin/sh\n") {
    WriteAll(path, text);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

QProcessEnvironment Env(const QStringList& pairs) {
    QProcessEnvironment env;
    for (const QString& pair : pairs) env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return env;
}

LocaleProbe Installed(const QStringList& locales) {
    return [locales](const QString& locale) { return locales.contains(locale); };
}

}  // namespace

class TestWineSetup : public QObject {
    Q_OBJECT
private slots:
    void prefix_data();
    void prefix();
    void drives();
    void peMachine_data();
    void peMachine();
    void thirtyTwoBitSupport();
    void locale_data();
    void locale();
    void prepare_data();
    void prepare();
};

void TestWineSetup::prefix_data() {
    QTest::addColumn<QString>("kestFolder");  // below the temporary folder
    QTest::addColumn<QString>("envPrefix");
    QTest::addColumn<QString>("expected");  // below the temporary folder; "~" for the default
    QTest::newRow("KEST inside a prefix") << "pfx/drive_c/Program Files/KEST/"
                                          << "env"
                                          << "pfx";
    QTest::newRow("drive_c that is no prefix") << "loose/drive_c/KEST/"
                                               << "env"
                                               << "env";
    QTest::newRow("environment") << "opt/kest/"
                                 << "env"
                                 << "env";
    QTest::newRow("default") << "opt/kest/"
                             << ""
                             << "~";
}

void TestWineSetup::prefix() {
    QFETCH(QString, kestFolder);
    QFETCH(QString, envPrefix);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"pfx/dosdevices"_s);
    QDir(dir.path()).mkpath(kestFolder);
    const QString env = envPrefix.isEmpty() ? QString() : dir.filePath(envPrefix);
    const QString found =
        WinePrefixFor(dir.filePath(kestFolder), Env({u"WINEPREFIX="_s + env, u"HOME=/h"_s}));
    QCOMPARE(found,
             expected == u"~"_s ? QDir::home().filePath(u".wine"_s) : dir.filePath(expected));
}

void TestWineSetup::drives() {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(u"p"_s);
    QDir(dir.path()).mkpath(u"p/drive_c"_s);
    QDir(dir.path()).mkpath(u"p/dosdevices"_s);
    QDir(dir.path()).mkpath(u"data"_s);
    QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s);
    QFile::link(u"/"_s, prefix + u"/dosdevices/z:"_s);
    QFile::link(dir.filePath(u"data"_s), prefix + u"/dosdevices/d:"_s);
    QFile::link(u"/dev/null"_s, prefix + u"/dosdevices/d::"_s);    // a raw device, not a drive
    QFile::link(u"/nowhere"_s, prefix + u"/dosdevices/e:"_s);      // a drive that is gone
    QFile::link(u"/dev/ttyS0"_s, prefix + u"/dosdevices/com1"_s);  // a port
    WineDrives drives = ReadWineDrives(prefix);
    std::sort(drives.begin(), drives.end(),
              [](const WineDrive& a, const WineDrive& b) { return a.letter < b.letter; });
    QCOMPARE(drives.size(), size_t(3));
    QCOMPARE(drives[0].letter, 'c');
    QCOMPARE(QString::fromStdString(drives[0].root),
             QDir(prefix + u"/drive_c"_s).canonicalPath() + u"/"_s);
    QCOMPARE(drives[1].letter, 'd');
    QCOMPARE(QString::fromStdString(drives[2].root), QStringLiteral("/"));

    // A prefix Wine has not made yet gets Wine's own drives.
    const WineDrives fresh = ReadWineDrives(dir.filePath(u"new"_s));
    QCOMPARE(fresh.size(), size_t(2));
    QCOMPARE(QString::fromStdString(fresh[0].root), dir.filePath(u"new/drive_c/"_s));
    QCOMPARE(QString::fromStdString(fresh[1].root), QStringLiteral("/"));
    QVERIFY(!PrefixReady(dir.filePath(u"new"_s)));
}

void TestWineSetup::peMachine_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("machine");
    QTest::newRow("i386") << PeFile(0x014c) << int(PeMachine::I386);
    QTest::newRow("x86-64") << PeFile(0x8664) << int(PeMachine::Amd64);
    QTest::newRow("ARM64") << PeFile(0xAA64) << int(PeMachine::Other);
    QTest::newRow("empty placeholder") << QByteArray() << int(PeMachine::NotPe);
    QTest::newRow("no PE signature") << PeFile(0x014c).replace("PE", "NE") << int(PeMachine::NotPe);
    QTest::newRow("header cut off") << PeFile(0x014c).left(0x82) << int(PeMachine::NotPe);
    QTest::newRow("lfanew past the end")
        << QByteArray("MZ").append(QByteArray(62, '\x7f')) << int(PeMachine::NotPe);
}

void TestWineSetup::peMachine() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, machine);
    QTemporaryDir dir;
    WriteAll(dir.filePath(u"kest.exe"_s), bytes);
    QCOMPARE(int(ReadPeMachine(dir.filePath(u"kest.exe"_s))), machine);
}

void TestWineSetup::thirtyTwoBitSupport() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"usr/bin"_s);
    MakeExecutable(dir.filePath(u"usr/bin/wine"_s));
    QVERIFY(!WineRuns32Bit(dir.filePath(u"usr/bin/wine"_s)));
    QDir(dir.path()).mkpath(u"usr/lib/i386-linux-gnu/wine/i386-windows"_s);
    WriteAll(dir.filePath(u"usr/lib/i386-linux-gnu/wine/i386-windows/ntdll.dll"_s), "x");
    QVERIFY(WineRuns32Bit(dir.filePath(u"usr/bin/wine"_s)));
    // Found through a link to the program too.
    QFile::link(dir.filePath(u"usr/bin/wine"_s), dir.filePath(u"wine-link"_s));
    QVERIFY(WineRuns32Bit(dir.filePath(u"wine-link"_s)));
}

void TestWineSetup::locale_data() {
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the user's own Russian locale")
        << QStringList{u"LANG=ru_RU.UTF-8"_s} << QStringList{u"ru_RU.UTF-8"_s} << "ru_RU.UTF-8";
    QTest::newRow("English user, Russian installed")
        << QStringList{u"LANG=en_US.UTF-8"_s} << QStringList{u"en_US.UTF-8"_s, u"ru_RU.utf8"_s}
        << "ru_RU.utf8";
    QTest::newRow("LC_ALL decides over LANG")
        << QStringList{u"LC_ALL=uk_UA.UTF-8"_s, u"LANG=ru_RU.UTF-8"_s}
        << QStringList{u"uk_UA.UTF-8"_s, u"ru_RU.UTF-8"_s} << "uk_UA.UTF-8";
    QTest::newRow("not UTF-8: file names would be misread")
        << QStringList{u"LANG=ru_RU.KOI8-R"_s} << QStringList{u"ru_RU.KOI8-R"_s, u"be_BY.UTF-8"_s}
        << "be_BY.UTF-8";
    QTest::newRow("none installed")
        << QStringList{u"LANG=C.UTF-8"_s} << QStringList{u"C.UTF-8"_s} << "";
}

void TestWineSetup::locale() {
    QFETCH(QStringList, env);
    QFETCH(QStringList, installed);
    QFETCH(QString, expected);
    QCOMPARE(Cp1251Locale(Env(env), Installed(installed)), expected);
}

void TestWineSetup::prepare_data() {
    QTest::addColumn<QString>("wine");  // "" : not on PATH; "fake": a program without 32-bit
    QTest::addColumn<QByteArray>("exe");
    QTest::addColumn<bool>("russianLocale");
    QTest::addColumn<bool>("cyrillicPath");
    QTest::addColumn<int>("problem");
    QTest::newRow("ready") << "fake" << PeFile(0x8664) << true << true << int(WineStart::Ready);
    QTest::newRow("ASCII paths need no locale")
        << "fake" << PeFile(0x8664) << false << false << int(WineStart::Ready);
    QTest::newRow("Wine missing") << "" << PeFile(0x8664) << true << false
                                  << int(WineStart::WineMissing);
    QTest::newRow("32-bit kest.exe, 64-bit Wine")
        << "fake" << PeFile(0x014c) << true << false << int(WineStart::Needs32Bit);
    QTest::newRow("Cyrillic path, no locale")
        << "fake" << PeFile(0x8664) << false << true << int(WineStart::NeedsLocale);
}

void TestWineSetup::prepare() {
    QFETCH(QString, wine);
    QFETCH(QByteArray, exe);
    QFETCH(bool, russianLocale);
    QFETCH(bool, cyrillicPath);
    QFETCH(int, problem);
    QTemporaryDir dir;
    const std::string kest = cp1251::FromQString(dir.filePath(u"kest/"_s)).value();
    QDir(dir.path()).mkpath(u"kest"_s);
    WriteAll(dir.filePath(u"kest/kest.exe"_s), exe);
    MakeExecutable(dir.filePath(u"wine"_s));
    const QString winePath =
        wine.isEmpty() ? QStringLiteral("wine-nowhere") : dir.filePath(u"wine"_s);
    const std::string project = cyrillicPath ? kest + "\xCF\xF0\xEE\xE5\xEA\xF2/" : kest + "p/";
    const QProcessEnvironment env =
        Env({u"WINE="_s + winePath, u"PATH="_s + dir.path(),
             u"WINEPREFIX="_s + dir.filePath(u"pfx"_s), u"LANG=C.UTF-8"_s});
    const WineStart start =
        PrepareWineStart(kest, {kest, project}, env,
                         Installed(russianLocale ? QStringList{u"ru_RU.UTF-8"_s} : QStringList{}));
    QCOMPARE(int(start.problem), problem);
    if (problem == WineStart::WineMissing) QCOMPARE(start.subject, QStringLiteral("wine-nowhere"));
    if (problem == WineStart::Needs32Bit) QCOMPARE(start.subject, dir.filePath(u"kest/kest.exe"_s));
    if (problem == WineStart::NeedsLocale) QCOMPARE(start.subject, cp1251::ToQString(project));
    if (problem != WineStart::Ready) return;
    QCOMPARE(start.wine, dir.filePath(u"wine"_s));
    QCOMPARE(start.environment.value(u"WINEPREFIX"_s), dir.filePath(u"pfx"_s));
    QVERIFY(!start.prefixReady);
    QCOMPARE(start.environment.value(u"LC_ALL"_s), russianLocale ? u"ru_RU.UTF-8"_s : QString());
    QCOMPARE(start.environment.value(u"PATH"_s), dir.path());  // the rest is the manager's own
}

PMKEST_TEST_GUILESS_MAIN(TestWineSetup)
#include "tst_wine_setup.moc"
