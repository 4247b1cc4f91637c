// Whole scenarios on the real program: all five windows, dialogs answered through their
// interfaces, the options editor answered while it is open.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/program_windows.h"
#include "core/text/cp1251.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/startup_probe.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

QByteArray Win(const QString& s) {
    return QByteArray::fromStdString(*cp1251::FromQString(s));
}

QByteArray KestIni() {
    return QByteArray(
        "[Main]\r\n"
        "SourcePath=/home/user/old/\r\n"
        "MainFile=/home/user/old/main.pas\r\n"
        "OpenFiles=/home/user/old/main.pas\r\n"
        "Active=1\r\n"
        "OutPath=/home/user/old/out/\r\n"
        "ListPath=/home/user/old/lst/\r\n"
        "PascalOutPath=/home/user/old/out/\r\n"
        "PascalIncludes=/opt/t51/inc\r\n"
        "PascalUnits=/opt/t51/units\r\n"
        "PascalOptions=-A -MGX -Uc:\\lib\r\n"
        "[Editor]\r\n"
        "Font=Courier New\r\n");
}

struct Program {
    QTemporaryDir root;
    UiState state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;

    Program() {
        for (const char* d : {"program", "kest", "ini", "work", "run"})
            QDir(root.path()).mkdir(QString::fromLatin1(d));
        WriteAll(path(u"kest/kest.exe"_s), {});
        WriteAll(path(u"ini/kest.ini"_s), KestIni());
        WriteAll(path(u"program/PMKEST_121226.ini"_s),
                 "PATHKEST=" + path(u"kest/"_s).toUtf8() +
                     "\r\nPATHINIKEST=" + path(u"ini/"_s).toUtf8() + "\r\n");
    }
    QString path(const QString& name) const { return root.filePath(name); }
    TMain& start() {
        windows.reset();
        windows = std::make_unique<ProgramWindows>(
            state, dialogs, StartOptions{path(u"program"_s), {}, path(u"run"_s), {}});
        windows->main->show();
        return *windows->main;
    }
    void trigger(const char* action) {
        windows->main->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    // Runs `act` on the options editor once it is open, then leaves it with `button`.
    void whenEditorOpens(std::function<void(TOption&)> act, const char* button) {
        TOption* editor = windows->options.get();
        QTimer::singleShot(0, editor, [editor, act, button] {
            QTRY_VERIFY(editor->isVisible());
            act(*editor);
            editor->Timer1Timer();
            QTest::mouseClick(editor->findChild<PaintBox*>(QString::fromLatin1(button)),
                              Qt::LeftButton, {}, QPoint(5, 5));
            // An Ok refused with a message leaves the editor open: left with Exit then.
            if (editor->isVisible())
                QTest::mouseClick(editor->findChild<PaintBox*>(u"PaintBox1"_s), Qt::LeftButton, {},
                                  QPoint(5, 5));
        });
    }
    QString row() const { return windows->main->findChild<QLabel*>(u"Label2"_s)->text(); }
};

}  // namespace

class TestProgramScenarios : public QObject {
    Q_OBJECT
private slots:
    void createEditStartAndReopen();
    void createLeftWithExit();
    void editProjectWithOkAndExit();
    void openMissingByMenuAndButton();
    void editRefusedWhileKestRuns();
    void hiddenWindowsFollowTheFirstPaint();
    void startupProbeOnlyInBenchmarkBuilds();
    void pathsThatWouldFeedAnotherKey_data();
    void pathsThatWouldFeedAnotherKey();
    void editorStaysOpenOnARefusedField_data();
    void editorStaysOpenOnARefusedField();
    void commandLineOptions_data();
    void commandLineOptions();
};

