#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "windows/main/main_window.h"

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

using namespace pmkest;
using test::ReadAll;
using test::WriteAll;

namespace {

// Makes a folder read-only for this process. Root ignores permission bits, so there the
// folder becomes a read-only bind mount, in a mount namespace that ends with the process.
class ReadOnlyFolder {
public:
    ReadOnlyFolder() = default;
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    ~ReadOnlyFolder() {
        if (m_path.isEmpty()) return;
#ifdef Q_OS_LINUX
        if (m_mounted) {
            umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
            return;
        }
#endif
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Empty on success, else why it failed.
    QString protect(const QString& path) {
        m_path = path;
#ifdef Q_OS_LINUX
        if (geteuid() == 0) {
            static const bool ownNamespace =
                unshare(CLONE_NEWNS) == 0 &&
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
            const QByteArray name = QFile::encodeName(path);
            if (!ownNamespace ||
                mount(name.constData(), name.constData(), nullptr, MS_BIND, nullptr) != 0)
                return QString::fromLocal8Bit(std::strerror(errno));
            m_mounted = true;
            if (mount(nullptr, name.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                      nullptr) != 0)
                return QString::fromLocal8Bit(std::strerror(errno));
            return {};
        }
#endif
        if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner))
            return QStringLiteral("chmod failed");
        return {};
    }

private:
    QString m_path;
    bool m_mounted = false;
};

}  // namespace

class TestSettingsLocation : public QObject {
    Q_OBJECT
private slots:
    void settingsAndHelpPages_data();
    void settingsAndHelpPages();
};

void TestSettingsLocation::settingsAndHelpPages_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("program folder writable: all beside the executable") << false;
    QTest::newRow("program folder read-only: the user's own file, installed help") << true;
}

void TestSettingsLocation::settingsAndHelpPages() {
    QFETCH(bool, readOnly);
#ifdef Q_OS_WIN
    // Where the file goes then is checked in tst_manager_settings.
    if (readOnly)
        QSKIP(
            "A test cannot make a folder read-only here: Windows keeps that in access lists, "
            "which Wine does not enforce");
#endif
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString share = root.filePath(QStringLiteral("share/pmkest"));
    const QString user = root.filePath(QStringLiteral("home/.config/pmkest"));
    const QString run = root.filePath(QStringLiteral("run"));
    for (const QString& folder : {bin, share, run}) QVERIFY(QDir().mkpath(folder));
    const QString beside = bin + QStringLiteral("/PMKEST_121226.ini");
    const QByteArray defaults = "PATHKEST=/opt/kest/\r\nFLAGRUS=TRUE\r\n";
    WriteAll(beside, defaults);
    const QString help = (readOnly ? share : bin) + QStringLiteral("/kesttoolsr.html");
    WriteAll(help, "<html></html>");

    ReadOnlyFolder protection;
    if (readOnly) {
        const QString why = protection.protect(bin);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(!QFile(bin + QStringLiteral("/probe")).open(QIODevice::WriteOnly));
    }
    const StartOptions options{bin, {}, run, user};

    {
        UiState state;
        test::ScriptedDialogs dialogs;
        TMain w(state, dialogs, options);
        QCOMPARE(dialogs.messageTexts(), QStringList());
        // The file beside the executable gives the first values in both cases.
        QVERIFY(state.language == Language::Russian);
        QCOMPARE(state.kestFolder, std::string("/opt/kest/"));
        w.PaintBox6Click();
        QCOMPARE(dialogs.openedDocuments, QStringList{test::NativePath(help)});
        w.Image6Click();  // English
        QVERIFY(w.close());
        QCOMPARE(dialogs.messageTexts(), QStringList());
    }

    const QString written = readOnly ? user + QStringLiteral("/PMKEST_121226.ini") : beside;
    const QByteArray stored = ReadAll(written);
    QCOMPARE(stored.count("\r\n"), 26);
    QVERIFY(stored.contains("\r\nFLAGRUS=FALSE\r\n"));
    if (readOnly)
        QCOMPARE(ReadAll(beside), defaults);
    else
        QVERIFY(!QFileInfo::exists(user));

    // The next start finds what the close wrote.
    UiState state;
    test::ScriptedDialogs dialogs;
    TMain again(state, dialogs, options);
    QVERIFY(state.language == Language::English);
    QCOMPARE(state.kestFolder, std::string("/opt/kest/"));
}

PMKEST_TEST_MAIN(TestSettingsLocation)
#include "tst_settings_location.moc"
