#include <QFile>
#include <QProcess>
#include <QTest>

#include "support/test_main.h"

using namespace Qt::StringLiterals;

// The answers to --help, --version and a wrong option reach the caller's output and error
// streams; on Windows pmkest is a GUI program that has no console of its own.
class TestCommandLineOutput : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
};

void TestCommandLineOutput::answers_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");  // the start of what it printed there
    QTest::addColumn<QString>("errors");
    QTest::newRow("help") << u"--help"_s << 0 << u"Usage: pmkest"_s << QString();
    QTest::newRow("version") << u"-v"_s << 0 << u"pmkest "_s << QString();
    QTest::newRow("wrong option") << u"--bogus"_s << 1 << QString()
                                  << u"pmkest: unknown option: --bogus"_s;
}

void TestCommandLineOutput::answers() {
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QProcess program;
    QString path = qEnvironmentVariable("PMKEST_BUILD_DIR") + u"/pmkest"_s;
    if (QFile::exists(path + u".exe"_s)) path += u".exe"_s;
    program.start(path, {argument});
    QVERIFY2(program.waitForFinished(30000), qPrintable(program.errorString()));
    QCOMPARE(program.exitCode(), exitCode);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(output.isEmpty() ? out.isEmpty() : out.startsWith(output), qPrintable(out));
    QVERIFY2(errors.isEmpty() ? err.isEmpty() : err.startsWith(errors), qPrintable(err));
}

PMKEST_TEST_APPLESS_MAIN(TestCommandLineOutput)
#include "tst_command_line_output.moc"