void TestProgramScenarios::createEditStartAndReopen() {
    Program p;
    TMain& main = p.start();
    const QString mpm = p.path(u"work/проект.mpm"_s);
    p.dialogs.fileAnswers.push_back(mpm);
    QString shownOptions;
    p.whenEditorOpens(
        [&](TOption& editor) {
            editor.Timer1Timer();
            shownOptions = editor.findChild<StatusPanels*>(u"StatusBar1"_s)->panelText(0);
            editor.findChild<QCheckBox*>(u"CheckBox6"_s)->setChecked(true);  // -H
            editor.findChild<QLineEdit*>(u"Edit1"_s)->setText(p.path(u"work/out"_s));
        },
        "PaintBox2");
    p.trigger("CreateProject1");

    // The editor opened with the options inherited from kest.ini.
    QCOMPARE(shownOptions, QStringLiteral("-A -MGX -Uc:\\lib"));
    const QByteArray ini = Win(p.path(u"work/проект.ini"_s));
    QCOMPARE(ReadAll(mpm), ini + "\r\n");
    const QByteArray folder = Win(p.path(u"work/"_s));
    const QByteArray out = p.path(u"work/out"_s).toUtf8();
    QCOMPARE(ReadAll(p.path(u"work/проект.ini"_s)),
             "[Main]\r\nSourcePath=" + folder +
                 "\r\nMainFile=\r\nOpenFiles=\r\nActive=\r\n"
                 "OutPath=" +
                 out + "\r\nListPath=/home/user/old/lst/\r\nPascalOutPath=" + out +
                 "\r\nPascalIncludes=\r\nPascalUnits=\r\nPascalOptions=-A -H -MGX -E" + out +
                 " -Uc:\\lib\r\n[Editor]\r\nFont=Courier New\r\n");
    QCOMPARE(ReadAll(p.path(u"ini/kest.ini"_s)), KestIni());  // only read as the template
    QCOMPARE(p.row(), mpm);
    QCOMPARE(p.state.recent[0], std::string(Win(mpm)));

    // Russian, then quit; everything is as left on the next start.
    QTest::mouseClick(main.findChild<QWidget*>(u"Image4"_s), Qt::LeftButton);
    QVERIFY(main.close());
    p.state = UiState();
    TMain& again = p.start();
    QCOMPARE(again.windowTitle(), QStringLiteral("Менеджер проектов KEST [13.01.09]"));
    QCOMPARE(p.row(), mpm);
    QCOMPARE(p.state.recent[0], std::string(Win(mpm)));
    QCOMPARE(p.state.project.SettingsFile, std::string(ini));
}

void TestProgramScenarios::createLeftWithExit() {
    Program p;
    p.start();
    p.dialogs.fileAnswers.push_back(p.path(u"work/blink.mpm"_s));
    p.whenEditorOpens(
        [](TOption& editor) { editor.findChild<QCheckBox*>(u"CheckBox12"_s)->setChecked(true); },
        "PaintBox1");
    p.trigger("CreateProject1");
    const QByteArray folder = Win(p.path(u"work/"_s));
    QCOMPARE(
        ReadAll(p.path(u"work/blink.ini"_s)),
        "[Main]\r\nSourcePath=" + folder +
            "\r\nMainFile=\r\nOpenFiles=\r\nActive=\r\n"
            "OutPath=\r\nListPath=/home/user/old/lst/\r\nPascalOutPath=\r\nPascalIncludes=\r\n"
            "PascalUnits=\r\nPascalOptions=-A -MGX -Uc:\\lib\r\n[Editor]\r\nFont=Courier New\r\n");
}

void TestProgramScenarios::editProjectWithOkAndExit() {
    Program p;
    p.start();
    const QString mpm = p.path(u"work/e.mpm"_s);
    WriteAll(mpm, Win(p.path(u"work/e.ini"_s)) + "\r\n");
    WriteAll(p.path(u"work/e.ini"_s),
             "OutPath=/a/\r\nPascalOutPath=/b/\r\nPascalOptions=-S -MLI\r\nOther=1\r\n");
    const QByteArray folder = Win(p.path(u"work/"_s));

    // Exit: nothing written.
    p.dialogs.fileAnswers.push_back(mpm);
    p.whenEditorOpens(
        [](TOption& editor) { editor.findChild<QCheckBox*>(u"CheckBox1"_s)->setChecked(true); },
        "PaintBox1");
    p.trigger("EditProject1");
    QCOMPARE(
        ReadAll(p.path(u"work/e.ini"_s)),
        QByteArray("OutPath=/a/\r\nPascalOutPath=/b/\r\nPascalOptions=-S -MLI\r\nOther=1\r\n"));

    // Ok with a blanks-only output directory: the project folder, and a bare -E in the string.
    p.whenEditorOpens(
        [](TOption& editor) {
            QCOMPARE(editor.findChild<QComboBox*>(u"ComboBox2"_s)->currentText(),
                     QStringLiteral("IData"));
            editor.findChild<QLineEdit*>(u"Edit1"_s)->setText(QStringLiteral("   "));
        },
        "PaintBox2");
    p.trigger("EditCurrentProject1");
    QCOMPARE(ReadAll(p.path(u"work/e.ini"_s)), "OutPath=" + folder + "\r\nPascalOutPath=" + folder +
                                                   "\r\nPascalOptions=-S -MLI -E\r\nOther=1\r\n");
    QVERIFY(p.dialogs.messages.empty());
}

