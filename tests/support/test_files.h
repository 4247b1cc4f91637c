#pragma once
// Whole-file helpers for tests on real files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>
#include <string>

#include "core/text/cp1251.h"

namespace pmkest::test {

// The file's bytes; "<missing>" when it cannot be read, so it never equals expected content.
inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(data), qint64(data.size()));
}

// A path from Qt (QTemporaryDir, QDir) in the form the program holds and shows: the system's
// own separators, as every path that enters from Qt is converted.
inline QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A folder as the program holds it: native form with its trailing separator.
inline QString NativeFolder(const QString& path) {
    return NativePath(path) + QDir::separator();
}

// A path as the program holds it: native separators, CP1251 bytes.
inline std::string P(const QString& path) {
    return cp1251::FromQString(NativePath(path)).value();
}

// The text as one word of a shell script.
inline QByteArray ShellQuote(const QString& text) {
    return "'" + text.toUtf8().replace("'", "'\\''") + "'";
}

}  // namespace pmkest::test
