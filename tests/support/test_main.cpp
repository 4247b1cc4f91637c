#include "support/test_main.h"

#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

namespace pmkest::test {

IsolatedHome::IsolatedHome() {
    if (!m_root.isValid()) {
        std::fprintf(stderr, "No temporary folder for the test home: %s\n",
                     qPrintable(m_root.errorString()));
        std::exit(1);
    }
    const QDir root(m_root.path());
    const auto point = [&root](const char* variable, const char* folder) {
        const QString path = root.filePath(QString::fromLatin1(folder));
        // The runtime folder must be private, or Qt refuses it.
        QDir().mkdir(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, QFile::encodeName(path));
    };
    point("HOME", "home");
    point("XDG_CONFIG_HOME", "config");
    point("XDG_CACHE_HOME", "cache");
    point("XDG_DATA_HOME", "data");
    point("XDG_STATE_HOME", "state");
    point("XDG_RUNTIME_DIR", "runtime");
    QStandardPaths::setTestModeEnabled(true);
}

}  // namespace pmkest::test
