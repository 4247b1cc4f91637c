#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
// After windows.h.
#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/files/file_owner.h"
#include "platform/files/regular_file.h"
#include "platform/process/process_identity.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::ReadAll;
using test::WriteAll;

enum class Entry { Missing, File, SymbolicLink, HardLink };

#ifdef Q_OS_WIN
std::wstring Wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// Everyone gets rights on the entry.
bool GrantEveryone(const QString& path, DWORD rights) {
    PACL dacl = nullptr, granted = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t everyone[] = L"EVERYONE";
    EXPLICIT_ACCESSW grant{rights, GRANT_ACCESS, NO_INHERITANCE, {}};
    BuildTrusteeWithNameW(&grant.Trustee, everyone);
    const bool made =
        GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &dacl, nullptr, &descriptor) == ERROR_SUCCESS &&
        SetEntriesInAclW(1, &grant, dacl, &granted) == ERROR_SUCCESS &&
        SetNamedSecurityInfoW(Wide(path).data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, granted, nullptr) == ERROR_SUCCESS;
    LocalFree(granted);
    LocalFree(descriptor);
    return made;
}
#endif

// The file's access as text: its mode, or its access list, where inherited or not and
// protected or not make no difference, since a copy holds its source's entries as its own.
QString AccessText(const QString& path) {
#ifdef Q_OS_WIN
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t* text = nullptr;
    if (GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS)
        ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    QString list = text ? QString::fromWCharArray(text) : u"?"_s;
    LocalFree(text);
    LocalFree(descriptor);
    return list.mid(list.indexOf(u'(')).replace(u";ID;"_s, u";;"_s);
#else
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0
               ? QString::number(st.st_mode & 07777, 8)
               : u"?"_s;
#endif
}

// Access a new file would not get: on POSIX only the owner's; on Windows all may write, since
// Wine's access lists follow the mode bits, which the owner cannot take from others.
bool SetUncommonAccess(const QString& path) {
#ifdef Q_OS_WIN
    return GrantEveryone(path, FILE_ALL_ACCESS);
#else
    return ::chmod(QFile::encodeName(path).constData(), 0600) == 0;
#endif
}

bool LetAllWrite(const QString& path) {
#ifdef Q_OS_WIN
    return GrantEveryone(path, FILE_ALL_ACCESS);
#else
    return ::chmod(QFile::encodeName(path).constData(), 0666) == 0;
#endif
}

// Others may add files to the folder.
bool MakeShared(const QString& folder) {
#ifdef Q_OS_WIN
    return GrantEveryone(folder, FILE_ADD_FILE);
#else
    return ::chmod(QFile::encodeName(folder).constData(), 01777) == 0;
#endif
}

// False where none can be made: Wine 8 reports success and makes nothing.
bool MakeSymbolicLink(const QString& target, const QString& link) {
#ifdef Q_OS_WIN
    // Unprivileged in developer mode, else as an administrator.
    if (!CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), 0x2))
        CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), 0);
    return GetFileAttributesW(Wide(link).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    return QFile::link(target, link);
#endif
}

bool MakeHardLink(const QString& target, const QString& link) {
#ifdef Q_OS_WIN
    return CreateHardLinkW(Wide(link).c_str(), Wide(target).c_str(), nullptr);
#else
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
#endif
}

// Makes entry at dir/box/kest.ini holding "old", a link's target outside box. Returns why it
// cannot be made here, or null.
const char* MakeEntry(const QTemporaryDir& dir, Entry entry) {
    QDir(dir.path()).mkdir(u"box"_s);
    const QString path = dir.filePath(u"box/kest.ini"_s);
    const QString outside = dir.filePath(u"target.ini"_s);
    WriteAll(entry == Entry::File ? path : outside, "old");
    if (entry == Entry::SymbolicLink && !MakeSymbolicLink(outside, path))
        return "No symbolic links here: Wine 8 makes none";
    if (entry == Entry::HardLink && !MakeHardLink(outside, path)) return "No hard links here";
    return nullptr;
}

FileFault Replace(const QString& path, const QByteArray& data, const NewFileAccess& access = {}) {
    AtomicFileWriter writer;
    FileFault fault = writer.open(path, access);
    if (!fault.failed()) fault = writer.write(data.constData(), data.size());
    if (!fault.failed()) fault = writer.commit();
    return fault;
}

}  // namespace

// Qt 5 tables take only declared types.
Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(pmkest::FileFault::Kind)

class TestFileOwner : public QObject {
    Q_OBJECT
private slots:
    void ownerOf_data();
    void ownerOf();
    void sharedFolder_data();
    void sharedFolder();
    void newFileAccess_data();
    void newFileAccess();
    void renameEntry_data();
    void renameEntry();
    void processIsUsers_data();
    void processIsUsers();
};

void TestFileOwner::ownerOf_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("hardLinked");
    QTest::addColumn<bool>("ownedByUser");
    QTest::newRow("nothing") << Entry::Missing << false << false << false;
    QTest::newRow("the user's file") << Entry::File << false << false << true;
    QTest::newRow("symbolic link") << Entry::SymbolicLink << true << false << true;
    QTest::newRow("hard link") << Entry::HardLink << false << true << true;
}

