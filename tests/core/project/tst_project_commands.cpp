#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/project/project_commands.h"
#include "core/settings/manager_settings.h"
#include "core/text/cp1251.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

std::string Bytes(const QString& s) {
    return *cp1251::FromQString(s);
}

// The main window as the commands see it: records what they ask for.
class FakeHost final : public ProjectCommandHost {
public:
    explicit FakeHost(AppState& state) : m_state(state) {}
    bool CheckKestPaths() override {
        ++pathChecks;
        return pathsOk;
    }
    void showProjectRow(const std::string& projectFile) override { row = projectFile; }
    void DeriveProjectSettingsPath() override {
        if (QFile::exists(cp1251::ToQString(m_state.project.ProjectFile)))
            m_state.project.SettingsFile = SettingsPathFor(m_state.project.ProjectFile);
    }
    void AddRecentProject() override { AddRecent(m_state.recent, m_state.project.ProjectFile); }
    void ShowRecentProjects() override { ++recentShown; }
    std::optional<EditorResult> runOptionsEditor(const std::string& options,
                                                 const EditorCheck&) override {
        editorInputs.push_back(options);
        if (!editorOk) return std::nullopt;
        return editorResult;
    }
    bool isKestRunningOn(const std::string& settingsFile) override {
        return !runningOn.empty() && runningOn == settingsFile;
    }
    KestPaths currentKestPaths() override { return kestPaths; }

    bool pathsOk = true;
    int pathChecks = 0;
    int recentShown = 0;
    std::string row;
    std::vector<std::string> editorInputs;
    bool editorOk = false;
    EditorResult editorResult;
    std::string runningOn;
    KestPaths kestPaths;

private:
    AppState& m_state;
};

QByteArray KestIni() {
    return QByteArray(
        "[Main]\r\n"
        "SourcePath=/home/user/old/\r\n"
        "MainFile=/home/user/old/main.pas\r\n"
        "OpenFiles=/home/user/old/main.pas;/home/user/old/io.pas\r\n"
        "Active=1\r\n"
        "LastActive=3\r\n"
        "OutPath=/home/user/old/out/\r\n"
        "ListPath=/home/user/old/lst/\r\n"
        "PascalOutPath=/home/user/old/out/\r\n"
        "PascalIncludes=/opt/t51/inc\r\n"
        "PascalUnits=/opt/t51/units\r\n"
        "PascalOptions= -A -MGD \r\n"
        "FontName=Courier New\r\n"
        "\xC0\xE1\xE2=\xFF\r\n");
}

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    test::ScriptedDialogs dialogs;
    FakeHost host{state};
    ProjectCommands commands{state, dialogs, host};

    Fixture() {
        QDir(dir.path()).mkdir(QStringLiteral("ini"));
        WriteAll(path(u"ini/kest.ini"_s), KestIni());
        state.kestIniFolder = Bytes(path(u"ini/"_s));
    }
    QString path(const QString& name) const { return test::NativePath(dir.filePath(name)); }
};

}  // namespace

class TestProjectCommands : public QObject {
    Q_OBJECT
private slots:
    void createNewProject();
    void createThenLeaveWithExit();
    void createExistingOrCancelled();
    void createNeedsKestPaths();
    void failedCreateLeavesNoTrace_data();
    void failedCreateLeavesNoTrace();
    void writeFailureReachesUserInTheirLanguage_data();
    void writeFailureReachesUserInTheirLanguage();
    void outputDirectoryRule_data();
    void outputDirectoryRule();
    void openMissingFileByName();
    void editProjectWithoutSettingsFile();
    void editRefusedWhileKestRunsOnIt();
    void openDialogRemembersItsFolder();
    void wineForm_data();
    void wineForm();
    void patternIsNeverAProject_data();
    void patternIsNeverAProject();
};

