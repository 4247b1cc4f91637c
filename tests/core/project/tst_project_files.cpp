#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/project/project_files.h"
#include "core/text/cp1251.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::NativePath;
using test::P;
using test::ReadAll;
using test::WriteAll;

TProject Values() {
    TProject p;
    p.ProjectFile = "/w/blink/blink.mpm";
    p.SourcePath = "/w/blink/";
    p.PascalOutPath = "E:/Out/";
    p.PascalIncludes = "/inc";
    p.PascalUnits = "/units";
    p.PascalOptions = "-A -H";
    return p;
}

QByteArray Field(const TProject& p, const QByteArray& name) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"SourcePath", &p.SourcePath},
        {"MainFile", &p.MainFile},
        {"Active", &p.Active},
        {"OutPath", &p.OutPath},
        {"ListPath", &p.ListPath},
        {"PascalOutPath", &p.PascalOutPath},
        {"PascalIncludes", &p.PascalIncludes},
        {"PascalUnits", &p.PascalUnits},
        {"PascalOptions", &p.PascalOptions}};
    for (const auto& [key, value] : fields)
        if (name == key) return QByteArray::fromStdString(*value);
    return "<no field>";
}

// A kest.ini as KEST writes it, with a byte of every kind the program must carry through.
QByteArray Template() {
    return QByteArray(
        "[Editor]\r\n"
        "Font=Courier New\r\n"
        "SourcePath=/old/src/\r\n"
        "MainFile=/old/src/main.pas\r\n"
        "OpenFiles=/old/src/main.pas;/old/src/io.pas\r\n"
        "Active=1\r\n"
        "OutPath=/old/out/\r\n"
        "ListPath=/old/lst/\r\n"
        "PascalOutPath=/old/pout/\r\n"
        "PascalIncludes=/old/inc\r\n"
        "PascalUnits=/old/units\r\n"
        "PascalOptions=-A -H -MGD\r\n"
        "Author=\xC8\xE2\xE0\xED \x01\x7F\xFF\r\n"
        "\r\n"
        "Tail=lf only\n"
        "NoEnd=1");
}

}  // namespace

class TestProjectFiles : public QObject {
    Q_OBJECT
private slots:
    void writingRules_data();
    void writingRules();
    void loadingRules_data();
    void loadingRules();
    void loadProject();
    void loadProjectRefusals_data();
    void loadProjectRefusals();
    void initProjectSettings();
    void saveProjectSettings();
    void writeFailureIsReported();
};

void TestProjectFiles::writingRules_data() {
    QTest::addColumn<bool>("creating");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");
    auto create = [](const char* name, QByteArray line, QByteArray expected) {
        QTest::newRow(name) << true << line << expected;
    };
    auto save = [](const char* name, QByteArray line, QByteArray expected) {
        QTest::newRow(name) << false << line << expected;
    };
    create("create source path", "SourcePath=C:/x/", "SourcePath=/w/blink/");
    create("create empties main file", "MainFile=main.pas", "MainFile=");
    create("create empties open files", "OpenFiles=a;b", "OpenFiles=");
    create("create empties active", "Active=3", "Active=");
    create("create: key ending in Active=", "LastActive=1", "Active=");
    create("create: text before key dropped", "  ; MainFile=x", "MainFile=");
    create("create empties pascal out path", "PascalOutPath=/p", "PascalOutPath=");
    create("create empties out path", "OutPath=/o", "OutPath=");
    create("create empties includes", "PascalIncludes=/i", "PascalIncludes=");
    create("create empties units", "PascalUnits=/u", "PascalUnits=");
    create("create keeps options", "PascalOptions=-A -Q", "PascalOptions=-A -Q");
    create("create keeps list path", "ListPath=/l", "ListPath=/l");
    create("create: lower-case key kept", "mainfile=x", "mainfile=x");
    create("create: last match wins", "MainFile=a Active=b", "Active=");
    save("save source path overrides KEST", "SourcePath=/kest/wrote/", "SourcePath=/w/blink/");
    save("save out path", "OutPath=C:/one/", "OutPath=E:/Out/");
    save("save pascal out path", "PascalOutPath=C:/two/", "PascalOutPath=E:/Out/");
    save("save: OutPath= only at line start", " OutPath=C:/one/", " OutPath=C:/one/");
    save("save includes", "PascalIncludes=", "PascalIncludes=/inc");
    save("save units without blanks", "PascalUnits=   C:/Units   ", "PascalUnits=/units");
    save("save options", "PascalOptions=-B", "PascalOptions=-A -H");
    save("save keeps main file", "MainFile=main.pas", "MainFile=main.pas");
    save("save keeps active", "Active=1", "Active=1");
    save("save keeps list path", "ListPath=/l", "ListPath=/l");
    save("save: lower-case key kept", "pascaloptions=-B", "pascaloptions=-B");
    save("save: last match wins", "PascalUnits=1 PascalOptions=2", "PascalOptions=-A -H");
    save("save: unknown line byte for byte", "N=\xC8\xE2\xE0\xED\t\x01\xFF",
         "N=\xC8\xE2\xE0\xED\t\x01\xFF");
    save("save: empty line", "", "");
}

