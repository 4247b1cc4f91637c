#include "core/wine/wine_setup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/text/cp1251.h"

namespace pmkest {

namespace {

QString WithSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void AddDrive(WineDrives& drives, char letter, const QString& root) {
    const std::optional<std::string> bytes = cp1251::FromQString(WithSlash(root));
    if (bytes && !root.isEmpty()) drives.push_back({letter, *bytes});
}

// Locales whose Windows code page Wine takes as 1251.
constexpr const char* kCp1251Languages[] = {"ru_", "uk_", "be_", "bg_", "mk_", "sr_RS"};
constexpr const char* kCandidates[] = {"ru_RU.UTF-8", "ru_RU.utf8", "uk_UA.UTF-8", "be_BY.UTF-8",
                                       "bg_BG.UTF-8"};

bool IsCp1251Utf8(const QString& locale) {
    const QString lower = locale.toLower();
    if (!lower.contains(QLatin1String(".utf-8")) && !lower.contains(QLatin1String(".utf8")))
        return false;
    for (const char* language : kCp1251Languages)
        if (locale.startsWith(QLatin1String(language))) return true;
    return false;
}

bool IsAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

bool KestRunsUnderWine(const std::string& kestFolder) {
    const QFileInfo native(cp1251::ToQString(kestFolder + "kest"));
    return !(native.isFile() && native.isExecutable());
}

bool KestReadsWinePaths(const std::string& kestFolder) {
    return KestRunsUnderWine(kestFolder) &&
           ReadPeMachine(cp1251::ToQString(kestFolder + "kest.exe")) != PeMachine::NotPe;
}

QString WinePrefixFor(const QString& kestFolder, const QProcessEnvironment& env) {
    // The nearest drive_c above the KEST folder, in a folder Wine has made a prefix of.
    QDir dir(QFileInfo(kestFolder).absoluteFilePath());
    do {
        if (dir.dirName() == QLatin1String("drive_c")) {
            QDir prefix = dir;
            if (prefix.cdUp() &&
                (QFileInfo(prefix.filePath(QStringLiteral("dosdevices"))).isDir() ||
                 QFileInfo::exists(prefix.filePath(QStringLiteral("system.reg")))))
                return prefix.absolutePath();
        }
    } while (dir.cdUp());
    const QString fromEnv = env.value(QStringLiteral("WINEPREFIX"));
    if (!fromEnv.isEmpty()) return QDir(fromEnv).absolutePath();
    return QDir::home().filePath(QStringLiteral(".wine"));
}

WineDrives ReadWineDrives(const QString& prefix) {
    WineDrives drives;
    const QDir devices(QDir(prefix).filePath(QStringLiteral("dosdevices")));
    const QStringList names =
        devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (name.size() != 2 || name[1] != QLatin1Char(':') || name[0] < QLatin1Char('a') ||
            name[0] > QLatin1Char('z'))
            continue;
        const QString target = QFileInfo(devices.filePath(name)).canonicalFilePath();
        if (!target.isEmpty() && QFileInfo(target).isDir())
            AddDrive(drives, name[0].toLatin1(), target);
    }
    if (!QFileInfo(devices.path()).isDir()) {
        AddDrive(drives, 'c', QDir(prefix).filePath(QStringLiteral("drive_c")));
        AddDrive(drives, 'z', QStringLiteral("/"));
    }
    return drives;
}

bool PrefixReady(const QString& prefix) {
    return QFileInfo::exists(QDir(prefix).filePath(QStringLiteral("system.reg")));
}

QString WineAskedFor(const QProcessEnvironment& env) {
    const QString wine = env.value(QStringLiteral("WINE"));
    return wine.isEmpty() ? QStringLiteral("wine") : wine;
}

QString FindWine(const QString& asked) {
    if (asked.contains(QLatin1Char('/'))) {
        const QFileInfo info(asked);
        return info.isFile() && info.isExecutable() ? asked : QString();
    }
    return QStandardPaths::findExecutable(asked);
}

PeMachine ReadPeMachine(const QString& exe) {
    // Opening a pipe would wait for a writer.
    if (!QFileInfo(exe).isFile()) return PeMachine::NotPe;
    QFile file(exe);
    if (!file.open(QIODevice::ReadOnly)) return PeMachine::NotPe;
    const QByteArray dos = file.read(64);
    if (dos.size() < 64 || !dos.startsWith("MZ")) return PeMachine::NotPe;
    const auto byte = [](const QByteArray& b, int i) {
        return static_cast<quint32>(static_cast<unsigned char>(b[i]));
    };
    const quint32 offset =
        byte(dos, 60) | byte(dos, 61) << 8 | byte(dos, 62) << 16 | byte(dos, 63) << 24;
    if (!file.seek(offset)) return PeMachine::NotPe;
    const QByteArray header = file.read(6);
    if (header.size() < 6 || !header.startsWith(QByteArray("PE\0\0", 4))) return PeMachine::NotPe;
    switch (byte(header, 4) | byte(header, 5) << 8) {
        case 0x014c:
            return PeMachine::I386;
        case 0x8664:
            return PeMachine::Amd64;
        default:
            return PeMachine::Other;
    }
}

bool WineRuns32Bit(const QString& wineProgram) {
    const QString program = QFileInfo(wineProgram).canonicalFilePath();
    if (program.isEmpty()) return false;
    const QDir bin = QFileInfo(program).dir();
    // bin/../lib/wine (upstream), Debian's multiarch folders, lib32, and the loader's own
    // folder (Debian's /usr/lib/wine/wine64).
    const char* const places[] = {"../lib/wine",
                                  "../lib/i386-linux-gnu/wine",
                                  "../lib32/wine",
                                  "../lib64/wine",
                                  "../lib/x86_64-linux-gnu/wine",
                                  "../i386-linux-gnu/wine",
                                  ".",
                                  ".."};
    for (const char* place : places)
        if (QFileInfo::exists(
                bin.filePath(QLatin1String(place) + QLatin1String("/i386-windows/ntdll.dll"))))
            return true;
    return false;
}

QString Cp1251Locale(const QProcessEnvironment& env, const LocaleProbe& installed) {
    // The locale that decides the character set, as the C library picks it.
    QString own;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        own = env.value(QLatin1String(name));
        if (!own.isEmpty()) break;
    }
    if (IsCp1251Utf8(own) && installed(own)) return own;
    for (const char* candidate : kCandidates)
        if (installed(QLatin1String(candidate))) return QLatin1String(candidate);
    return {};
}