void TestProjectCommands::createNewProject() {
    Fixture f;
    const QString mpm = f.path(QStringLiteral("мигалка.mpm"));
    f.dialogs.fileAnswers.push_back(mpm);
    f.host.editorOk = true;
    f.host.editorResult = {"-A -H -EOUT", "   ", {}};
    f.commands.CreateProject1Click();

    QCOMPARE(f.dialogs.saveRequests.size(), size_t(1));
    const FileDialogRequest& request = f.dialogs.saveRequests[0];
    QCOMPARE(request.fileName, QStringLiteral("*.mpm"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("mpm"));
    QVERIFY(request.confirmOverwrite);

    const QByteArray iniPath =
        QByteArray::fromStdString(Bytes(f.path(QStringLiteral("мигалка.ini"))));
    QCOMPARE(ReadAll(mpm), iniPath + "\r\n");
    // The editor opens with the option string inherited from kest.ini, trimmed.
    QCOMPARE(f.host.editorInputs, std::vector<std::string>{"-A -MGD"});
    const QByteArray folder = QByteArray::fromStdString(Bytes(test::NativeFolder(f.dir.path())));
    QCOMPARE(ReadAll(f.path(QStringLiteral("мигалка.ini"))),
             "[Main]\r\nSourcePath=" + folder +
                 "\r\nMainFile=\r\nOpenFiles=\r\nActive=\r\n"
                 "Active=\r\nOutPath=" +
                 folder +
                 "\r\nListPath=/home/user/old/lst/\r\n"
                 "PascalOutPath=" +
                 folder +
                 "\r\nPascalIncludes=\r\nPascalUnits=\r\n"
                 "PascalOptions=-A -H -EOUT\r\nFontName=Courier New\r\n\xC0\xE1\xE2=\xFF\r\n");
    QCOMPARE(f.state.project.ProjectFile, Bytes(mpm));
    QCOMPARE(f.host.row, Bytes(mpm));
    QCOMPARE(f.state.recent[0], Bytes(mpm));
    QCOMPARE(f.host.recentShown, 1);
}

void TestProjectCommands::createThenLeaveWithExit() {
    Fixture f;
    const QString mpm = f.path(QStringLiteral("p.mpm"));
    f.dialogs.fileAnswers.push_back(mpm);
    f.host.editorOk = false;
    f.host.editorResult = {"-S", "/elsewhere", {}};
    f.commands.CreateProject1Click();
    const QByteArray folder = QByteArray::fromStdString(Bytes(test::NativeFolder(f.dir.path())));
    // Exactly as made from kest.ini: options inherited, nothing of the editor.
    QCOMPARE(ReadAll(f.path(QStringLiteral("p.ini"))),
             "[Main]\r\nSourcePath=" + folder +
                 "\r\nMainFile=\r\nOpenFiles=\r\nActive=\r\n"
                 "Active=\r\nOutPath=\r\nListPath=/home/user/old/lst/\r\nPascalOutPath=\r\n"
                 "PascalIncludes=\r\nPascalUnits=\r\nPascalOptions= -A -MGD \r\n"
                 "FontName=Courier New\r\n\xC0\xE1\xE2=\xFF\r\n");
}

void TestProjectCommands::createExistingOrCancelled() {
    Fixture f;
    const QString mpm = f.path(QStringLiteral("old.mpm"));
    WriteAll(mpm, "/somewhere/else.ini\r\n");
    f.dialogs.fileAnswers.push_back(mpm);
    f.commands.CreateProject1Click();
    QCOMPARE(ReadAll(mpm), QByteArray("/somewhere/else.ini\r\n"));
    QVERIFY(!QFile::exists(f.path(QStringLiteral("old.ini"))));
    QVERIFY(f.host.editorInputs.empty());
    QCOMPARE(f.state.project.ProjectFile, Bytes(mpm));
    QCOMPARE(f.state.recent[0], Bytes(mpm));

    // Cancelled: the unchanged current project is still put on the list when missing there.
    f.state.recent[0].clear();
    f.dialogs.fileAnswers.push_back(std::nullopt);
    f.commands.CreateProject1Click();
    QCOMPARE(f.state.recent[0], Bytes(mpm));
    QCOMPARE(f.host.recentShown, 2);
}

void TestProjectCommands::createNeedsKestPaths() {
    Fixture f;
    f.host.pathsOk = false;
    f.commands.CreateProject1Click();
    f.commands.Openproject1Click();
    f.commands.openProjectButton();
    QCOMPARE(f.host.pathChecks, 3);
    QVERIFY(f.dialogs.saveRequests.empty());
    QVERIFY(f.dialogs.openRequests.empty());
    QCOMPARE(f.host.recentShown, 0);
    QVERIFY(f.state.recent[0].empty());
}

void TestProjectCommands::failedCreateLeavesNoTrace_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("named");  // what the message begins with
    QTest::newRow("settings file is a folder") << u"w.mpm"_s << u"w.ini"_s;
    QTest::newRow("project folder missing") << u"gone/n.mpm"_s << u"gone"_s;
#ifndef Q_OS_WIN
    QTest::newRow("settings file a link into a missing folder") << u"s3.mpm"_s << u"nowhere"_s;
#endif
}

