#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "core/files/text_file.h"
#include "core/settings/manager_settings.h"
#include "core/text/cp1251.h"
#include "platform/path_rules.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace pmkest;

namespace {

struct Parsed {
    SettingsValues values;
    std::vector<QString> errors;
};

Parsed Parse(const std::string& data, const std::set<std::string>& existing = {}) {
    Parsed parsed;
    ParseManagerSettings(
        SplitLines(data), parsed.values,
        [&](const std::string& p) { return existing.count(p) > 0; }, parsed.errors);
    return parsed;
}

// A path as the system writes it: "/w/a" here, "D:\w\a" on Windows.
QByteArray Sys(QByteArray path) {
    if (kFolderSeparator == '/') return path;
    return "D:" + path.replace('/', '\\');
}

}  // namespace

class TestManagerSettings : public QObject {
    Q_OBJECT
private slots:
    void keysAndValues();
    void recentEntries();
    void badCounterSkipsOnlyItsLine();
    void lineEnds();
    void garbageAndSize();
    void composeIsExactly26Lines();
    void roundTrip();
    void settingsPathFor_data();
    void settingsPathFor();
    void addRecent();
    void location_data();
    void location();
};

void TestManagerSettings::keysAndValues() {
    const Parsed p = Parse(
        "COUNTER=5\r\nPATHKEST=  /ide/  \r\nPATHINIKEST=/ini/\r\nPROJECTCUR= /p/a.mpm \r\n"
        "FLAGHIDE=1\r\nFLAGRUS=true\r\n");
    QCOMPARE(p.values.counter, 5);
    QCOMPARE(p.values.kestFolder, std::string("/ide/"));
    QCOMPARE(p.values.kestIniFolder, std::string("/ini/"));
    QCOMPARE(p.values.projectCur, std::string("/p/a.mpm"));
    QVERIFY(!p.values.hide);
    QVERIFY(p.values.language == Language::Russian);
    QVERIFY(p.errors.empty());

    QVERIFY(Parse("FLAGRUS= TRUE\r\n").values.language == Language::English);
    QVERIFY(Parse("FLAGHIDE=TRUE\r\n").values.hide);
    // The key may stand anywhere in the line; the value follows the line's first "=".
    QCOMPARE(Parse("x PATHKEST=/a/\r\n").values.kestFolder, std::string("/a/"));
    QCOMPARE(Parse("A=1 PATHKEST=/a/\r\n").values.kestFolder, std::string("1 PATHKEST=/a/"));
    // A later line wins; lines without "=" or a known key change nothing.
    QCOMPARE(Parse("PATHKEST=/a/\nnothing here\nPATHKEST=/b/\n").values.kestFolder,
             std::string("/b/"));
    QVERIFY(Parse("").errors.empty());
}

void TestManagerSettings::recentEntries() {
    const std::set<std::string> existing{"/p/x.mpm", "/p/a.mpm", "/p/c.mpm"};
    Parsed p = Parse("PROJECT12=/p/x.mpm\r\n", existing);
    QCOMPARE(p.values.recent[11], std::string("/p/x.mpm"));
    QVERIFY(p.values.recent[0].empty());
    QVERIFY(p.values.recent[1].empty());

    // Entries are not trimmed, so blanks in front make a name that does not exist.
    p = Parse("PROJECT2=  /p/a.mpm\r\n", existing);
    QVERIFY(p.values.recent[1].empty());

    // A missing file empties its entry; the others keep their numbers.
    p = Parse("PROJECT1=/p/a.mpm\r\nPROJECT3=/p/gone.mpm\r\nPROJECT4=/p/c.mpm\r\n", existing);
    QCOMPARE(p.values.recent[0], std::string("/p/a.mpm"));
    QVERIFY(p.values.recent[2].empty());
    QCOMPARE(p.values.recent[3], std::string("/p/c.mpm"));

    // Cyrillic CP1251 paths are carried as bytes.
    const std::string cyr = cp1251::FromUtf8("/проекты/мигалка.mpm");
    p = Parse("PROJECT5=" + cyr + "\r\n", {cyr});
    QCOMPARE(p.values.recent[4], cyr);
}

