#pragma once
// A whole installation in a throw-away folder for the suites that start KEST: the program
// folder with the manager's settings, a KEST folder, the folder of kest.ini and one project
// (proj/blink.mpm naming proj/blink.ini); and the main window started on them.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/text/cp1251.h"
#include "support/sample_files.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "windows/main/main_window.h"

namespace pmkest::test {

// The pid of the KEST a run's journal names; 0 until the journal names one.
inline qint64 JournalKestPid(const QByteArray& journal) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("kest-pid=(\\d+)")).match(QString::fromUtf8(journal));
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

struct ProgramFixture {
    QTemporaryDir root;
    UiState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMain> window;
    QString kestFolder;  // ends in "/"

    // Makes the folders; kestFolderName may be a path below the root.
    explicit ProgramFixture(const QString& kestFolderName = QStringLiteral("kest")) {
        kestFolder = path(kestFolderName) + u'/';
        for (const QString& folder :
             {QStringLiteral("program"), QStringLiteral("ini"), QStringLiteral("proj"),
              QStringLiteral("run"), kestFolderName})
            QDir(root.path()).mkpath(folder);
    }
    QString path(const QString& name) const { return root.filePath(name); }
    QString ini() const { return path(QStringLiteral("ini/kest.ini")); }
    QString res() const { return path(QStringLiteral("ini/kest.res")); }
    QString journal() const { return path(QStringLiteral("ini/kest.run")); }
    QString mpm() const { return path(QStringLiteral("proj/blink.mpm")); }
    QString settings() const { return path(QStringLiteral("proj/blink.ini")); }
    QString managerSettings() const { return path(QStringLiteral("program/PMKEST_121226.ini")); }

    // kest.ini as KEST left it, the project pair, and the kest.exe that marks a KEST folder.
    void writeFiles(const QByteArray& kestIni, const QByteArray& projectSettings) {
        WriteAll(kestFolder + QStringLiteral("kest.exe"), {});
        WriteAll(ini(), kestIni);
        WriteAll(mpm(), settings().toUtf8() + "\r\n");
        WriteAll(settings(), projectSettings);
    }
    // The manager's settings naming this KEST folder, kest.ini's folder and the project.
    void writeManagerSettings(SampleManagerSettings values) {
        if (values.kest.isNull())
            values.kest = QByteArray::fromStdString(cp1251::FromQString(kestFolder).value_or(""));
        if (values.kestIni.isNull()) values.kestIni = path(QStringLiteral("ini/")).toUtf8();
        if (values.project.isNull()) values.project = mpm().toUtf8();
        WriteAll(managerSettings(), SampleManagerSettingsFile(values));
    }
    // KEST as a shell script of these lines.
    void writeKest(const QByteArray& script) {
        const QString file = kestFolder + QStringLiteral("kest");
        WriteAll(file, "#!/bin/sh\n" + script);
        QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
    }
    // The shell line that runs kest-standin on this fixture's kest.ini; exec: in the shell's
    // place.
    QByteArray standIn(const QByteArray& arguments, bool exec = false) const {
        return "KEST_INI_DIR=" + ShellQuote(path(QStringLiteral("ini"))) + (exec ? " exec " : " ") +
               ShellQuote(qEnvironmentVariable("PMKEST_BUILD_DIR") +
                          QStringLiteral("/kest-standin")) +
               " " + arguments;
    }
    TMain& start(const QStringList& arguments = {}) {
        window = std::make_unique<TMain>(
            state, dialogs,
            StartOptions{
                path(QStringLiteral("program")), arguments, path(QStringLiteral("run")), {}});
        return *window;
    }
    void clickStart() {
        QTest::mouseClick(window->paintBox(1), Qt::LeftButton, {}, QPoint(10, 10));
    }
};

}  // namespace pmkest::test