void TestProjectCommands::failedCreateLeavesNoTrace() {
    QFETCH(QString, chosen);
    QFETCH(QString, named);
    Fixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(u"w.ini"_s));
    QFile::link(f.path(u"nowhere/s3.ini"_s), f.path(u"s3.ini"_s));
    f.state.project.ProjectFile = Bytes(f.path(u"old.mpm"_s));
    f.state.project.SettingsFile = Bytes(f.path(u"old.ini"_s));
    const TProject before = f.state.project;
    const QStringList files = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::System);
    f.dialogs.fileAnswers.push_back(f.path(chosen));
    f.commands.CreateProject1Click();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
    QVERIFY2(f.dialogs.messages[0].text.startsWith(QDir::toNativeSeparators(f.path(named)) + u':'),
             qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.state.project.ProjectFile, before.ProjectFile);
    QCOMPARE(f.state.project.SettingsFile, before.SettingsFile);
    QVERIFY(f.host.row.empty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::System), files);
    QVERIFY(f.host.editorInputs.empty());
    QVERIFY(f.state.recent[0].empty());
    QCOMPARE(f.host.recentShown, 0);
}

void TestProjectCommands::writeFailureReachesUserInTheirLanguage_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("title");
    QTest::newRow("Russian") << true << u"Ошибка"_s;
    QTest::newRow("English") << false << u"Error"_s;
}

void TestProjectCommands::writeFailureReachesUserInTheirLanguage() {
    QFETCH(bool, russian);
    QFETCH(QString, title);
    Fixture f;
    f.state.language = russian ? Language::Russian : Language::English;
    // A folder in the settings file's place: its write fails.
    QVERIFY(QDir(f.dir.path()).mkdir(u"w.ini"_s));
    f.dialogs.fileAnswers.push_back(f.path(u"w.mpm"_s));
    f.commands.CreateProject1Click();
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QCOMPARE(f.dialogs.messages[0].kind, MessageKind::Error);
    QCOMPARE(f.dialogs.messages[0].title, title);
    QVERIFY(f.dialogs.messages[0].text.startsWith(QDir::toNativeSeparators(f.path(u"w.ini"_s))));
}

void TestProjectCommands::outputDirectoryRule_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("usesProjectFolder");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("blanks only") << QStringLiteral("   ") << true;
    QTest::newRow("typed, kept with its blanks") << QStringLiteral(" /out dir ") << false;
}

void TestProjectCommands::outputDirectoryRule() {
    QFETCH(QString, field);
    QFETCH(bool, usesProjectFolder);
    Fixture f;
    const QString mpm = f.path(QStringLiteral("e.mpm"));
    WriteAll(mpm, Bytes(f.path(QStringLiteral("e.ini"))).c_str() + QByteArray("\r\n"));
    WriteAll(f.path(QStringLiteral("e.ini")),
             "OutPath=a\r\nPascalOutPath=b\r\nPascalOptions=-S\r\n");
    f.state.project.ProjectFile = Bytes(mpm);
    f.host.editorOk = true;
    f.host.editorResult = {"-Q", Bytes(field), {}};
    f.commands.EditCurrentProject1Click();
    const QByteArray out = usesProjectFolder
                               ? QByteArray::fromStdString(Bytes(test::NativeFolder(f.dir.path())))
                               : field.toUtf8();
    QCOMPARE(ReadAll(f.path(QStringLiteral("e.ini"))),
             "OutPath=" + out + "\r\nPascalOutPath=" + out + "\r\nPascalOptions=-Q\r\n");
    QCOMPARE(f.host.editorInputs, std::vector<std::string>{"-S"});
}

