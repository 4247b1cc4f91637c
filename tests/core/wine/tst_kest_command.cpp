// KEST that runs natively: started as its folder + "kest", its paths left as they are.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/wine/kest_command.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;
using namespace pmkest;
using test::NativePath;
using test::P;

class TestKestCommand : public QObject {
    Q_OBJECT
private slots:
    void startsAsItIs();
};

void TestKestCommand::startsAsItIs() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"KEST IDE"_s));
    const QString folder = NativePath(dir.filePath(u"KEST IDE"_s)) + QDir::separator();
    // A real Windows program: under Wine it would be taken for one to run there.
    QByteArray pe(0x80, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[0x3C] = static_cast<char>(0x80);
    test::WriteAll(folder + u"kest.exe"_s,
                   pe + QByteArray("PE\0\0\x4c\x01", 6) + QByteArray(64, 0));
#ifndef Q_OS_WIN
    // Where Wine is at hand, an executable kest beside it is what makes KEST native.
    test::WriteAll(folder + u"kest"_s, "#!/bin/sh\n");
    QFile::setPermissions(folder + u"kest"_s,
                          QFile::permissions(folder + u"kest"_s) | QFile::ExeOwner);
#endif
    const KestCommand command = KestCommandFor(P(folder));
    QCOMPARE(command.program, folder + u"kest"_s);
    QVERIFY(command.arguments.isEmpty());
    QVERIFY(command.environment.isEmpty());

    const KestPaths paths = KestPathsFor(P(folder));
    QVERIFY(!paths.throughWine());
    const std::string options = "-A -U" + P(folder) + "UNITS;" + P(folder) + "LIB -E" + P(folder);
    const KestPaths::Mapped mapped = paths.optionsToKest(options);
    QVERIFY(mapped.ok());
    QCOMPARE(mapped.text, options);
    QCOMPARE(paths.optionsFromKest(options), options);
}

PMKEST_TEST_GUILESS_MAIN(TestKestCommand)
#include "tst_kest_command.moc"
