#include "app/entry.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <algorithm>

#include "app/program_windows.h"
#include "core/app_state.h"
#include "core/files/text_file.h"
#include "core/settings/manager_settings.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/version.h"
#include "platform/locale/console_text.h"
#include "platform/process/single_instance.h"
#include "platform/process/termination_signals.h"
#include "platform/qt_compat.h"
#include "widgets/pictures.h"
#include "widgets/qt_user_dialogs.h"
#include "widgets/startup_probe.h"
#include "widgets/ui_state.h"

namespace pmkest {

namespace {

struct CommandLine {
    enum class Action { Start, Help, Version, Unknown } action = Action::Start;
    QStringList projects;  // the first one is the project file; the rest are ignored
    QStringList unknown;   // the arguments that named no option, as typed
};

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // What follows the project file is ignored, options included.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    // Never "-d -a -s -h" out of "-dash.mpm": one dash, one option.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    bool parsed = parser.parse(arguments);

    CommandLine line;
    // Only -h, -v, --help and --version: "-help" is no way of asking.
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--") || !argument.startsWith(QLatin1Char('-'))) break;
        if (!argument.startsWith(QLatin1String("--")) && argument.size() > 2) {
            parsed = false;
            line.unknown << argument;
        }
    }
    if (parsed && parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
    } else if (parsed && parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
    } else if (!parsed) {
        line.action = CommandLine::Action::Unknown;
        const QStringList names = parser.unknownOptionNames();
        for (const QString& argument : arguments.mid(1)) {
            if (argument == QLatin1String("--")) break;
            if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2) continue;
            const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
            if (names.contains(name.section(QLatin1Char('='), 0, 0)) &&
                !line.unknown.contains(argument))
                line.unknown << argument;
        }
    }
    line.projects = parser.positionalArguments();
    return line;
}

// Options the toolkit takes for itself before the program sees the command line.
bool IsToolkitOption(const QString& argument) {
    static constexpr char kNames[] =
        " platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon"
        " qwindowtitle reverse session display geometry name title visual ncols cmap nograb"
        " dograb sync style stylesheet widgetcount qmljsdebugger ";
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return !name.contains(QLatin1Char(' ')) &&
           QLatin1String(kNames).contains(QLatin1Char(' ') + name + QLatin1Char(' '));
}

// The language the user last chose; nothing is written.
Language StoredLanguage() {
    const SettingsLocation where =
        LocateManagerSettings(QCoreApplication::applicationDirPath(), QString());
    const std::optional<std::string> path = cp1251::FromQString(where.readPath);
    if (!path || !FileExists(*path)) return Language::English;
    const Expected<std::string> read = ReadWholeFile(*path, Language::English);
    if (!read) return Language::English;
    SettingsValues values;
    std::vector<QString> errors;
    ParseManagerSettings(
        SplitLines(*read), values, [](const std::string&) { return true; }, errors);
    return values.language;
}

// Help, version or a bad option: printed, no window, the settings left alone.
int AnswerWithoutWindow(const CommandLine& line) {
    const Language language = StoredLanguage();
    const QString version = QCoreApplication::applicationVersion();
    switch (line.action) {
        case CommandLine::Action::Help:
            PrintToConsole(ConsoleStream::Output,
                           Tr(UiText::CommandLineHelp, language).arg(version));
            return 0;
        case CommandLine::Action::Version:
            PrintToConsole(ConsoleStream::Output, QStringLiteral("pmkest %1\n").arg(version));
            return 0;
        case CommandLine::Action::Unknown:
            PrintToConsole(
                ConsoleStream::Errors,
                Tr(UiText::UnknownOption, language).arg(line.unknown.join(QStringLiteral(", "))));
            return 1;
        case CommandLine::Action::Start:
            break;
    }
    return 0;
}

}  // namespace

int RunProgram(int argc, char** argv, UserDialogs* dialogs, const QString& instanceFolder) {
    QCoreApplication::setApplicationName(QStringLiteral("pmkest"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    // Help, version and a plain wrong option need no display.
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = ParseCommandLine(raw);
    const bool toolkitOptions =
        std::any_of(early.unknown.begin(), early.unknown.end(), IsToolkitOption);
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version ||
        (early.action == CommandLine::Action::Unknown && !toolkitOptions)) {
        QCoreApplication core(argc, argv);
        return AnswerWithoutWindow(early);
    }

    compat::ScaleWithScreenDensity<QApplication>();
    QApplication app(argc, argv);
    // Parsed again without the toolkit's own options (-platform, -style, ...).
    const CommandLine line = ParseCommandLine(QCoreApplication::arguments());
    if (line.action != CommandLine::Action::Start) return AnswerWithoutWindow(line);

    QtUserDialogs qtDialogs;
    UserDialogs& shownDialogs = dialogs ? *dialogs : qtDialogs;

    SingleInstanceGuard guard(instanceFolder.isEmpty() ? SingleInstanceGuard::DefaultFolder()
                                                       : instanceFolder);
    if (!guard.acquire()) {
        shownDialogs.showMessage(MessageKind::Information, QStringLiteral("pmkest"),
                                 Tr(UiText::AlreadyRunning, Language::English));
        return 0;
    }

    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    // Caught from here on: a project on the command line runs KEST while the windows are made.
    TerminationSignals termination;
    StartOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.arguments = line.projects;
    options.termination = &termination;

    UiState state;
    QApplication::setWindowIcon(QIcon(PicturePath(QStringLiteral("pmkest.png"))));
    ProgramWindows windows(state, shownDialogs, options,
                           ProgramWindows::Secondary::AfterFirstPaint);
    TMain& main = *windows.main;
    qtDialogs.setParentWidget(&main);
    // Told to end before the event loop runs (during a command-line start): it is too late
    // for quit() to stop the loop, so it never starts.
    if (main.closing()) return 0;
    InstallStartupProbe(&main);
    main.show();
    return app.exec() == 0 ? 0 : 1;
}

}  // namespace pmkest
