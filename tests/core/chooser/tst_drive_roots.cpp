// The chooser's decisions without a window: which volumes get a drive button, in what order
// and with what caption, and where the list starts.
#include <QDir>
#include <QTest>
#include <vector>

#include "core/chooser/drive_roots.h"
#include "core/text/cp1251.h"
#include "platform/path_rules.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;
using namespace pmkest;

Q_DECLARE_METATYPE(std::vector<VolumeInfo>)

namespace {

constexpr bool kWindowsPaths = kFolderSeparator == '\\';

std::string Cp(const QString& text) {
    return cp1251::FromQString(text).value();
}

}  // namespace

class TestDriveRoots : public QObject {
    Q_OBJECT
private slots:
    void driveButtonRoots_data();
    void driveButtonRoots();
    void drivesAPersonKnows_data();
    void drivesAPersonKnows();
    void startDirectory_data();
    void startDirectory();
};

void TestDriveRoots::driveButtonRoots_data() {
    QTest::addColumn<std::vector<VolumeInfo>>("volumes");
    QTest::addColumn<QStringList>("roots");
    auto v = [](const char* root, bool ready) {
        return VolumeInfo{QString::fromLatin1(root), ready, {}};
    };

    QTest::newRow("none") << std::vector<VolumeInfo>{} << QStringList{};
    QTest::newRow("not ready leaves no gap")
        << std::vector<VolumeInfo>{v("/a", false), v("/c", true), v("/d", true)}
        << QStringList{u"/c"_s, u"/d"_s};
    QTest::newRow("ordered by root path")
        << std::vector<VolumeInfo>{v("/mnt", true), v("/", true), v("/boot", true)}
        << QStringList{u"/"_s, u"/boot"_s, u"/mnt"_s};
    std::vector<VolumeInfo> thirteen;
    for (int i = 0; i < 13; ++i)
        thirteen.push_back({QStringLiteral("/v%1").arg(i, 2, 10, QLatin1Char('0')), i != 3, {}});
    QStringList firstTwelve;
    for (int i = 0; i < 12; ++i)
        if (i != 3) firstTwelve << QStringLiteral("/v%1").arg(i, 2, 10, QLatin1Char('0'));
    QTest::newRow("only the first twelve are examined") << thirteen << firstTwelve;
    QTest::newRow("none ready") << std::vector<VolumeInfo>{v("/a", false), v("/b", false)}
                                << QStringList{};
    QTest::newRow("drive letters: an empty floppy leaves no gap")
        << std::vector<VolumeInfo>{v("d:\\", true), v("a:\\", false), v("c:\\", true)}
        << QStringList{u"c:\\"_s, u"d:\\"_s};
}

void TestDriveRoots::driveButtonRoots() {
    QFETCH(std::vector<VolumeInfo>, volumes);
    QFETCH(QStringList, roots);
    const std::vector<QString> got = DriveButtonRoots(volumes);
    QCOMPARE(QStringList(got.begin(), got.end()), roots);
    // A volume without a name of its own is captioned with its root.
    QStringList captions;
    for (const VolumeInfo& button : DriveButtons(volumes)) captions << button.caption;
    QCOMPARE(captions, roots);
}

void TestDriveRoots::drivesAPersonKnows_data() {
    QTest::addColumn<std::vector<VolumeInfo>>("mounted");
    QTest::addColumn<QStringList>("buttons");  // caption=root (the tooltip), slot 1 first
    auto v = [](const char* root, bool ready, const char* name) {
        return VolumeInfo{QString::fromLatin1(root), ready, QString::fromUtf8(name)};
    };
    QTest::newRow("system mounts are no drives")
        << std::vector<VolumeInfo>{v("/", true, ""), v("/boot", true, ""), v("/proc", true, ""),
                                   v("/run/user/1000", true, ""), v("/mnt/wsl/x", true, "")}
        << QStringList{u"/=/"_s, u"Home="_s + QDir::homePath(), u"x=/mnt/wsl/x"_s};
    QTest::newRow("removable volumes by their names, ready ones only")
        << std::vector<VolumeInfo>{v("/media/ivan/STICK", true, "Флешка"),
                                   v("/run/media/ivan/cd", false, "DISC"),
                                   v("/media/ivan/data", true, "")}
        << QStringList{u"/=/"_s, u"Home="_s + QDir::homePath(), u"data=/media/ivan/data"_s,
                       u"Флешка=/media/ivan/STICK"_s};
}

void TestDriveRoots::drivesAPersonKnows() {
    if (kVolumesAreDrives) QSKIP("mount points: on Windows every drive letter is a drive");
    QFETCH(std::vector<VolumeInfo>, mounted);
    QFETCH(QStringList, buttons);
    QStringList got;
    for (const VolumeInfo& drive : DriveButtons(UserVolumes(mounted, QDir::homePath())))
        got << drive.caption + QLatin1Char('=') + drive.rootPath;
    // The home folder sorts among the rest by its path.
    std::sort(got.begin(), got.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(got, buttons);
}

void TestDriveRoots::startDirectory_data() {
    QTest::addColumn<QString>("startPath");
    QTest::addColumn<QString>("directory");
    // Paths of the other system mean nothing here: a drive letter is a plain name elsewhere.
    QTest::addColumn<bool>("windowsPath");
    QTest::newRow("project folder") << "/home/u/work/demo.mpm"
                                    << "/home/u/work" << false;
    QTest::newRow("root keeps its separator") << "/demo.mpm"
                                              << "/" << false;
    QTest::newRow("no project") << ""
                                << "" << kWindowsPaths;
    QTest::newRow("no folder part") << "demo.mpm"
                                    << "" << kWindowsPaths;
    QTest::newRow("blanks trimmed") << "  /a/b/demo.mpm"
                                    << "/a/b" << false;
    QTest::newRow("folder only") << "/a/b/"
                                 << "/a/b" << false;
    QTest::newRow("windows: project folder") << "D:\\Work\\demo.mpm"
                                             << "D:\\Work" << true;
    QTest::newRow("windows: drive root keeps its backslash") << "D:\\demo.mpm"
                                                             << "D:\\" << true;
    QTest::newRow("windows: blanks trimmed") << "  c:\\a\\b\\demo.mpm "
                                             << "c:\\a\\b" << true;
}

void TestDriveRoots::startDirectory() {
    QFETCH(QString, startPath);
    QFETCH(QString, directory);
    QFETCH(bool, windowsPath);
    if (windowsPath != kWindowsPaths) QSKIP("a path of the other system");
    QCOMPARE(QString::fromStdString(StartDirectory(Cp(startPath))), directory);
}

PMKEST_TEST_GUILESS_MAIN(TestDriveRoots)
#include "tst_drive_roots.moc"
