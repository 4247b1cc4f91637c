#pragma once
// What the launch benchmarks share: dialogs that only print, and file steps that stop the
// bench when they fail (a bench on a failed step measures nothing).

#include <QFile>
#include <QString>
#include <cstdio>
#include <string>

#include "core/files/file_utils.h"
#include "core/user_dialogs.h"
#include "platform/qt_compat.h"

namespace pmkest::bench {

// Prints each message and counts them, so a bench can stop when a start failed.
class QuietDialogs final : public UserDialogs {
public:
    void showMessage(MessageKind, const QString&, const QString& text) override {
        std::printf("  message: %s\n", qPrintable(text));
        ++shown;
    }
    bool askYesNo(const QString&, const QString&) override { return false; }
    FileDialogResult openFile(const FileDialogRequest&) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
    void openDocument(const QString&) override {}
    int shown = 0;
};

inline void Copy(const std::string& from, const std::string& to) {
    const Status copied = CopyFileData(from, to, Language::English);
    if (!copied) qFatal("%s", qPrintable(copied.error()));
}

inline void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    f.write(data);
}

}  // namespace pmkest::bench
