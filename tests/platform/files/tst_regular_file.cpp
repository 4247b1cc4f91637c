// The atomic writer on real files: a new version replaces the file whole, and on every failure
// the old file stays as it was and no temporary is left behind.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/files/regular_file.h"
#include "support/test_files.h"
#include "support/test_main.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

// Holds a file open the way another program would: a live writer's lock on POSIX, an open
// handle that shares nothing on Windows.
class Holder {
public:
    explicit Holder(const QString& path) {
#ifdef Q_OS_WIN
        m_handle =
            CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        ::flock(m_fd, LOCK_EX);
#endif
    }
    ~Holder() {
#ifdef Q_OS_WIN
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
#else
        if (m_fd >= 0) ::close(m_fd);
#endif
    }

private:
#ifdef Q_OS_WIN
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#else
    int m_fd = -1;
#endif
};

}  // namespace

class TestRegularFile : public QObject {
    Q_OBJECT
private slots:
    void atomicWriter_data();
    void atomicWriter();
};

void TestRegularFile::atomicWriter_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<bool>("written");      // the new version is in place
    QTest::addColumn<QStringList>("left");  // the folder afterwards, besides the file
    QTest::newRow("replaces the file") << "plain" << true << QStringList();
    QTest::newRow("not committed: old file kept") << "no commit" << false << QStringList();
    QTest::newRow("a folder in its place") << "folder" << false << QStringList();
    QTest::newRow("folder gone: the fault names it") << "no folder" << false << QStringList();
    QTest::newRow("dead temporary removed, live one kept")
        << "temporaries" << true << QStringList{u"f.ini.pmkest-Live01"_s};
#ifdef Q_OS_WIN
    QTest::newRow("held open by another program: old file kept")
        << "held" << false << QStringList();
#else
    QTest::newRow("a link in the user's own folder stays a link")
        << "link" << true << QStringList{u"target.ini"_s};
#endif
}

void TestRegularFile::atomicWriter() {
    QFETCH(QString, setUp);
    QFETCH(bool, written);
    QFETCH(QStringList, left);
    QTemporaryDir root;
    const QString folder = root.filePath(u"f"_s);
    QDir().mkpath(folder);
    const QString file = folder + u"/f.ini"_s;
    WriteAll(file, "old\r\n");
    std::unique_ptr<Holder> holder;
    if (setUp == u"folder"_s) {
        QFile::remove(file);
        QDir().mkpath(file);
    }
    if (setUp == u"temporaries"_s) {
        WriteAll(file + u".pmkest-Dead01"_s, "dead");
        WriteAll(file + u".pmkest-Live01"_s, "live");
        holder = std::make_unique<Holder>(file + u".pmkest-Live01"_s);
    }
    if (setUp == u"held"_s) holder = std::make_unique<Holder>(file);
    if (setUp == u"link"_s) {
        QVERIFY(QFile::rename(file, folder + u"/target.ini"_s));
        QVERIFY(QFile::link(u"target.ini"_s, file));
    }
    const QString target = setUp == u"no folder"_s ? root.filePath(u"gone/f.ini"_s) : file;

    FileFault fault;
    {
        AtomicFileWriter writer;
        fault = writer.open(target);
        if (!fault.failed()) fault = writer.write("new\r\n", 5);
        if (!fault.failed() && setUp != u"no commit"_s) fault = writer.commit();
    }
    holder.reset();

    QCOMPARE(!fault.failed() && setUp != u"no commit"_s, written);
    if (setUp == u"no folder"_s)
        QCOMPARE(QDir::cleanPath(fault.subject), QDir::cleanPath(root.filePath(u"gone"_s)));
    if (setUp == u"folder"_s) QCOMPARE(fault.kind, FileFault::Kind::Folder);
    if (setUp != u"folder"_s && setUp != u"no folder"_s)
        QCOMPARE(ReadAll(file), written ? QByteArray("new\r\n") : QByteArray("old\r\n"));
    if (setUp == u"link"_s) QVERIFY(QFileInfo(file).isSymLink());
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    names.removeOne(u"f.ini"_s);
    QCOMPARE(names, left);
}

PMKEST_TEST_GUILESS_MAIN(TestRegularFile)
#include "tst_regular_file.moc"