void TestManagerSettings::badCounterSkipsOnlyItsLine() {
    const Parsed p = Parse("COUNTER=12 \r\nPATHKEST=/ide/\r\nFLAGRUS=TRUE\r\nPROJECT1=/p/a.mpm\r\n",
                           {"/p/a.mpm"});
    QCOMPARE(p.errors.size(), size_t(1));
    QCOMPARE(p.errors[0], QStringLiteral("'12 ' is not a valid integer value"));
    QCOMPARE(p.values.counter, 0);
    QCOMPARE(p.values.kestFolder, std::string("/ide/"));
    QVERIFY(p.values.language == Language::Russian);
    QCOMPARE(p.values.recent[0], std::string("/p/a.mpm"));

    // The value is shown as the user wrote it, Cyrillic included.
    const Parsed cyrillic = Parse(cp1251::FromUtf8("COUNTER=пять\r\n"));
    QCOMPARE(cyrillic.errors.size(), size_t(1));
    QCOMPARE(cyrillic.errors[0], QStringLiteral("'пять' is not a valid integer value"));

    const Parsed letters = Parse("COUNTER=abc\nCOUNTER=\nCOUNTER=7\n");
    QCOMPARE(letters.errors.size(), size_t(2));
    QCOMPARE(letters.values.counter, 7);

    // A megabyte of it is quoted cut short, so the box can show at once.
    const Parsed huge = Parse("COUNTER=" + std::string(1 << 20, '9') + "x\r\n");
    QCOMPARE(huge.errors.size(), size_t(1));
    QCOMPARE(huge.errors[0],
             u'\'' + QString(64, u'9') + QStringLiteral("…' is not a valid integer value"));
}

void TestManagerSettings::lineEnds() {
    const Parsed lf = Parse("COUNTER=3\nPATHKEST=/a/\nPATHINIKEST=/b/");
    QCOMPARE(lf.values.counter, 3);
    QCOMPARE(lf.values.kestFolder, std::string("/a/"));
    QCOMPARE(lf.values.kestIniFolder, std::string("/b/"));
    QVERIFY(lf.errors.empty());

    // CR-only, as old Mac editors save: each line is read on its own.
    const Parsed cr = Parse("COUNTER=3\rPATHKEST=/a/\rPATHINIKEST=/b/\rFLAGRUS=TRUE\r");
    QCOMPARE(cr.values.counter, 3);
    QCOMPARE(cr.values.kestFolder, std::string("/a/"));
    QCOMPARE(cr.values.kestIniFolder, std::string("/b/"));
    QVERIFY(cr.values.language == Language::Russian);
    QVERIFY(cr.errors.empty());
}

void TestManagerSettings::garbageAndSize() {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
    Parsed p = Parse(garbage + "\nPATHKEST=/ok/\n");
    QCOMPARE(p.values.kestFolder, std::string("/ok/"));

    std::string big;
    for (int i = 0; i < 10000; ++i) big += "COUNTER=" + std::to_string(i) + "\r\n";
    p = Parse(big);
    QCOMPARE(p.values.counter, 9999);
    QVERIFY(p.errors.empty());
}

void TestManagerSettings::composeIsExactly26Lines() {
    SettingsValues v;
    v.counter = -3;
    v.kestFolder = "/ide/";
    v.recent[1] = "/p/b.mpm";
    const std::string text = ComposeManagerSettings(v);
    const std::vector<std::string> lines = SplitLines(text);
    QCOMPARE(lines.size(), size_t(26));
    QCOMPARE(lines[0], std::string("COUNTER=-3"));
    QCOMPARE(lines[1], std::string("PATHKEST=/ide/"));
    QCOMPARE(lines[2], std::string("PATHINIKEST="));
    QCOMPARE(lines[3], std::string("PROJECTCUR="));
    QCOMPARE(lines[4], std::string("FLAGHIDE=FALSE"));
    QCOMPARE(lines[5], std::string("FLAGRUS=FALSE"));
    QCOMPARE(lines[6], std::string("PROJECT1="));
    QCOMPARE(lines[7], std::string("PROJECT2=/p/b.mpm"));
    QCOMPARE(lines[25], std::string("PROJECT20="));
    QVERIFY(text.size() > 2 && text.substr(text.size() - 2) == "\r\n");
    size_t crlf = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) crlf += text[i] == '\r' && text[i + 1] == '\n';
    QCOMPARE(crlf, size_t(26));
}

