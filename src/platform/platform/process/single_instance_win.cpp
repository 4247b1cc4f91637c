#include "platform/process/single_instance.h"

#include <windows.h>

#include <QCryptographicHash>
#include <QDir>
#include <string>

#include "platform/places/runtime_folder.h"

namespace pmkest {

struct SingleInstanceGuard::Marker {
    std::wstring name;
    HANDLE mutex = nullptr;
    ~Marker() {
        if (mutex) CloseHandle(mutex);
    }
};

SingleInstanceGuard::SingleInstanceGuard(const QString& folder)
    : m_marker(std::make_unique<Marker>()) {
    QString name = QStringLiteral("MyOwnMutex");
    // Only the default folder means the one marker every copy of the program looks for.
    if (QDir::cleanPath(folder).compare(QDir::cleanPath(DefaultFolder()), Qt::CaseInsensitive))
        name +=
            QLatin1Char('-') +
            QString::fromLatin1(QCryptographicHash::hash(QDir::cleanPath(folder).toLower().toUtf8(),
                                                         QCryptographicHash::Sha1)
                                    .toHex()
                                    .left(16));
    m_marker->name = name.toStdWString();
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire() {
    if (m_marker->mutex) return true;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, m_marker->name.c_str());
    if (!mutex) return false;
    // The system created it only when no other copy holds one of that name.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_marker->mutex = mutex;
    return true;
}

QString SingleInstanceGuard::DefaultFolder() {
    return RuntimeFolder();
}

}  // namespace pmkest
