// What a start under Wine finds before anything is swapped, on real files in a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "lib/cp1251.h"
#include "platform/wine_setup.h"
#include "support/test_files.h"
#include "support/test_main.h"

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
    for (const QString& pair : pairs) env.insert(pair.section('=', 0, 0), pair.section('=', 1));
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
    QDir(dir.path()).mkpath("pfx/dosdevices");
    QDir(dir.path()).mkpath(kestFolder);
    const QString env = envPrefix.isEmpty() ? QString() : dir.filePath(envPrefix);
    const QString found =
        WinePrefixFor(dir.filePath(kestFolder), Env({"WINEPREFIX=" + env, "HOME=/h"}));
    QCOMPARE(found, expected == "~" ? QDir::home().filePath(".wine") : dir.filePath(expected));
}

void TestWineSetup::drives() {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("p");
    QDir(dir.path()).mkpath("p/drive_c");
    QDir(dir.path()).mkpath("p/dosdevices");
    QDir(dir.path()).mkpath("data");
    QFile::link("../drive_c", prefix + "/dosdevices/c:");
    QFile::link("/", prefix + "/dosdevices/z:");
    QFile::link(dir.filePath("data"), prefix + "/dosdevices/d:");
    QFile::link("/dev/null", prefix + "/dosdevices/d::");    // a raw device, not a drive
    QFile::link("/nowhere", prefix + "/dosdevices/e:");      // a drive that is gone
    QFile::link("/dev/ttyS0", prefix + "/dosdevices/com1");  // a port
    WineDrives drives = ReadWineDrives(prefix);
    std::sort(drives.begin(), drives.end(),
              [](const WineDrive& a, const WineDrive& b) { return a.letter < b.letter; });
    QCOMPARE(drives.size(), size_t(3));
    QCOMPARE(drives[0].letter, 'c');
    QCOMPARE(QString::fromStdString(drives[0].root),
             QDir(prefix + "/drive_c").canonicalPath() + "/");
    QCOMPARE(drives[1].letter, 'd');
    QCOMPARE(QString::fromStdString(drives[2].root), QStringLiteral("/"));

    // A prefix Wine has not made yet gets Wine's own drives.
    const WineDrives fresh = ReadWineDrives(dir.filePath("new"));
    QCOMPARE(fresh.size(), size_t(2));
    QCOMPARE(QString::fromStdString(fresh[0].root), dir.filePath("new/drive_c/"));
    QCOMPARE(QString::fromStdString(fresh[1].root), QStringLiteral("/"));
    QVERIFY(!PrefixReady(dir.filePath("new")));
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
    WriteAll(dir.filePath("kest.exe"), bytes);
    QCOMPARE(int(ReadPeMachine(dir.filePath("kest.exe"))), machine);
}

void TestWineSetup::thirtyTwoBitSupport() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("usr/bin");
    MakeExecutable(dir.filePath("usr/bin/wine"));
    QVERIFY(!WineRuns32Bit(dir.filePath("usr/bin/wine")));
    QDir(dir.path()).mkpath("usr/lib/i386-linux-gnu/wine/i386-windows");
    WriteAll(dir.filePath("usr/lib/i386-linux-gnu/wine/i386-windows/ntdll.dll"), "x");
    QVERIFY(WineRuns32Bit(dir.filePath("usr/bin/wine")));
    // Found through a link to the program too.
    QFile::link(dir.filePath("usr/bin/wine"), dir.filePath("wine-link"));
    QVERIFY(WineRuns32Bit(dir.filePath("wine-link")));
}

void TestWineSetup::locale_data() {
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the user's own Russian locale")
        << QStringList{"LANG=ru_RU.UTF-8"} << QStringList{"ru_RU.UTF-8"} << "ru_RU.UTF-8";
    QTest::newRow("English user, Russian installed")
        << QStringList{"LANG=en_US.UTF-8"} << QStringList{"en_US.UTF-8", "ru_RU.utf8"}
        << "ru_RU.utf8";
    QTest::newRow("LC_ALL decides over LANG")
        << QStringList{"LC_ALL=uk_UA.UTF-8", "LANG=ru_RU.UTF-8"}
        << QStringList{"uk_UA.UTF-8", "ru_RU.UTF-8"} << "uk_UA.UTF-8";
    QTest::newRow("not UTF-8: file names would be misread")
        << QStringList{"LANG=ru_RU.KOI8-R"} << QStringList{"ru_RU.KOI8-R", "be_BY.UTF-8"}
        << "be_BY.UTF-8";
    QTest::newRow("none installed") << QStringList{"LANG=C.UTF-8"} << QStringList{"C.UTF-8"} << "";
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
    const std::string kest = cp1251::FromQString(dir.filePath("kest/")).value();
    QDir(dir.path()).mkpath("kest");
    WriteAll(dir.filePath("kest/kest.exe"), exe);
    MakeExecutable(dir.filePath("wine"));
    const QString winePath = wine.isEmpty() ? QStringLiteral("wine-nowhere") : dir.filePath("wine");
    const std::string project = cyrillicPath ? kest + "\xCF\xF0\xEE\xE5\xEA\xF2/" : kest + "p/";
    const QProcessEnvironment env = Env({"WINE=" + winePath, "PATH=" + dir.path(),
                                         "WINEPREFIX=" + dir.filePath("pfx"), "LANG=C.UTF-8"});
    const WineStart start =
        PrepareWineStart(kest, {kest, project}, env,
                         Installed(russianLocale ? QStringList{"ru_RU.UTF-8"} : QStringList{}));
    QCOMPARE(int(start.problem), problem);
    if (problem == WineStart::WineMissing) QCOMPARE(start.subject, QStringLiteral("wine-nowhere"));
    if (problem == WineStart::Needs32Bit) QCOMPARE(start.subject, dir.filePath("kest/kest.exe"));
    if (problem == WineStart::NeedsLocale) QCOMPARE(start.subject, cp1251::ToQString(project));
    if (problem != WineStart::Ready) return;
    QCOMPARE(start.wine, dir.filePath("wine"));
    QCOMPARE(start.environment.value("WINEPREFIX"), dir.filePath("pfx"));
    QVERIFY(!start.prefixReady);
    QCOMPARE(start.environment.value("LC_ALL"), russianLocale ? "ru_RU.UTF-8" : QString());
    QCOMPARE(start.environment.value("PATH"), dir.path());  // the rest is the manager's own
}

PMKEST_TEST_GUILESS_MAIN(TestWineSetup)
#include "tst_wine_setup.moc"