WineStart PrepareWineStart(const std::string& kestFolder,
                           const std::vector<std::string>& neededPaths,
                           const QProcessEnvironment& env, const LocaleProbe& installed) {
    WineStart start;
    const QString asked = WineAskedFor(env);
    start.wine = FindWine(asked);
    if (start.wine.isEmpty()) {
        start.problem = WineStart::WineMissing;
        start.subject = asked;
        return start;
    }
    const QString exe = cp1251::ToQString(kestFolder + "kest.exe");
    if (ReadPeMachine(exe) == PeMachine::I386 && !WineRuns32Bit(start.wine)) {
        start.problem = WineStart::Needs32Bit;
        start.subject = exe;
        return start;
    }
    const QString locale = Cp1251Locale(env, installed);
    if (locale.isEmpty()) {
        for (const std::string& path : neededPaths) {
            if (IsAscii(path)) continue;
            start.problem = WineStart::NeedsLocale;
            start.subject = cp1251::ToQString(path);
            return start;
        }
    }
    start.prefix = WinePrefixFor(cp1251::ToQString(kestFolder), env);
    start.prefixReady = PrefixReady(start.prefix);
    start.drives = ReadWineDrives(start.prefix);
    start.environment = env;
    start.environment.insert(QStringLiteral("WINEPREFIX"), start.prefix);
    if (!locale.isEmpty()) {
        start.environment.insert(QStringLiteral("LC_ALL"), locale);
        start.environment.insert(QStringLiteral("LANG"), locale);
    }
    return start;
}

}  // namespace pmkest