void TestManagerSettings::roundTrip() {
    SettingsValues v;
    v.counter = 2147483647;
    v.kestFolder = "  /ide/ ";
    v.kestIniFolder = "/ini/";
    v.projectCur = cp1251::FromUtf8("/проекты/a.mpm");
    v.hide = true;
    v.language = Language::Russian;
    v.recent[0] = "/p/a.mpm";
    v.recent[6] = "/p/gone.mpm";
    v.recent[19] = "/p/t.mpm";
    const Parsed p = Parse(ComposeManagerSettings(v), {"/p/a.mpm", "/p/t.mpm"});
    QVERIFY(p.errors.empty());
    QCOMPARE(p.values.counter, v.counter);
    QCOMPARE(p.values.kestFolder, std::string("/ide/"));  // trimmed on reading
    QCOMPARE(p.values.kestIniFolder, v.kestIniFolder);
    QCOMPARE(p.values.projectCur, v.projectCur);
    QVERIFY(p.values.hide);
    QVERIFY(p.values.language == Language::Russian);
    QCOMPARE(p.values.recent[0], v.recent[0]);
    QVERIFY(p.values.recent[6].empty());  // its file is gone
    QCOMPARE(p.values.recent[19], v.recent[19]);
}

void TestManagerSettings::settingsPathFor_data() {
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("mpm") << Sys("/w/blink.mpm") << Sys("/w/blink.ini");
    QTest::newRow("no extension") << Sys("/w/blink") << Sys("/w/blink.ini");
    QTest::newRow("dot in folder") << Sys("/w.d/blink") << Sys("/w.d/blink.ini");
    QTest::newRow("two dots") << Sys("/w/a.b.mpm") << Sys("/w/a.b.ini");
}

void TestManagerSettings::settingsPathFor() {
    QFETCH(QByteArray, project);
    QFETCH(QByteArray, settings);
    QCOMPARE(QByteArray::fromStdString(SettingsPathFor(project.toStdString())), settings);
}

void TestManagerSettings::addRecent() {
    RecentProjects list;
    for (int i = 0; i < 20; ++i) list[static_cast<size_t>(i)] = "/p/" + std::to_string(i + 1);
    list[3].clear();
    const RecentProjects before = list;
    // Already present: unchanged, not moved to the top.
    QVERIFY(!AddRecent(list, "/p/7"));
    QCOMPARE(list, before);
    // A 21st distinct project drops entry 20 although entry 4 is empty.
    QVERIFY(AddRecent(list, "/p/new"));
    QCOMPARE(list[0], std::string("/p/new"));
    QCOMPARE(list[1], std::string("/p/1"));
    QVERIFY(list[4].empty());
    QCOMPARE(list[19], std::string("/p/19"));
    // Letter case matters.
    QVERIFY(AddRecent(list, "/P/NEW"));
    QCOMPARE(list[0], std::string("/P/NEW"));
    // An empty path is never added.
    const RecentProjects now = list;
    QVERIFY(!AddRecent(list, ""));
    QCOMPARE(list, now);
}

void TestManagerSettings::location_data() {
    QTest::addColumn<bool>("portable");
    QTest::newRow("program folder takes files: beside the executable") << true;
    // Installed where a user may not write (/usr/bin, Program Files).
    QTest::newRow("program folder refuses files: the user's own folder") << false;
}

void TestManagerSettings::location() {
    QFETCH(bool, portable);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin"));
    if (portable)
        QVERIFY(QDir().mkdir(program));
    else
        test::WriteAll(program, "a file: no folder takes files here");
    // The real per-user folder, not the one of the test mode; nothing is written there.
    QCoreApplication::setApplicationName(QStringLiteral("pmkest"));
    QStandardPaths::setTestModeEnabled(false);
    const SettingsLocation where = LocateManagerSettings(program, QString());
    QStandardPaths::setTestModeEnabled(true);
    const QString beside = test::NativePath(program + QStringLiteral("/PMKEST_121226.ini"));
    QCOMPARE(where.readPath, beside);
#ifdef Q_OS_WIN
    const QString own =
        qEnvironmentVariable("LOCALAPPDATA") + QStringLiteral("\\pmkest\\PMKEST_121226.ini");
#else
    const QString own =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/pmkest/PMKEST_121226.ini");
#endif
    QCOMPARE(where.writePath, portable ? beside : own);
}

PMKEST_TEST_APPLESS_MAIN(TestManagerSettings)
#include "tst_manager_settings.moc"