void TestFileOwner::ownerOf() {
    QFETCH(Entry, entry);
    QFETCH(bool, link);
    QFETCH(bool, hardLinked);
    QFETCH(bool, ownedByUser);
    QTemporaryDir dir;
    if (const char* skip = MakeEntry(dir, entry)) QSKIP(skip);
    const EntryOwner owner = OwnerOf(dir.filePath(u"box/kest.ini"_s));
    QCOMPARE(owner.exists, entry != Entry::Missing);
    QCOMPARE(owner.link, link);
    QCOMPARE(owner.hardLinked, hardLinked);
    QCOMPARE(owner.ownedByUser, ownedByUser);
    QCOMPARE(owner.owner.isEmpty(), !owner.exists);
}

void TestFileOwner::sharedFolder_data() {
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<bool>("shared");
    QTest::addColumn<bool>("write");
    QTest::addColumn<FileFault::Kind>("fault");
    const auto none = FileFault::Kind::None;
    const auto link = FileFault::Kind::SharedLink;
    QTest::newRow("own file, shared, read") << Entry::File << true << false << none;
    QTest::newRow("own file, shared, write") << Entry::File << true << true << none;
    QTest::newRow("symbolic link, shared, read") << Entry::SymbolicLink << true << false << link;
    QTest::newRow("symbolic link, shared, write") << Entry::SymbolicLink << true << true << link;
    QTest::newRow("symbolic link, own, read") << Entry::SymbolicLink << false << false << none;
    QTest::newRow("symbolic link, own, write") << Entry::SymbolicLink << false << true << none;
    QTest::newRow("hard link, shared, read") << Entry::HardLink << true << false << link;
    QTest::newRow("hard link, shared, write") << Entry::HardLink << true << true << link;
    QTest::newRow("hard link, own, read") << Entry::HardLink << false << false << none;
}

void TestFileOwner::sharedFolder() {
    QFETCH(Entry, entry);
    QFETCH(bool, shared);
    QFETCH(bool, write);
    QFETCH(FileFault::Kind, fault);
    QTemporaryDir dir;
    if (const char* skip = MakeEntry(dir, entry)) QSKIP(skip);
    const QString box = dir.filePath(u"box"_s);
    if (shared) QVERIFY(MakeShared(box));
    QCOMPARE(FolderIsShared(box), shared);

    const QString path = dir.filePath(u"box/kest.ini"_s);
    QByteArray data;
    const FileFault got = write ? Replace(path, "new")
                                : ReadRegularFile(path, -1, data, SharedFolderRule::OwnFilesOnly);
    QCOMPARE(got.kind, fault);
    if (!write && fault == FileFault::Kind::None) QCOMPARE(data, QByteArray("old"));
    // A refused write leaves the file; one through the user's own link lands in its target.
    const QByteArray content(write && fault == FileFault::Kind::None ? "new" : "old");
    QCOMPARE(ReadAll(entry == Entry::File ? path : dir.filePath(u"target.ini"_s)), content);
    if (entry == Entry::SymbolicLink) QVERIFY(OwnerOf(path).link);
}

void TestFileOwner::newFileAccess_data() {
    QTest::addColumn<bool>("journal");  // else a copy
    QTest::newRow("copy takes the source's access") << false;
    QTest::newRow("journal over a file all may write") << true;
}

void TestFileOwner::newFileAccess() {
    QFETCH(bool, journal);
    QTemporaryDir dir;
    const QString old = dir.filePath(journal ? u"kest.run"_s : u"source.ini"_s);
    const QString path = dir.filePath(u"kest.run"_s);
    WriteAll(old, "old");
    QVERIFY(journal ? LetAllWrite(old) : SetUncommonAccess(old));
    // Only the copy reads a source; an open handle on the journal would hold up its replacing.
    RegularFileReader reader;
    if (!journal) QCOMPARE(reader.open(old).kind, FileFault::Kind::None);
    const QString before = AccessText(old);
    QCOMPARE(Replace(path, "new", {journal ? nullptr : &reader, false, journal}).kind,
             FileFault::Kind::None);
    if (journal)
        QVERIFY(!OwnerOf(path).othersMayWrite);
    else
        QCOMPARE(AccessText(path), before);
}

void TestFileOwner::renameEntry_data() {
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("link");
    QTest::newRow("to a free name") << false << false;
    QTest::newRow("onto an existing name") << true << false;
    QTest::newRow("a link, not its target") << false << true;
}

void TestFileOwner::renameEntry() {
    QFETCH(bool, taken);
    QFETCH(bool, link);
    QTemporaryDir dir;
    const QString from = dir.filePath(u"from"_s);
    const QString to = dir.filePath(u"to"_s);
    WriteAll(link ? dir.filePath(u"target"_s) : from, "from");
    if (link && !MakeSymbolicLink(dir.filePath(u"target"_s), from))
        QSKIP("No symbolic links here: Wine 8 makes none");
    if (taken) WriteAll(to, "to");
    QCOMPARE(RenameEntry(from, to).failed(), taken);
    QCOMPARE(ReadAll(from), taken ? QByteArray("from") : QByteArray("<missing>"));
    QCOMPARE(ReadAll(to), taken ? QByteArray("to") : QByteArray("from"));
    if (link) QVERIFY(OwnerOf(to).link);
}

void TestFileOwner::processIsUsers_data() {
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<bool>("users");
    QTest::newRow("this process") << QCoreApplication::applicationPid() << true;
    QTest::newRow("no process") << qint64(0) << false;
}

void TestFileOwner::processIsUsers() {
    QFETCH(qint64, pid);
    QFETCH(bool, users);
    QCOMPARE(ProcessIsUsers(pid), users);
}

PMKEST_TEST_GUILESS_MAIN(TestFileOwner)
#include "tst_file_owner.moc"