void TestProjectFiles::writingRules() {
    QFETCH(bool, creating);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    const TProject p = Values();
    const std::string out =
        creating ? ApplyCreationKeys(line.toStdString(), p) : ApplySaveKeys(line.toStdString(), p);
    QCOMPARE(QByteArray::fromStdString(out), expected);
}

void TestProjectFiles::loadingRules_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("fields");  // name=value;... every field that must change
    QTest::newRow("trimmed") << QByteArray("PascalUnits=   C:/Units   ")
                             << QByteArray("PascalUnits=C:/Units");
    QTest::newRow("value after first =")
        << QByteArray("PascalOptions=-A -DX=1") << QByteArray("PascalOptions=-A -DX=1");
    QTest::newRow("lower case ignored") << QByteArray("pascaloptions=-A") << QByteArray();
    QTest::newRow("PascalOutPath feeds OutPath too")
        << QByteArray("PascalOutPath=E:/Out/")
        << QByteArray("OutPath=E:/Out/;PascalOutPath=E:/Out/");
    QTest::newRow("out path alone") << QByteArray("OutPath=/o/") << QByteArray("OutPath=/o/");
    QTest::newRow("LastActive") << QByteArray("LastActive=1") << QByteArray("Active=1");
    QTest::newRow("source path") << QByteArray("SourcePath=/s/") << QByteArray("SourcePath=/s/");
    QTest::newRow("main file") << QByteArray("MainFile=m.pas") << QByteArray("MainFile=m.pas");
    QTest::newRow("list path") << QByteArray("ListPath=/l/") << QByteArray("ListPath=/l/");
    QTest::newRow("includes") << QByteArray("PascalIncludes=/i") << QByteArray("PascalIncludes=/i");
    QTest::newRow("open files not loaded") << QByteArray("OpenFiles=a") << QByteArray();
}

void TestProjectFiles::loadingRules() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, fields);
    TProject p;
    LoadProjectLine(line.toStdString(), p);
    QList<QByteArray> changed = fields.isEmpty() ? QList<QByteArray>() : fields.split(';');
    for (const char* name : {"SourcePath", "MainFile", "Active", "OutPath", "ListPath",
                             "PascalOutPath", "PascalIncludes", "PascalUnits", "PascalOptions"}) {
        QByteArray expected;
        for (const QByteArray& c : changed)
            if (c.startsWith(QByteArray(name) + '=')) expected = c.mid(qstrlen(name) + 1);
        QVERIFY2(Field(p, name) == expected, name);
    }
}

