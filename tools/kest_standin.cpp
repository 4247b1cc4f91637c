// kest-standin: plays KEST for the demo and the launch tests. It works on kest.ini in
// $KEST_INI_DIR, else in its own folder.
//   kest-standin [--set KEY=VALUE]... [--sleep MS] [--exit CODE]   change lines, wait, end
//     [--started FILE] [--wait-for FILE] [--done FILE]   for tests that end the manager at a
//     chosen moment: FILE made on start, waited for before the changes, made after them
//   kest-standin                                                     edit kest.ini in a window
// Without arguments, $KEST_STANDIN_ARGS (quoted as on a command line) stands for them.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <cstdio>
#include <string>
#include <vector>

#include "core/files/text_file.h"
#include "core/text/cp1251.h"

using namespace pmkest;

namespace {

std::string IniPath() {
    QString folder = qEnvironmentVariable("KEST_INI_DIR");
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    return cp1251::FromQString(QDir(folder).filePath(QStringLiteral("kest.ini"))).value_or("");
}

int Fail(const QString& text) {
    std::fprintf(stderr, "kest-standin: %s\n", qPrintable(text));
    return 1;
}

// Replaces the line that starts with KEY= or appends one.
void SetKey(std::vector<std::string>& lines, const std::string& assignment) {
    const std::string key = assignment.substr(0, assignment.find('=') + 1);
    for (std::string& line : lines)
        if (line.rfind(key, 0) == 0) {
            line = assignment;
            return;
        }
    lines.push_back(assignment);
}

int RunConsole(const QStringList& args) {
    std::vector<std::string> sets;
    int exitCode = 0;
    unsigned long sleepMs = 0;
    QString started, waitFor, done;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QLatin1String("--set") && hasValue) {
            const QString value = args[++i];
            const auto bytes = cp1251::FromQString(value);
            if (!bytes || !value.contains(QLatin1Char('=')))
                return Fail(QStringLiteral("bad --set value: %1").arg(value));
            sets.push_back(*bytes);
        } else if (arg == QLatin1String("--exit") && hasValue) {
            exitCode = args[++i].toInt(&ok);
        } else if (arg == QLatin1String("--sleep") && hasValue) {
            sleepMs = args[++i].toULong(&ok);
        } else if (arg == QLatin1String("--started") && hasValue) {
            started = args[++i];
        } else if (arg == QLatin1String("--wait-for") && hasValue) {
            waitFor = args[++i];
        } else if (arg == QLatin1String("--done") && hasValue) {
            done = args[++i];
        } else {
            return Fail(QStringLiteral("unknown argument: %1").arg(arg));
        }
        if (!ok) return Fail(QStringLiteral("bad number after %1").arg(arg));
    }
    auto touch = [](const QString& file) {
        QFile marker(file);
        return marker.open(QIODevice::WriteOnly);
    };
    if (!started.isEmpty() && !touch(started))
        return Fail(QStringLiteral("cannot make ") + started);
    while (!waitFor.isEmpty() && !QFile::exists(waitFor)) QThread::msleep(50);
    if (!sets.empty()) {
        const std::string path = IniPath();
        const Expected<std::string> read = ReadWholeFile(path, Language::English);
        if (!read) return Fail(read.error());
        std::vector<std::string> lines = SplitLines(*read);
        for (const std::string& assignment : sets) SetKey(lines, assignment);
        const Status written = WriteFileAtomic(path, JoinLinesCrLf(lines), Language::English);
        if (!written) return Fail(written.error());
    }
    if (!done.isEmpty() && !touch(done)) return Fail(QStringLiteral("cannot make ") + done);
    if (sleepMs > 0) QThread::msleep(sleepMs);
    return exitCode;
}

int RunWindow() {
    const std::string path = IniPath();
    const Expected<std::string> read = ReadWholeFile(path, Language::English);

    QWidget window;
    window.setWindowTitle(QStringLiteral("KEST (stand-in)"));
    auto* layout = new QVBoxLayout(&window);
    auto* where = new QLabel(read ? ToFsPath(path) : read.error(), &window);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* editor = new QPlainTextEdit(&window);
    editor->setObjectName(QStringLiteral("Editor"));
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setPlainText(cp1251::ToQString(read ? *read : std::string()));
    editor->setReadOnly(!read);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("Save and exit"), &window);
    auto* leave = new QPushButton(QStringLiteral("Exit"), &window);
    save->setEnabled(read.ok());
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(leave);
    layout->addWidget(where);
    layout->addWidget(editor);
    layout->addLayout(buttons);

    QObject::connect(leave, &QPushButton::clicked, &window, &QWidget::close);
    QObject::connect(save, &QPushButton::clicked, &window, [&] {
        const auto bytes = cp1251::FromQString(editor->toPlainText());
        if (!bytes) {
            where->setText(QStringLiteral("The text holds characters that CP1251 cannot store."));
            return;
        }
        const Status written =
            WriteFileAtomic(path, JoinLinesCrLf(SplitLines(*bytes)), Language::English);
        if (!written) {
            where->setText(written.error());
            return;
        }
        window.close();
    });
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        return RunConsole(QCoreApplication::arguments().mid(1));
    }
    // KEST is started without arguments, so as kest.exe the stand-in takes its instructions
    // from the environment.
    const QString fromEnvironment = qEnvironmentVariable("KEST_STANDIN_ARGS");
    if (!fromEnvironment.isEmpty()) {
        QCoreApplication app(argc, argv);
        return RunConsole(QProcess::splitCommand(fromEnvironment));
    }
    QApplication app(argc, argv);
    return RunWindow();
}