void TestProjectCommands::openMissingFileByName() {
    Fixture f;
    f.state.project.SettingsFile = "/previous.ini";
    const QString missing = f.path(QStringLiteral("typed.mpm"));
    f.dialogs.fileAnswers.push_back(missing);
    f.commands.Openproject1Click();
    QCOMPARE(f.state.project.ProjectFile, Bytes(missing));
    QCOMPARE(f.state.project.SettingsFile, Bytes(f.path(QStringLiteral("typed.ini"))));
    QCOMPARE(f.host.row, Bytes(missing));
    QCOMPARE(f.state.recent[0], Bytes(missing));

    // The painted button keeps the previous settings file path for a file that does not exist.
    Fixture g;
    g.state.project.SettingsFile = "/previous.ini";
    g.dialogs.fileAnswers.push_back(missing);
    g.commands.openProjectButton();
    QCOMPARE(g.state.project.ProjectFile, Bytes(missing));
    QCOMPARE(g.state.project.SettingsFile, std::string("/previous.ini"));
    QCOMPARE(g.state.recent[0], Bytes(missing));
}

void TestProjectCommands::editProjectWithoutSettingsFile() {
    Fixture f;
    const QString mpm = f.path(QStringLiteral("lonely.mpm"));
    WriteAll(mpm, "/nowhere/lonely.ini\r\n");
    f.dialogs.fileAnswers.push_back(mpm);
    f.commands.EditProject1Click();
    QCOMPARE(f.state.project.ProjectFile, Bytes(mpm));
    QVERIFY(f.host.editorInputs.empty());
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.host.pathChecks, 0);
    QVERIFY(f.state.recent[0].empty());
}

void TestProjectCommands::editRefusedWhileKestRunsOnIt() {
    Fixture f;
    const QString mpm = f.path(QStringLiteral("busy.mpm"));
    const std::string ini = Bytes(f.path(QStringLiteral("busy.ini")));
    WriteAll(mpm, QByteArray::fromStdString(ini) + "\r\n");
    WriteAll(f.path(QStringLiteral("busy.ini")), "PascalOptions=-A\r\n");
    f.state.project.ProjectFile = Bytes(mpm);
    f.host.runningOn = ini;
    f.host.editorOk = true;
    f.commands.EditCurrentProject1Click();
    QVERIFY(f.host.editorInputs.empty());
    QCOMPARE(f.dialogs.messages.size(), size_t(1));
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("KEST is running on this project")));
    QCOMPARE(ReadAll(f.path(QStringLiteral("busy.ini"))), QByteArray("PascalOptions=-A\r\n"));

    // Another project may be edited meanwhile.
    f.host.runningOn = "/other.ini";
    f.commands.EditCurrentProject1Click();
    QCOMPARE(f.host.editorInputs.size(), size_t(1));
}

void TestProjectCommands::openDialogRemembersItsFolder() {
    Fixture f;
    QDir(f.dir.path()).mkdir(QStringLiteral("sub"));
    const QString chosen = f.path(QStringLiteral("sub/x.mpm"));
    f.dialogs.fileAnswers = {chosen, std::nullopt};
    f.commands.Openproject1Click();
    QCOMPARE(f.dialogs.openRequests[0].fileName, QStringLiteral("*.mpm"));
    QCOMPARE(f.dialogs.openRequests[0].folder, QStringLiteral("/"));
    // Edit Project shows the dialog as the last command left it.
    f.commands.EditProject1Click();
    QCOMPARE(f.dialogs.openRequests[1].folder, f.path(QStringLiteral("sub")));
    QCOMPARE(f.dialogs.openRequests[1].fileName, QStringLiteral("x.mpm"));
    // The menu command starts in the current project's folder.
    f.dialogs.fileAnswers = {std::nullopt};
    f.dialogs.cancelledInFolder = f.path(QStringLiteral("elsewhere"));
    f.commands.Openproject1Click();
    QCOMPARE(f.dialogs.openRequests[2].folder, f.path(QStringLiteral("sub/")));
    // A cancelled dialog keeps the folder the user had gone to.
    f.dialogs.fileAnswers = {std::nullopt};
    f.commands.EditProject1Click();
    QCOMPARE(f.dialogs.openRequests[3].folder, f.path(QStringLiteral("elsewhere")));
    QCOMPARE(f.dialogs.openRequests[3].fileName, QStringLiteral("*.mpm"));
}

void TestProjectCommands::wineForm_data() {
    QTest::addColumn<bool>("reachable");
    QTest::newRow("written in Wine's form, shown as Unix paths") << true;
    QTest::newRow("outside every drive: refused, nothing written") << false;
}