void TestProgramScenarios::openMissingByMenuAndButton() {
    Program p;
    TMain& main = p.start();
    const QString typed = p.path(u"work/typed.mpm"_s);
    p.dialogs.fileAnswers.push_back(typed);
    p.trigger("Openproject1");
    QCOMPARE(p.row(), typed);
    QCOMPARE(p.state.project.SettingsFile, std::string(Win(p.path(u"work/typed.ini"_s))));
    QCOMPARE(p.dialogs.openRequests.back().fileName, QStringLiteral("*.mpm"));

    p.state.project.SettingsFile = "/before.ini";
    const QString other = p.path(u"work/other.mpm"_s);
    p.dialogs.fileAnswers.push_back(other);
    QTest::mouseClick(main.paintBox(3), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(p.row(), other);
    QCOMPARE(p.state.project.SettingsFile, std::string("/before.ini"));
    QCOMPARE(p.dialogs.openRequests.back().folder, p.path(u"work/"_s));
    QCOMPARE(p.state.recent[0], std::string(Win(other)));
    QCOMPARE(p.state.recent[1], std::string(Win(typed)));
}

void TestProgramScenarios::editRefusedWhileKestRuns() {
    Program p;
    // KEST: waits a moment, so the manager handles the menu meanwhile.
    const QString kest = p.path(u"kest/kest"_s);
    WriteAll(kest, "#!/bin/sh\nsleep 1\n");
    QFile::setPermissions(kest, QFile::permissions(kest) | QFile::ExeOwner);
    const QString mpm = p.path(u"work/run.mpm"_s);
    WriteAll(mpm, Win(p.path(u"work/run.ini"_s)) + "\r\n");
    WriteAll(p.path(u"work/run.ini"_s), "PascalOptions=-A\r\n");
    TMain& main = p.start();
    p.state.project.ProjectFile = std::string(Win(mpm));
    QTimer::singleShot(200, &main, [&] { p.trigger("EditCurrentProject1"); });
    QTest::mouseClick(main.paintBox(1), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(p.dialogs.messages.size(), size_t(1));
    QVERIFY(p.dialogs.messages[0].text.contains(QStringLiteral("KEST is running on this project")));
    QVERIFY(!p.windows->options->isVisible());
    QCOMPARE(p.state.launchCounter, 1);
}

void TestProgramScenarios::hiddenWindowsFollowTheFirstPaint() {
    Program p;
    ProgramWindows windows(p.state, p.dialogs,
                           StartOptions{p.path(u"program"_s), {}, p.path(u"run"_s), {}},
                           ProgramWindows::Secondary::AfterFirstPaint);
    QVERIFY(!windows.options);
    windows.main->show();
    QTRY_VERIFY(windows.options != nullptr);
    QCOMPARE(windows.main->optionEditor(), windows.options.get());
    QVERIFY(windows.commandLine && windows.chooser && windows.about);
    QVERIFY(!windows.options->isVisible() && !windows.commandLine->isVisible());
}

void TestProgramScenarios::startupProbeOnlyInBenchmarkBuilds() {
    if (StartupProbeBuilt()) QSKIP("a benchmark build: the probe is meant to end it");
    // A user who has the variable set keeps the program after its first paint.
    qputenv("PMKEST_STARTUP_PROBE", "1");
    Program p;
    TMain& main = p.start();
    InstallStartupProbe(&main);
    main.update();
    QTest::qWait(200);
    qunsetenv("PMKEST_STARTUP_PROBE");
    QVERIFY(main.isVisible());
}

void TestProgramScenarios::pathsThatWouldFeedAnotherKey_data() {
    QTest::addColumn<QString>("entry");  // where the path comes in
    QTest::addColumn<QString>("name");   // under the test's folder
    QTest::addColumn<QString>("fault");  // in the message; empty: accepted
    QTest::newRow("open: a folder named like a key") << "open"
                                                     << "work/dl/PATHKEST=/x.mpm"
                                                     << "\"PATHKEST=\"";
    QTest::newRow("open button: CR") << "button"
                                     << "work/a\rb/x.mpm"
                                     << "line break";
    QTest::newRow("create: LF") << "create"
                                << "work/a\nPATHKEST=/x.mpm"
                                << "line break";
    QTest::newRow("edit") << "edit"
                          << "work/PROJECTCUR=/x.mpm"
                          << "\"PROJECTCUR=\"";
    QTest::newRow("path KEST") << "kest"
                               << "work/PATHINIKEST=/kest.exe"
                               << "\"PATHINIKEST=\"";
    QTest::newRow("path KEST.INI") << "kestini"
                                   << "work/PROJECT7=/kest.ini"
                                   << "\"PROJECT7=\"";
    QTest::newRow("command line") << "argument"
                                  << "work/dl/PATHKEST=/x.mpm"
                                  << "\"PATHKEST=\"";
    QTest::newRow("project settings key") << "open"
                                          << "work/SourcePath=/x.mpm"
                                          << "\"SourcePath=\"";
    QTest::newRow("ordinary: = and Cyrillic") << "open"
                                              << "work/a=b c/проект.mpm"
                                              << "";
    // Values already in memory (a file written elsewhere): the writers keep the old files.
    QTest::newRow("manager settings writer") << "close"
                                             << "work/dl/PATHKEST=/x.mpm"
                                             << "\"PATHKEST=\"";
    QTest::newRow("project settings writer") << "save"
                                             << "work/MainFile=x/x.mpm"
                                             << "\"MainFile=\"";
}

void TestProgramScenarios::pathsThatWouldFeedAnotherKey() {
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, fault);
    Program p;
    const QString path = p.path(name);
    const QString folder = path.left(path.lastIndexOf(u'/') + 1);
    QVERIFY(QDir().mkpath(folder));
    // A real project there, so that nothing but the name stands in the way.
    const QString ini = path.left(path.size() - 3) + u"ini"_s;
    WriteAll(path, Win(ini) + "\r\n");
    WriteAll(ini, "SourcePath=/old/\r\nPascalOptions=-A\r\n");
    QByteArray settings = ReadAll(p.path(u"program/PMKEST_121226.ini"_s));
    if (entry == u"close"_s || entry == u"save"_s)
        WriteAll(p.path(u"program/PMKEST_121226.ini"_s),
                 settings += "PROJECTCUR=" + Win(path) + "\r\n");
    if (entry == u"create"_s) QFile::remove(path);
    if (entry == u"argument"_s) {
        p.windows = std::make_unique<ProgramWindows>(
            p.state, p.dialogs, StartOptions{p.path(u"program"_s), {path}, p.path(u"run"_s), {}});
    } else {
        p.start();
    }
    TMain& main = *p.windows->main;
    p.dialogs.fileAnswers.push_back(path);
    if (entry == u"open"_s) p.trigger("Openproject1");
    if (entry == u"button"_s) QTest::mouseClick(main.paintBox(3), Qt::LeftButton, {}, QPoint(5, 5));
    if (entry == u"create"_s) p.trigger("CreateProject1");
    if (entry == u"edit"_s) p.trigger("EditProject1");
    if (entry == u"kest"_s) QTest::mouseClick(main.paintBox(5), Qt::LeftButton, {}, QPoint(5, 5));
    if (entry == u"kestini"_s)
        QTest::mouseClick(main.paintBox(2), Qt::LeftButton, {}, QPoint(5, 5));
    if (entry == u"save"_s) {
        p.whenEditorOpens([](TOption&) {}, "PaintBox2");
        p.trigger("EditCurrentProject1");
        QCOMPARE(ReadAll(ini), QByteArray("SourcePath=/old/\r\nPascalOptions=-A\r\n"));
    }
    const bool closed = main.close();

    const QStringList shown = p.dialogs.messageTexts() + p.dialogs.questions;
    if (fault.isEmpty()) {
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(u'|')));
    } else {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(fault) && shown[0].contains(QDir::toNativeSeparators(folder)),
                 qPrintable(shown[0]));
    }
    if (entry == u"close"_s) {
        // Asked whether to close anyway (no): the old file stays as it was.
        QVERIFY(!closed);
        QCOMPARE(ReadAll(p.path(u"program/PMKEST_121226.ini"_s)), settings);
        return;
    }
    QVERIFY(closed);
    // The settings file reads back with the old folders and only an accepted project.
    const QList<QByteArray> lines = ReadAll(p.path(u"program/PMKEST_121226.ini"_s)).split('\n');
    QCOMPARE(lines.size(), 27);
    QCOMPARE(lines[1], "PATHKEST=" + p.path(u"kest/"_s).toUtf8() + "\r");
    QCOMPARE(lines[2], "PATHINIKEST=" + p.path(u"ini/"_s).toUtf8() + "\r");
    const bool kept = fault.isEmpty() || entry == u"save"_s;
    QCOMPARE(lines[3], "PROJECTCUR=" + (kept ? Win(path) : QByteArray()) + "\r");
}

