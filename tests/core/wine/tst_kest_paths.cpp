// Paths in Wine's drive form and back, alone and inside an option string.
#include <QTest>

#include "core/wine/kest_paths.h"
#include "support/test_main.h"

using namespace pmkest;

namespace {

// A prefix as Wine makes it, plus a drive of its own deeper inside "/".
WineDrives Drives() {
    return {{'c', "/home/ivan/.wine/drive_c/"}, {'z', "/"}, {'d', "/mnt/data/"}};
}

QString Q(const std::optional<std::string>& s) {
    return s ? QString::fromLatin1(s->c_str()) : QStringLiteral("<none>");
}

}  // namespace

class TestKestPaths : public QObject {
    Q_OBJECT
private slots:
    void toWine_data();
    void toWine();
    void toUnix_data();
    void toUnix();
    void options_data();
    void options();
    void outsideEveryDrive();
    void nativeKeepsPaths();
};

void TestKestPaths::toWine_data() {
    QTest::addColumn<QByteArray>("unix");
    QTest::addColumn<QString>("wine");
    QTest::newRow("folder keeps its separator")
        << QByteArray("/home/ivan/blink/") << "Z:\\home\\ivan\\blink\\";
    QTest::newRow("file") << QByteArray("/home/ivan/blink/b.pas") << "Z:\\home\\ivan\\blink\\b.pas";
    QTest::newRow("root") << QByteArray("/") << "Z:\\";
    QTest::newRow("deepest drive wins")
        << QByteArray("/home/ivan/.wine/drive_c/KEST/") << "C:\\KEST\\";
    QTest::newRow("drive root without separator") << QByteArray("/mnt/data") << "D:\\";
    QTest::newRow("name that only starts like a drive")
        << QByteArray("/mnt/database/") << "Z:\\mnt\\database\\";
    QTest::newRow("doubled separators") << QByteArray("/a//b/") << "Z:\\a\\b\\";
    QTest::newRow("blanks and Cyrillic (CP1251)")
        << QByteArray("/w/\xCC\xEE\xE9 \xEF\xF0\xEE\xE5\xEA\xF2/")
        << QString::fromLatin1("Z:\\w\\\xCC\xEE\xE9 \xEF\xF0\xEE\xE5\xEA\xF2\\");
    QTest::newRow("relative") << QByteArray("out/") << "<none>";
}

void TestKestPaths::toWine() {
    QFETCH(QByteArray, unix);
    QFETCH(QString, wine);
    QCOMPARE(Q(ToWinePath(Drives(), unix.toStdString())), wine);
}

void TestKestPaths::toUnix_data() {
    QTest::addColumn<QByteArray>("wine");
    QTest::addColumn<QString>("unix");
    QTest::newRow("folder keeps its separator")
        << QByteArray("Z:\\home\\ivan\\blink\\") << "/home/ivan/blink/";
    QTest::newRow("lower-case letter, forward slashes")
        << QByteArray("c:/KEST/kest.ini") << "/home/ivan/.wine/drive_c/KEST/kest.ini";
    QTest::newRow("drive alone") << QByteArray("D:") << "/mnt/data/";
    QTest::newRow("doubled separators") << QByteArray("Z:\\\\a\\\\b") << "/a/b";
    QTest::newRow("unknown drive") << QByteArray("Q:\\x\\") << "<none>";
    QTest::newRow("Unix path") << QByteArray("/home/ivan/") << "<none>";
    QTest::newRow("UNC name") << QByteArray("\\\\server\\share") << "<none>";
    QTest::newRow("letter without separator") << QByteArray("C:KEST") << "<none>";
}

void TestKestPaths::toUnix() {
    QFETCH(QByteArray, wine);
    QFETCH(QString, unix);
    QCOMPARE(Q(ToUnixPath(Drives(), wine.toStdString())), unix);
}

void TestKestPaths::options_data() {
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QByteArray>("kest");
    QTest::newRow("every directory switch, lists, other words untouched")
        << QByteArray("-A -E/w/out/ -T/t51 -U/u1;/u2 -I/inc -J/obj -DX=1")
        << QByteArray("-A -EZ:\\w\\out\\ -TZ:\\t51 -UZ:\\u1;Z:\\u2 -IZ:\\inc -JZ:\\obj -DX=1");
    QTest::newRow("empty entries and bare switches stay")
        << QByteArray("-U/a;;/b -U -E") << QByteArray("-UZ:\\a;;Z:\\b -U -E");
    QTest::newRow("relative folder stays") << QByteArray("-Eout") << QByteArray("-Eout");
    QTest::newRow("lower-case switch, doubled blanks kept")
        << QByteArray("-a  -e/x/") << QByteArray("-a  -eZ:\\x\\");
}

void TestKestPaths::options() {
    QFETCH(QByteArray, shown);
    QFETCH(QByteArray, kest);
    const KestPaths paths(Drives());
    const KestPaths::Mapped mapped = paths.optionsToKest(shown.toStdString());
    QVERIFY(mapped.ok());
    QCOMPARE(QByteArray::fromStdString(mapped.text), kest);
    QCOMPARE(QByteArray::fromStdString(paths.optionsFromKest(kest.toStdString())), shown);
}

void TestKestPaths::outsideEveryDrive() {
    // A prefix whose Z: drive was removed reaches only its own drives.
    const KestPaths paths(WineDrives{{'c', "/p/drive_c/"}});
    QVERIFY(!paths.toKest("/home/ivan/").has_value());
    const KestPaths::Mapped mapped = paths.optionsToKest("-A -E/p/drive_c/out -U/home/ivan/u");
    QVERIFY(!mapped.ok());
    QCOMPARE(QByteArray::fromStdString(mapped.unreachable), QByteArray("/home/ivan/u"));
    // Paths of a form KEST wrote itself pass through unchanged.
    QCOMPARE(Q(paths.toKest("Q:\\x\\")), QStringLiteral("Q:\\x\\"));
    QCOMPARE(QString::fromStdString(paths.fromKest("Q:\\x\\")), QStringLiteral("Q:\\x\\"));
}

void TestKestPaths::nativeKeepsPaths() {
    const KestPaths native;
    QVERIFY(!native.throughWine());
    QCOMPARE(Q(native.toKest("/home/ivan/")), QStringLiteral("/home/ivan/"));
    QCOMPARE(QString::fromStdString(native.fromKest("Z:\\home\\")), QStringLiteral("Z:\\home\\"));
    QCOMPARE(QString::fromStdString(native.optionsToKest("-E/x/").text), QStringLiteral("-E/x/"));
}

PMKEST_TEST_GUILESS_MAIN(TestKestPaths)
#include "tst_kest_paths.moc"