void TestProjectFiles::loadProject() {
    QTemporaryDir dir;
    const QString mpm = dir.filePath(u"a.mpm"_s);
    const QString other = dir.filePath(u"other name.ini"_s);
    // The first line names the settings file; further lines are ignored.
    WriteAll(mpm, NativePath(other).toUtf8() + "\r\nignored\r\n");
    WriteAll(other, "PascalOptions=-A\r\nPascalUnits=/u1\r\nPascalUnits=/u2\r\nOutPath=/o\n");
    TProject p;
    p.ListPath = "kept";
    ProjectFileResult r = LoadProject(p, P(mpm), Language::English);
    QVERIFY(r.ok());
    QCOMPARE(p.ProjectFile, P(mpm));
    QCOMPARE(p.SettingsFile, P(other));
    QCOMPARE(p.PascalOptions, std::string("-A"));
    QCOMPARE(p.PascalUnits, std::string("/u2"));  // the last line wins
    QCOMPARE(p.OutPath, std::string("/o"));
    QCOMPARE(p.ListPath, std::string("kept"));  // fields are never cleared

    // A second project without "PascalOptions=" keeps the first one's options.
    const QString mpm2 = dir.filePath(u"b.mpm"_s);
    WriteAll(mpm2, NativePath(dir.filePath(u"b.ini"_s)).toUtf8() + "\r\n");
    WriteAll(dir.filePath(u"b.ini"_s), "PascalUnits=/b\r\n");
    QVERIFY(LoadProject(p, P(mpm2), Language::English).ok());
    QCOMPARE(p.PascalOptions, std::string("-A"));
    QCOMPARE(p.PascalUnits, std::string("/b"));
}

void TestProjectFiles::loadProjectRefusals_data() {
    QTest::addColumn<QByteArray>("projectFile");  // null: no project file at all
    QTest::addColumn<int>("outcome");
    QTest::newRow("no project file") << QByteArray() << int(ProjectFileResult::Missing);
    QTest::newRow("empty project file") << QByteArray("") << int(ProjectFileResult::Missing);
    QTest::newRow("empty first line")
        << QByteArray("\r\nx.ini\r\n") << int(ProjectFileResult::Missing);
    QTest::newRow("names a missing file")
        << QByteArray("/nonexistent/x.ini\r\n") << int(ProjectFileResult::Missing);
    // Refused with a message naming it, instead of passed over in silence.
#ifdef Q_OS_WIN
    QTest::newRow("names a folder")
        << QByteArray("C:\\Windows\r\n") << int(ProjectFileResult::Failed);
    QTest::newRow("names a device") << QByteArray("NUL\r\n") << int(ProjectFileResult::Failed);
    QTest::newRow("names the console") << QByteArray("CON\r\n") << int(ProjectFileResult::Failed);
#else
    QTest::newRow("names a folder") << QByteArray("/tmp\r\n") << int(ProjectFileResult::Failed);
    QTest::newRow("names a device")
        << QByteArray("/dev/null\r\n") << int(ProjectFileResult::Failed);
#endif
}

void TestProjectFiles::loadProjectRefusals() {
    QFETCH(QByteArray, projectFile);
    QFETCH(int, outcome);
    QTemporaryDir dir;
    const QString mpm = dir.filePath(u"p.mpm"_s);
    if (!projectFile.isNull()) WriteAll(mpm, projectFile);
    TProject p = Values();
    p.SettingsFile = "/w/blink/blink.ini";
    const TProject before = p;
    QCOMPARE(int(LoadProject(p, P(mpm), Language::English).outcome), outcome);
    QCOMPARE(p.ProjectFile, before.ProjectFile);
    QCOMPARE(p.SettingsFile, before.SettingsFile);
    QCOMPARE(p.PascalOptions, before.PascalOptions);
}

void TestProjectFiles::initProjectSettings() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"kest"_s);
    QDir(dir.path()).mkpath(u"proj"_s);
    const QString mpm = dir.filePath(u"proj/blink.mpm"_s);
    const QString ini = dir.filePath(u"proj/blink.ini"_s);
    const std::string kestIni = P(dir.filePath(u"kest/"_s));

    TProject p;
    p.ProjectFile = P(mpm);
    p.SettingsFile = P(ini);
    // Nothing is written while the template or the project file is missing.
    QCOMPARE(InitProjectSettings(p, kestIni, Language::English).outcome,
             ProjectFileResult::Missing);
    WriteAll(dir.filePath(u"kest/kest.ini"_s), Template());
    QCOMPARE(InitProjectSettings(p, kestIni, Language::English).outcome,
             ProjectFileResult::Missing);
    QVERIFY(!QFile::exists(ini));

    WriteAll(mpm, NativePath(ini).toUtf8() + "\r\n");
    WriteAll(ini, "an old file of that name is overwritten\r\n");
    QVERIFY(InitProjectSettings(p, kestIni, Language::English).ok());
    QCOMPARE(p.SourcePath, P(dir.filePath(u"proj/"_s)));
    const QByteArray expected =
        "[Editor]\r\n"
        "Font=Courier New\r\n"
        "SourcePath=" +
        NativePath(dir.filePath(u"proj/"_s)).toUtf8() +
        "\r\n"
        "MainFile=\r\n"
        "OpenFiles=\r\n"
        "Active=\r\n"
        "OutPath=\r\n"
        "ListPath=/old/lst/\r\n"
        "PascalOutPath=\r\n"
        "PascalIncludes=\r\n"
        "PascalUnits=\r\n"
        "PascalOptions=-A -H -MGD\r\n"
        "Author=\xC8\xE2\xE0\xED \x01\x7F\xFF\r\n"
        "\r\n"
        "Tail=lf only\r\n"
        "NoEnd=1\r\n";
    QCOMPARE(ReadAll(ini), expected);
    QCOMPARE(ReadAll(dir.filePath(u"kest/kest.ini"_s)), Template());  // the template is only read
}

