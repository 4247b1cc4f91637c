#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/path_rules.h"
#include "platform/places/start_folder.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/qt_user_dialogs.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

// Runs the real file dialog; `inside` acts on it once it is open.
FileDialogResult RunOpen(const FileDialogRequest& request,
                         const std::function<void(QFileDialog&)>& inside) {
    QtUserDialogs dialogs;
    QTimer::singleShot(0, [inside] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        inside(*dialog);
        if (dialog->isVisible()) dialog->reject();  // never hang the test
    });
    return dialogs.openFile(request);
}

}  // namespace

class TestQtUserDialogs : public QObject {
    Q_OBJECT
private slots:
    void fileDialog_data();
    void fileDialog();
    void startFolder_data();
    void startFolder();
    void longPathKeepsReason_data();
    void longPathKeepsReason();
};

void TestQtUserDialogs::fileDialog_data() {
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QStringList>("typed");  // each entered with Enter; "B/" is the other folder
    QTest::addColumn<QString>("filters");    // the list's filters when opened, then after each
    QTest::addColumn<QString>("path");       // empty: cancelled
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");

    QTest::newRow("a path typed in full keeps its folder")
        << "x.mpm" << QStringList{u"B/p.mpm"_s} << "All Files (*)"
        << "B/p.mpm"
        << "B"
        << "p.mpm";
    QTest::newRow("Enter on a pattern filters and stays open")
        << "x.mpm" << QStringList{u"*.ini"_s, u"real.mpm"_s} << "All Files (*) | *.ini"
        << "A/real.mpm"
        << "A"
        << "real.mpm";
    QTest::newRow("the preset pattern filters the list")
        << "*.mpm" << QStringList{} << "*.mpm" << QString() << "A"
        << "*.mpm";
}

void TestQtUserDialogs::fileDialog() {
    QFETCH(QString, preset);
    QFETCH(QStringList, typed);
    QFETCH(QString, filters);
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QTemporaryDir tmp;
    QDir(tmp.path()).mkpath(QStringLiteral("A"));
    QDir(tmp.path()).mkpath(QStringLiteral("B"));
    auto full = [&tmp](const QString& relative) {
        return relative.isEmpty() ? QString() : tmp.filePath(relative);
    };
    FileDialogRequest request;
    request.folder = full(QStringLiteral("A"));
    request.fileName = preset;
    QStringList seen;
    const FileDialogResult result = RunOpen(request, [&](QFileDialog& dialog) {
        seen << dialog.nameFilters().join(QLatin1Char(','));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        for (const QString& text : typed) {
            edit->setText(text.startsWith(QLatin1String("B/")) ? full(text) : text);
            QTest::keyClick(edit, Qt::Key_Return);
            if (dialog.isVisible()) seen << dialog.nameFilters().join(QLatin1Char(','));
        }
    });
    QCOMPARE(seen.join(QStringLiteral(" | ")), filters);
    QCOMPARE(result.accepted, !path.isEmpty());
    QCOMPARE(result.path, test::NativePath(full(path)));
    QCOMPARE(result.folder, test::NativePath(full(folder)));
    QCOMPARE(result.fileName, name);
}

void TestQtUserDialogs::startFolder_data() {
    QTest::addColumn<bool>("documents");
    QTest::addColumn<bool>("windows");
    QTest::newRow("the documents folder") << true << false;
    QTest::newRow("home without one") << false << false;
    QTest::newRow("windows: the drive root") << false << true;
}

void TestQtUserDialogs::startFolder() {
    QFETCH(bool, documents);
    QFETCH(bool, windows);
    if (windows != (kFolderSeparator == '\\')) QSKIP("a start folder of the other system");
    if (windows) {
        QCOMPARE(DialogStartFolder(), u"c:\\"_s);
        return;
    }
    QTemporaryDir home;
    if (documents) QDir(home.path()).mkdir(QStringLiteral("Documents"));
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    const QString folder = DialogStartFolder();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    if (oldConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(folder, documents ? home.filePath(QStringLiteral("Documents")) : home.path());
}

void TestQtUserDialogs::longPathKeepsReason_data() {
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("afterPath");
    QTest::newRow("a short reason beside the path") << u"Permission denied"_s << u" "_s;
    QTest::newRow("a long reason on a line of its own")
        << u"the file is larger than 64 MiB, too large for a settings or project file"_s << u"\n"_s;
}

void TestQtUserDialogs::longPathKeepsReason() {
    QFETCH(QString, reason);
    QFETCH(QString, afterPath);
    const QString path = u"/tmp/"_s + QString(40, u'd') + u'/' + QString(40, u'e') + u"/big.mpm"_s;
    const QString text = u"Could not read the file:\n"_s + path + u": "_s + reason;
    QString shown, details;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = box->text();
        details = box->detailedText();
        box->accept();
    });
    QtUserDialogs().showMessage(MessageKind::Error, u"Error"_s, text);
    QVERIFY2(shown.endsWith(u"/big.mpm:"_s + afterPath + reason), qPrintable(shown));
    QVERIFY(shown.contains(u"…"_s));
    QCOMPARE(details, text);
}

PMKEST_TEST_MAIN(TestQtUserDialogs)
#include "tst_qt_user_dialogs.moc"
