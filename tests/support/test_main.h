#pragma once
// main() for every suite: it runs in a throw-away home, so no test reads or writes the user's
// own files (settings, user-dirs.dirs, dirs.txt, the instance lock, caches).

// Suites of the layers without widgets cannot see QApplication and use the other mains.
#if __has_include(<QApplication>)
#include <QApplication>
#endif
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt_compat.h"

namespace pmkest::test {

// Points HOME, the XDG folders and the runtime folder into a temporary folder and turns on
// the test mode of QStandardPaths; everything is removed when the suite ends.
class IsolatedHome {
public:
    IsolatedHome();
    IsolatedHome(const IsolatedHome&) = delete;
    IsolatedHome& operator=(const IsolatedHome&) = delete;

private:
    QTemporaryDir m_root;
};

}  // namespace pmkest::test

#define PMKEST_TEST_MAIN_WITH(TestObject, ...)   \
    int main(int argc, char* argv[]) {           \
        pmkest::test::IsolatedHome isolatedHome; \
        __VA_ARGS__                              \
        TestObject tc;                           \
        QTEST_SET_MAIN_SOURCE_PATH               \
        return QTest::qExec(&tc, argc, argv);    \
    }

#define PMKEST_TEST_APP(App) \
    App app(argc, argv);     \
    app.setAttribute(Qt::AA_Use96Dpi, true);

// Replace QTEST_MAIN, QTEST_GUILESS_MAIN and QTEST_APPLESS_MAIN.
#define PMKEST_TEST_MAIN(TestObject) \
    PMKEST_TEST_MAIN_WITH(TestObject, PMKEST_TEST_APP(QApplication))
#define PMKEST_TEST_GUILESS_MAIN(TestObject) \
    PMKEST_TEST_MAIN_WITH(TestObject, PMKEST_TEST_APP(QCoreApplication))
#define PMKEST_TEST_APPLESS_MAIN(TestObject) PMKEST_TEST_MAIN_WITH(TestObject)
