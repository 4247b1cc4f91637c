#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/text/cp1251.h"
#include "platform/path_rules.h"
#include "support/test_files.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

namespace {

using test::P;
using test::ReadAll;
using test::WriteAll;

QByteArray Noise(int size) {
    QByteArray data(size, Qt::Uninitialized);
    auto* gen = QRandomGenerator::global();
    for (char& c : data) c = static_cast<char>(gen->bounded(256));
    return data;
}

}  // namespace

class TestFileUtils : public QObject {
    Q_OBJECT
private slots:
    void copySizes_data();
    void copySizes();
    void copyFromReadOnlySource();
    void copyFailures_data();
    void copyFailures();
    void copyOntoALockedFile();
    void shellFolders_data();
    void shellFolders();
    void shellFolderTableLimits();
    void registryShellFolders_data();
    void registryShellFolders();
    void shellFolderList_data();
    void shellFolderList();
    void sameFile_data();
    void sameFile();
    void folderRefusal_data();
    void folderRefusal();
};

void TestFileUtils::copySizes_data() {
    QTest::addColumn<int>("size");
    for (int size : {0, 1, 8191, 8192, 8193, 20000, 3 * 8192})
        QTest::newRow(QByteArray::number(size).constData()) << size;
}

void TestFileUtils::copySizes() {
    QFETCH(int, size);
    QTemporaryDir dir;
    const QByteArray data = Noise(size);
    WriteAll(dir.filePath(u"src"_s), data);
    WriteAll(dir.filePath(u"dst"_s), Noise(30000));  // a longer old file is replaced, not overlaid
    QCOMPARE(CopyFileData(P(dir.filePath(u"src"_s)), P(dir.filePath(u"dst"_s)), Language::English)
                 .error(),
             QString());
    QCOMPARE(ReadAll(dir.filePath(u"dst"_s)), data);
}

void TestFileUtils::copyFromReadOnlySource() {
    QTemporaryDir dir;
    const QString src = dir.filePath(u"ro.ini"_s);
    WriteAll(src, "A=1\r\n");
    QFile::setPermissions(src, QFile::ReadOwner | QFile::ReadGroup);
    QCOMPARE(CopyFileData(P(src), P(dir.filePath(u"copy.ini"_s)), Language::English).error(),
             QString());
    QCOMPARE(ReadAll(dir.filePath(u"copy.ini"_s)), QByteArray("A=1\r\n"));
    QCOMPARE(QFile::permissions(src) & QFile::WriteOwner, QFile::Permissions());
}

void TestFileUtils::copyFailures_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("named");  // the file the error text must name
    QTest::newRow("missing source") << "nothing.ini"
                                    << "dst"
                                    << "nothing.ini";
    QTest::newRow("source is a folder") << "folder"
                                        << "dst"
                                        << "folder";
    // The folder is what is missing, and it is what the message names.
    QTest::newRow("destination folder missing") << "src"
                                                << "no/dst"
                                                << "no:";
    QTest::newRow("destination is a folder") << "src"
                                             << "folder"
                                             << "folder";
}

