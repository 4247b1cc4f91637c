#pragma once

// The few calls that Qt 5.15 (the Windows 7 and 8.1 build) and Qt 6 spell differently; the rest
// of the program is written once, in Qt 6's words.

#include <QCryptographicHash>
#include <QLibraryInfo>
#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <cstddef>

namespace pmkest::compat {

inline QString TranslationsFolder() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// The result that a native event filter hands back.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using NativeEventResult = qintptr;
#else
using NativeEventResult = long;
#endif

// Callers hash in blocks far below Qt 5's int limit.
inline void AddHashData(QCryptographicHash& hash, const char* data, qint64 size) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    hash.addData(QByteArrayView(data, size));
#else
    hash.addData(data, static_cast<int>(size));
#endif
}

// Where a mouse event happened, in the widget's coordinates (a template: this layer has no Gui).
template <typename MouseEvent>
QPoint EventPoint(const MouseEvent& event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event.position().toPoint();
#else
    return event.pos();
#endif
}

// Windows scaled by the screen's density at its exact factor (125 %, 150 %), as Qt 6 does by
// itself; Qt 5 does it only when asked, before the application object exists. A template:
// this layer has no Gui.
template <typename GuiApplication>
void ScaleWithScreenDensity() {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    GuiApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    GuiApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    GuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

// A label's picture, by value (Qt 5's default overload returns a pointer).
template <typename Label>
auto LabelPixmap(const Label& label) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return label.pixmap();
#else
    return label.pixmap(Qt::ReturnByValue);
#endif
}

}  // namespace pmkest::compat

#if QT_VERSION < QT_VERSION_CHECK(6, 4, 0)
// Qt 6.4's u"..."_s, which the tests write their texts with.
namespace Qt::StringLiterals {
inline QString operator""_s(const char16_t* text, std::size_t size) {
    return QString(reinterpret_cast<const QChar*>(text), static_cast<int>(size));
}
}  // namespace Qt::StringLiterals
#endif

#if QT_VERSION < QT_VERSION_CHECK(6, 3, 0) && !defined(QVERIFY_THROWS_EXCEPTION)
// Qt Test's newer spelling, which the tests use.
#define QVERIFY_THROWS_EXCEPTION(type, ...) QVERIFY_EXCEPTION_THROWN((__VA_ARGS__), type)
#endif