void TestProgramScenarios::editorStaysOpenOnARefusedField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");  // in the message
    QTest::newRow("a blank ends the switch") << "Edit3"
                                             << "/u;/blink 1"
                                             << "/blink 1";
    QTest::newRow("a key text") << "Edit1"
                                << "/x/MainFile=/y"
                                << "\"MainFile=\"";
}

void TestProgramScenarios::editorStaysOpenOnARefusedField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, said);
    Program p;
    const QString mpm = p.path(u"work/p.mpm"_s);
    const QString ini = p.path(u"work/p.ini"_s);
    WriteAll(mpm, Win(ini) + "\r\n");
    WriteAll(ini, "PascalOutPath=\r\nPascalOptions=-A\r\n");
    WriteAll(p.path(u"program/PMKEST_121226.ini"_s),
             ReadAll(p.path(u"program/PMKEST_121226.ini"_s)) + "PROJECTCUR=" + Win(mpm) + "\r\n");
    p.start();
    TOption* editor = p.windows->options.get();
    bool stayed = false;
    QTimer::singleShot(0, editor, [&] {
        QTRY_VERIFY(editor->isVisible());
        editor->findChild<QCheckBox*>(u"CheckBox6"_s)->setChecked(true);  // -H
        auto* edit = editor->findChild<QLineEdit*>(field);
        edit->setText(typed);
        auto* ok = editor->findChild<PaintBox*>(u"PaintBox2"_s);
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(5, 5));
        stayed = editor->isVisible() && editor->focusWidget() == edit &&
                 editor->findChild<QCheckBox*>(u"CheckBox6"_s)->isChecked();
        edit->setText(u"/ok"_s);
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(5, 5));
    });
    p.trigger("EditCurrentProject1");
    QVERIFY(stayed);
    QCOMPARE(p.dialogs.messages.size(), size_t(1));
    QVERIFY2(p.dialogs.messages[0].text.contains(said), qPrintable(p.dialogs.messages[0].text));
    // The other edit survived the refusal.
    QVERIFY(ReadAll(ini).contains("PascalOptions=-A -H"));
}

void TestProgramScenarios::commandLineOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");  // the start of what it printed
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << u"Usage: pmkest"_s;
    QTest::newRow("-v") << QStringList{u"-v"_s} << 0 << u"pmkest "_s;
    QTest::newRow("single-dash word is no bundle of -h")
        << QStringList{u"-dash.mpm"_s} << 1 << u"-dash.mpm"_s;
    QTest::newRow("single-dash word is no bundle of -v")
        << QStringList{u"-dvx.mpm"_s} << 1 << u"-dvx.mpm"_s;
    QTest::newRow("-help is not --help") << QStringList{u"-help"_s} << 1 << u"-help"_s;
}

void TestProgramScenarios::commandLineOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QProcess program;
    program.start(qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/pmkest"_s, arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), exitCode);
    const QString output =
        QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError());
    QVERIFY2(output.contains(printed), qPrintable(output));
}

PMKEST_TEST_MAIN(TestProgramScenarios)
#include "tst_program_scenarios.moc"