void TestFileUtils::copyFailures() {
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(u"folder"_s);
    WriteAll(dir.filePath(u"src"_s), "new");
    WriteAll(dir.filePath(u"dst"_s), "old");
    const QString error =
        CopyFileData(P(dir.filePath(source)), P(dir.filePath(destination)), Language::English)
            .error();
    QVERIFY2(error.contains(test::NativePath(dir.filePath(named))), qPrintable(error));
    // The old destination stays whole and no temporary file is left behind.
    QCOMPARE(ReadAll(dir.filePath(u"dst"_s)), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestFileUtils::copyOntoALockedFile() {
#ifndef Q_OS_WIN
    QSKIP("No mandatory locks here: another program cannot hold a file against its replacement");
#else
    QTemporaryDir dir;
    WriteAll(dir.filePath(u"src"_s), "new");
    WriteAll(dir.filePath(u"dst"_s), "old");
    // Another program holds the file open and shares it with nobody.
    HANDLE held = CreateFileW(
        reinterpret_cast<const wchar_t*>(test::NativePath(dir.filePath(u"dst"_s)).utf16()),
        GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    const QString error =
        CopyFileData(P(dir.filePath(u"src"_s)), P(dir.filePath(u"dst"_s)), Language::English)
            .error();
    CloseHandle(held);
    // The message names the file and why; the old file stays whole, no temporary is left.
    QVERIFY2(error.startsWith(test::NativePath(dir.filePath(u"dst"_s)) + u": "_s),
             qPrintable(error));
    QVERIFY2(error.size() > test::NativePath(dir.filePath(u"dst"_s)).size() + 2, qPrintable(error));
    QCOMPARE(ReadAll(dir.filePath(u"dst"_s)), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
#endif
}

void TestFileUtils::shellFolders_data() {
    QTest::addColumn<QString>("userDirs");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("personal");
    const QStringList defaults = {
        u"DESKTOP = /home/ivan/Desktop"_s,     u"DOCUMENTS = /home/ivan/Documents"_s,
        u"DOWNLOAD = /home/ivan/Downloads"_s,  u"MUSIC = /home/ivan/Music"_s,
        u"PICTURES = /home/ivan/Pictures"_s,   u"PUBLICSHARE = /home/ivan/Public"_s,
        u"TEMPLATES = /home/ivan/Templates"_s, u"VIDEOS = /home/ivan/Videos"_s,
        u"PERSONAL = /home/ivan/Documents"_s};
    QTest::newRow("no file: defaults") << QString() << defaults << "/home/ivan/Desktop"
                                       << "/home/ivan/Documents";
    QStringList mixed = defaults;
    mixed[0] = u"DESKTOP = /home/ivan/Рабочий стол"_s;
    mixed[1] = u"DOCUMENTS = /data/Docs"_s;
    mixed[8] = u"PERSONAL = /data/Docs"_s;
    mixed[5] = u"PUBLICSHARE = /home/ivan/a \"q\""_s;
    QTest::newRow("file values, case kept") << "# written by xdg-user-dirs-update\n"
                                               "XDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n"
                                               "XDG_DOCUMENTS_DIR=\"/data/Docs\"\n"
                                               "XDG_PUBLICSHARE_DIR=\"$HOME/a \\\"q\\\"\"\n"
                                               "XDG_UNKNOWN_DIR=\"$HOME/x\"\n"
                                            << mixed << "/home/ivan/Рабочий стол"
                                            << "/data/Docs";
    QStringList skipped = defaults;
    skipped.removeAt(1);
    skipped[7] = u"PERSONAL = /home/ivan/文"_s;
    skipped.removeLast();
    QTest::newRow("folder CP1251 cannot name is left out")
        << "XDG_DOCUMENTS_DIR=\"$HOME/文\"\n"
        << skipped << "/home/ivan/Desktop" << QString();
}

void TestFileUtils::shellFolders() {
    QFETCH(QString, userDirs);
    QFETCH(QStringList, lines);
    QFETCH(QString, desktop);
    QFETCH(QString, personal);
    const ShellFolders folders = ShellFoldersFrom(userDirs, u"/home/ivan"_s);
    QStringList got;
    for (const std::string& line : folders.ShellFolderLines)
        if (!line.empty()) got << cp1251::ToQString(line);
    QCOMPARE(got, lines);
    QCOMPARE(cp1251::ToQString(folders.DesktopFolder), desktop);
    QCOMPARE(cp1251::ToQString(folders.PersonalFolder), personal);
}

void TestFileUtils::shellFolderTableLimits() {
    const ShellFolders folders = ShellFoldersFrom(QString(), u"/h"_s);
    QCOMPARE(folders.ShellFolderLines.size(), size_t(100));
    // The filled lines come first; the rest of the table is empty.
    QCOMPARE(folders.ShellFolderLines[8], std::string("PERSONAL = /h/Documents"));
    for (size_t i = 9; i < folders.ShellFolderLines.size(); ++i)
        QVERIFY(folders.ShellFolderLines[i].empty());
}

using RegistryValues = std::vector<std::pair<QString, QString>>;

void TestFileUtils::registryShellFolders_data() {
    QTest::addColumn<RegistryValues>("values");  // in the order the registry lists them
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("personal");
    QTest::newRow("upper-cased, Latin and Cyrillic; ё stays")
        << RegistryValues{{u"Desktop"_s, u"c:\\users\\иван\\desktop"_s},
                          {u"Personal"_s, u"D:\\ёлка\\Docs"_s},
                          {u"Fonts"_s, u"C:\\Windows\\Fonts"_s}}
        << QStringList{u"DESKTOP = C:\\USERS\\ИВАН\\DESKTOP"_s, u"PERSONAL = D:\\ёЛКА\\DOCS"_s,
                       u"FONTS = C:\\WINDOWS\\FONTS"_s}
        << u"C:\\USERS\\ИВАН\\DESKTOP"_s << u"D:\\ёЛКА\\DOCS"_s;
    QTest::newRow("a name ending in desktop feeds it too; the last line wins")
        << RegistryValues{{u"Desktop"_s, u"C:\\a"_s}, {u"Common Desktop"_s, u"C:\\b\\"_s}}
        << QStringList{u"DESKTOP = C:\\A"_s, u"COMMON DESKTOP = C:\\B\\"_s} << u"C:\\B\\"_s
        << QString();
    QTest::newRow("a folder CP1251 cannot name is left out")
        << RegistryValues{{u"Desktop"_s, u"C:\\文"_s}, {u"Personal"_s, u"C:\\P"_s}}
        << QStringList{u"PERSONAL = C:\\P"_s} << QString() << u"C:\\P"_s;
    QTest::newRow("no key: nothing") << RegistryValues{} << QStringList{} << QString() << QString();
}

void TestFileUtils::registryShellFolders() {
    QFETCH(RegistryValues, values);
    QFETCH(QStringList, lines);
    QFETCH(QString, desktop);
    QFETCH(QString, personal);
    const ShellFolders folders = ShellFoldersFromRegistry(values);
    QStringList got;
    for (const std::string& line : folders.ShellFolderLines)
        if (!line.empty()) got << cp1251::ToQString(line);
    QCOMPARE(got, lines);
    QCOMPARE(cp1251::ToQString(folders.DesktopFolder), desktop);
    QCOMPARE(cp1251::ToQString(folders.PersonalFolder), personal);
}

void TestFileUtils::shellFolderList_data() {
    // Names in the temporary folder: "file" is a file, so no folder can be made under it.
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("writtenIn");  // empty: nowhere
    QTest::addColumn<QString>("error");      // a part of it
    const int en = int(Language::English);
    QTest::newRow("a folder not there yet is made") << "run/new"
                                                    << "local" << en << "run/new" << QString();
    QTest::newRow("refused: the fallback, no error") << "file/run"
                                                     << "local" << en << "local" << QString();
    QTest::newRow("a folder CP1251 cannot name is passed over")
        << "文"
        << "local" << en << "local" << QString();
    QTest::newRow("none takes it: the last refusal") << "文"
                                                     << "file/local" << en << QString() << "local";
    QTest::newRow("the error in Russian") << "file/run" << QString() << int(Language::Russian)
                                          << QString() << "Не удалось записать список папок";
    QTest::newRow("only the folder CP1251 cannot name")
        << "文" << QString() << en << QString() << "Windows-1251";
}

void TestFileUtils::shellFolderList() {
    QFETCH(QString, folder);
    QFETCH(QString, fallback);
    QFETCH(int, language);
    QFETCH(QString, writtenIn);
    QFETCH(QString, error);
    QTemporaryDir dir;
    WriteAll(dir.filePath(u"file"_s), "not a folder");
    ShellFolders folders;
    folders.ShellFolderLines[0] = "DESKTOP = /h/\xD0\xE0\xE1";
    folders.ShellFolderLines[99] = "LAST = /x";
    auto in = [&dir](const QString& name) { return name.isEmpty() ? name : dir.filePath(name); };
    const Status written =
        WriteShellFolderList(folders, in(folder), in(fallback), Language(language));
    QVERIFY2(written.error().contains(error), qPrintable(written.error()));
    QCOMPARE(bool(written), error.isEmpty());
    if (writtenIn.isEmpty()) return;
    const QByteArray expected =
        "DESKTOP = /h/\xD0\xE0\xE1\r\n" + QByteArray("\r\n").repeated(98) + "LAST = /x\r\n";
    QCOMPARE(ReadAll(dir.filePath(writtenIn + u"/dirs.txt"_s)), expected);
    // One place is enough.
    if (writtenIn != fallback && !fallback.isEmpty())
        QVERIFY(!QFile::exists(dir.filePath(fallback + u"/dirs.txt"_s)));
}

void TestFileUtils::sameFile_data() {
    QTest::addColumn<QString>("other");  // beside kest.ini in the temporary folder
    QTest::addColumn<bool>("same");
    QTest::newRow("spelled through its folder") << "sub/../kest.ini" << true;
    QTest::newRow("another file") << "kest.res" << false;
    // Windows names files regardless of letter case; Linux does not.
    QTest::newRow("letter case") << "KEST.INI" << kNamesIgnoreCase;
}

void TestFileUtils::sameFile() {
    QFETCH(QString, other);
    QFETCH(bool, same);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    WriteAll(dir.filePath(u"kest.ini"_s), "A=1\r\n");
    WriteAll(dir.filePath(u"kest.res"_s), "A=1\r\n");
    QCOMPARE(SameFile(P(dir.filePath(u"kest.ini"_s)), P(dir.filePath(other))), same);
}

void TestFileUtils::folderRefusal_data() {
    QTest::addColumn<QString>("name");     // in the temporary folder; empty: none given
    QTest::addColumn<QString>("russian");  // the reason where it is the program's own
    QTest::addColumn<int>("systemError");  // POSIX gives its own text for this error
    QTest::newRow("no folder named") << QString() << u"Папка не указана"_s << 0;
    QTest::newRow("missing") << u"gone"_s << u"Папка не существует"_s << ENOENT;
    QTest::newRow("a file") << u"file"_s << u"Это не папка"_s << ENOTDIR;
    QTest::newRow("a folder: no reason") << u"sub"_s << QString() << 0;
}

void TestFileUtils::folderRefusal() {
    QFETCH(QString, name);
    QFETCH(QString, russian);
    QFETCH(int, systemError);
    QTemporaryDir dir;
    WriteAll(dir.filePath(u"file"_s), "x");
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const FolderRefusal refusal = FolderAccessError(name.isEmpty() ? name : dir.filePath(name));
    QCOMPARE(refusal.refused(), !russian.isEmpty());
#ifdef Q_OS_WIN
    Q_UNUSED(systemError)
#else
    if (systemError) russian = QString::fromLocal8Bit(std::strerror(systemError));
#endif
    QCOMPARE(FolderRefusalText(refusal, Language::Russian), russian);
    // The system's own text is kept in either language.
    const FolderRefusal system{FolderRefusal::Reason::System, u"Отказано"_s};
    QCOMPARE(FolderRefusalText(system, Language::English), u"Отказано"_s);
}

PMKEST_TEST_APPLESS_MAIN(TestFileUtils)
#include "tst_file_utils.moc"