void TestProjectCommands::wineForm() {
#ifdef Q_OS_WIN
    QSKIP("KEST runs natively on Windows: Wine's drive form does not arise");
#endif
    QFETCH(bool, reachable);
    Fixture f;
    const std::string folder = Bytes(f.path(u"Мой проект/"_s));
    QDir(f.dir.path()).mkdir(u"Мой проект"_s);
    // Z: is the temporary folder, so paths outside it are out of Wine's reach.
    const std::string root = Bytes(test::NativeFolder(f.dir.path()));
    f.host.kestPaths = KestPaths(WineDrives{{'z', reachable ? root : root + "ini/"}});
    WriteAll(f.path(u"ini/kest.ini"_s),
             "SourcePath=\r\nOutPath=\r\nPascalOutPath=\r\nPascalOptions=-A -EZ:\\out\\\r\n"
             "PascalUnits=z:\\units\r\n");
    const QString mpm = cp1251::ToQString(folder) + u"b.mpm"_s;
    f.dialogs.fileAnswers.push_back(mpm);
    f.host.editorOk = true;
    f.host.editorResult = {"-A -E" + root + "out/ -U" + root + "u1;" + root + "u2", "", {}};
    f.commands.CreateProject1Click();
    if (!reachable) {
        QCOMPARE(f.dialogs.messages.size(), size_t(1));
        QVERIFY(f.dialogs.messages[0].text.contains(cp1251::ToQString(folder)));
        QVERIFY(!QFile::exists(mpm));
        QVERIFY(f.host.editorInputs.empty());
        return;
    }
    QVERIFY2(f.dialogs.messages.empty(), qPrintable(f.dialogs.messageTexts().join(u'|')));
    // The editor shows the Unix path the drive form stands for.
    QCOMPARE(f.host.editorInputs, std::vector<std::string>{"-A -E" + root + "out/"});
    // Z: is the temporary folder: the project folder lies at its top.
    const QByteArray z =
        "Z:\\" + QByteArray::fromStdString(folder.substr(root.size())).replace('/', '\\');
    QCOMPARE(ReadAll(cp1251::ToQString(folder) + u"b.ini"_s),
             "SourcePath=" + z + "\r\nOutPath=" + z + "\r\nPascalOutPath=" + z +
                 "\r\nPascalOptions=-A -EZ:\\out\\ -UZ:\\u1;Z:\\u2\r\nPascalUnits=\r\n");
}

void TestProjectCommands::patternIsNeverAProject_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("Create Project, preset taken at once") << "create"
                                                          << "*.mpm";
    QTest::newRow("Open Project menu") << "menu"
                                       << "*.mpm";
    QTest::newRow("Open Project button") << "button"
                                         << "p?.mpm";
    QTest::newRow("Edit Project, first time") << "edit"
                                              << "*.mpm";
}

void TestProjectCommands::patternIsNeverAProject() {
    QFETCH(QString, command);
    QFETCH(QString, pattern);
    Fixture f;
    f.state.project.ProjectFile = "/before.mpm";
    f.dialogs.fileAnswers.push_back(f.path(pattern));
    if (command == QLatin1String("create")) f.commands.CreateProject1Click();
    if (command == QLatin1String("menu")) f.commands.Openproject1Click();
    if (command == QLatin1String("button")) f.commands.openProjectButton();
    if (command == QLatin1String("edit")) f.commands.EditProject1Click();
    // Every dialog, Edit Project's first one too, opens on the project pattern.
    const auto& requests =
        command == QLatin1String("create") ? f.dialogs.saveRequests : f.dialogs.openRequests;
    QCOMPARE(requests.size(), size_t(1));
    QCOMPARE(requests[0].fileName, QStringLiteral("*.mpm"));
    // Nothing written: no "*.mpm", no "*.ini".
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(f.state.project.ProjectFile, std::string("/before.mpm"));
    QVERIFY(f.host.editorInputs.empty());
    for (const std::string& entry : f.state.recent)
        QVERIFY(entry.find_first_of("*?") == std::string::npos);
    QVERIFY(f.host.row.empty());
}

PMKEST_TEST_GUILESS_MAIN(TestProjectCommands)
#include "tst_project_commands.moc"