void TestProjectFiles::saveProjectSettings() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"blink.ini"_s);
    TProject p = Values();
    p.ProjectFile = P(dir.filePath(u"blink.mpm"_s));
    p.SettingsFile = P(ini);
    QCOMPARE(SaveProjectSettings(p, Language::English).outcome, ProjectFileResult::Missing);
    QVERIFY(!QFile::exists(ini));

    WriteAll(ini, Template());
    QVERIFY(SaveProjectSettings(p, Language::English).ok());
    const QByteArray expected =
        "[Editor]\r\n"
        "Font=Courier New\r\n"
        "SourcePath=" +
        test::NativeFolder(dir.path()).toUtf8() +
        "\r\n"
        "MainFile=/old/src/main.pas\r\n"
        "OpenFiles=/old/src/main.pas;/old/src/io.pas\r\n"
        "Active=1\r\n"
        "OutPath=E:/Out/\r\n"
        "ListPath=/old/lst/\r\n"
        "PascalOutPath=E:/Out/\r\n"
        "PascalIncludes=/inc\r\n"
        "PascalUnits=/units\r\n"
        "PascalOptions=-A -H\r\n"
        "Author=\xC8\xE2\xE0\xED \x01\x7F\xFF\r\n"
        "\r\n"
        "Tail=lf only\r\n"
        "NoEnd=1\r\n";
    QCOMPARE(ReadAll(ini), expected);

    // Without any known key only the line ends change.
    WriteAll(ini, "a=1\nb=2\r\n\xFF\n");
    QVERIFY(SaveProjectSettings(p, Language::English).ok());
    QCOMPARE(ReadAll(ini), QByteArray("a=1\r\nb=2\r\n\xFF\r\n"));

    // CR-only line ends: still lines, not one line that every key would take whole.
    WriteAll(ini, "a=1\rPascalOptions=-X\r\rb=2");
    QVERIFY(SaveProjectSettings(p, Language::English).ok());
    QCOMPARE(ReadAll(ini), QByteArray("a=1\r\nPascalOptions=-A -H\r\n\r\nb=2\r\n"));
}

void TestProjectFiles::writeFailureIsReported() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"kest.ini"_s);
    const QString mpm = dir.filePath(u"blink.mpm"_s);
    WriteAll(ini, Template());
    WriteAll(mpm, "x\r\n");
    TProject p = Values();
    p.ProjectFile = P(mpm);
    // A settings file in a folder that does not exist: the error names the folder, nothing is
    // created.
    p.SettingsFile = P(dir.filePath(u"missing/blink.ini"_s));
    const ProjectFileResult r = InitProjectSettings(p, P(dir.path() + u"/"_s), Language::English);
    QCOMPARE(r.outcome, ProjectFileResult::Failed);
    QVERIFY2(r.error.startsWith(NativePath(dir.filePath(u"missing:"_s))), qPrintable(r.error));
    QVERIFY(!QFile::exists(dir.filePath(u"missing"_s)));
    QCOMPARE(ReadAll(ini), Template());
}

PMKEST_TEST_APPLESS_MAIN(TestProjectFiles)
#include "tst_project_files.moc"
