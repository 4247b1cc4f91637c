#include "core/text/ui_texts.h"

namespace pmkest {

QString Tr(UiText id, Language language) {
    const bool ru = language == Language::Russian;
    switch (id) {
        case UiText::NoKestPath:
            return ru ? QStringLiteral("Не введен путь к программе KEST")
                      : QStringLiteral("Do not put the path to the KEST");
        case UiText::NoKestIniPath:
            return ru ? QStringLiteral("Не введен путь к файлу инициализации программы KEST")
                      : QStringLiteral("Do not put the path program initialization KEST");
        case UiText::NoProjectName:
            return ru ? QStringLiteral("Имя файла проекта не введено")
                      : QStringLiteral("Do not enter the name of the project file");
        case UiText::ProjectNotFound:
            return ru ? QStringLiteral("Файл проекта не найден")
                      : QStringLiteral("The project file not found");
        case UiText::AlternateIniNotFound:
            return ru ? QStringLiteral("Альтернативный файл инициализации не найден")
                      : QStringLiteral("Alternate initialization file not found");
        case UiText::LibraryComponentNotFound:
            return ru ? QStringLiteral("Библиотечный компонент не найден")
                      : QStringLiteral("Library component not found");
        case UiText::MainCaption:
            return ru ? QStringLiteral("Менеджер проектов KEST [13.01.09]")
                      : QStringLiteral("Project manager for KEST [13.01.09]");
        case UiText::MainDesignCaption:
            return QStringLiteral("Менеджер проектов KEST");
        case UiText::ButtonStart:
            return ru ? QStringLiteral("Запуск") : QStringLiteral("Start");
        case UiText::ButtonKestIniPath:
            return ru ? QStringLiteral("Путь KEST.INI") : QStringLiteral("Path KEST.INI");
        case UiText::ButtonOpenProject:
            return ru ? QStringLiteral("Выбрать проект") : QStringLiteral("Open Project");
        case UiText::ButtonClose:
            return ru ? QStringLiteral("Закрыть") : QStringLiteral("Close");
        case UiText::ButtonKestPath:
            return ru ? QStringLiteral("Путь KEST") : QStringLiteral("Path KEST");
        case UiText::ButtonHelp:
            return ru ? QStringLiteral("Справка") : QStringLiteral("Help");
        case UiText::MenuFile:
            return ru ? QStringLiteral("Файл") : QStringLiteral("File");
        case UiText::MenuCreateProject:
            return ru ? QStringLiteral("Создать новый проект")
                      : QStringLiteral("Create New Project");
        case UiText::MenuEditCurrentProject:
            return ru ? QStringLiteral("Редактировать загруженный проект")
                      : QStringLiteral("Edit Loaded Project");
        case UiText::MenuEditProject:
            return ru ? QStringLiteral("Редактировать проект") : QStringLiteral("Edit Project");
        case UiText::MenuOpenProject:
            return ru ? QStringLiteral("Открыть проект") : QStringLiteral("Open Project");
        case UiText::MenuReopenProject:
            return ru ? QStringLiteral("Ранее открытые проекты") : QStringLiteral("Reopen Project");
        case UiText::MenuExit:
            return ru ? QStringLiteral("Выйти") : QStringLiteral("Exit");
        case UiText::MenuHelp:
            return ru ? QStringLiteral("Справка") : QStringLiteral("Help");
        case UiText::MenuAbout:
            return ru ? QStringLiteral("О программе") : QStringLiteral("About");
        case UiText::HideWindow:
            return ru ? QStringLiteral("Скрыть окно") : QStringLiteral("Hide Window");
        case UiText::HelpPage:
            return ru ? QStringLiteral("kesttoolsr.html") : QStringLiteral("kesttoolse.html");
        case UiText::LanguageName:
            return ru ? QStringLiteral("Русский") : QStringLiteral("English");
        case UiText::RussianFlag:
            return ru ? QStringLiteral("Русский") : QStringLiteral("Russian");
        case UiText::EnglishFlag:
            return ru ? QStringLiteral("Английский") : QStringLiteral("English");
        case UiText::CommandLineCaption:
            return ru ? QStringLiteral("Опции командной строки")
                      : QStringLiteral("Command Line Option");
        case UiText::CommandLineDesignCaption:
            return QStringLiteral("Command Line Of Turbo51");
        case UiText::Cancel:
            return ru ? QStringLiteral("Отмена") : QStringLiteral("Cancel");
        case UiText::Ok:
            return QStringLiteral("Ok");
        case UiText::OptionsCaption:
            return QStringLiteral("Editor of the command line options  [%1]");
        case UiText::OptionsDesignCaption:
            return QStringLiteral("Editor of the command line options");
        case UiText::OptionsExit:
            return QStringLiteral("Exit");
        case UiText::OptionsManualInput:
            return QStringLiteral("Manual Input");
        case UiText::OptionsOkClose:
            return QStringLiteral("Ok - Close");
        case UiText::OptionsCancelClose:
            return QStringLiteral("Cancel - Close");
        case UiText::SwitchAssemblerFile:
            return QStringLiteral("Generate assembler file");
        case UiText::SwitchBuild:
            return QStringLiteral("Build");
        case UiText::SwitchErrorColumn:
            return QStringLiteral("Show error column number");
        case UiText::SwitchConditionals:
            return QStringLiteral("Define conditionals");
        case UiText::SwitchMapFile:
            return QStringLiteral("Generate map file");
        case UiText::SwitchHexFile:
            return QStringLiteral("Generate Intel HEX file");
        case UiText::SwitchLibraryA:
            return QStringLiteral(
                "Use library Turbo51A.l51 (compiled with $A+, ACALL/AJMP instructions)");
        case UiText::SwitchMakeUnits:
            return QStringLiteral("Make modified units");
        case UiText::SwitchOmfFile:
            return QStringLiteral("Generate OMF-51 file");
        case UiText::SwitchExtendedOmf:
            return QStringLiteral(
                "Generate extended OMF-51 file (needed for source-level debugging)");
        case UiText::SwitchQuiet:
            return QStringLiteral("Quiet compile");
        case UiText::SwitchSyntaxCheck:
            return QStringLiteral("Syntax check");
        case UiText::MemoryGlobals:
            return QStringLiteral("Set default memory type for global variables");
        case UiText::MemoryLocals:
            return QStringLiteral("Set default memory type for local variables");
        case UiText::MemoryParameters:
            return QStringLiteral("Set default memory type for parameter variables");
        case UiText::MemoryTemporaries:
            return QStringLiteral("Set default memory type for temporary variables");
        case UiText::DirectoryOutput:
            return QStringLiteral("BIN/HEX/U51/OMF output directory");
        case UiText::DirectoryL51:
            return QStringLiteral("L51/CFG directory");
        case UiText::DirectoryUnits:
            return QStringLiteral("Unit file directories");
        case UiText::DirectoryIncludes:
            return QStringLiteral("Include file directories");
        case UiText::DirectoryObjects:
            return QStringLiteral("Object file directories");
        case UiText::ChooserCaption:
            return QStringLiteral("Open Directory");
        case UiText::ChooserComputer:
            return QStringLiteral("Computer");
        case UiText::ChooserDesktop:
            return QStringLiteral("Desktop");
        case UiText::ChooserPersonal:
            return QStringLiteral("Personal");
        case UiText::AboutCaption:
            return QStringLiteral("About");
        case UiText::AboutProduct:
            return QStringLiteral("Project manager for KEST");
        case UiText::AboutVersion:
            return QStringLiteral("Version %1");
        case UiText::AboutCopyright:
            return QStringLiteral("Projects for the KEST 8051 environment");
        case UiText::AboutComments:
            return QStringLiteral(
                "Keeps a copy of kest.ini for every project, starts KEST on it and brings back "
                "what KEST changed.");
        case UiText::AboutOk:
            return QStringLiteral("OK");
        case UiText::KestProblems:
            return QStringLiteral("Problems!");
        case UiText::WineNoteCaption:
            return QStringLiteral("Wine");
        case UiText::AlreadyRunning:
            return QStringLiteral("Program Is Already Running!");
        case UiText::SettingsNotWritten:
            return ru ? QStringLiteral("Не удалось записать настройки менеджера:\n%1")
                      : QStringLiteral("The manager settings could not be written:\n%1");
        case UiText::CloseAnyway:
            return ru ? QStringLiteral("Закрыть программу без сохранения настроек?")
                      : QStringLiteral("Close the program without saving the settings?");
        case UiText::EditWhileRunning:
            return ru ? QStringLiteral(
                            "KEST сейчас работает с этим проектом:\n%1\n\nПосле завершения KEST "
                            "его настройки будут скопированы обратно и изменения пропали бы. "
                            "Закройте KEST и повторите.")
                      : QStringLiteral(
                            "KEST is running on this project:\n%1\n\nWhen KEST ends, its settings "
                            "are copied back and the changes would be lost. Close KEST and try "
                            "again.");
        case UiText::PathNotStorable:
            return ru ? QStringLiteral(
                            "Путь содержит символы, которые программа не может "
                            "сохранить (кодировка Windows-1251):\n%1")
                      : QStringLiteral(
                            "The path holds characters that the program cannot "
                            "store (Windows-1251 code page):\n%1");
        case UiText::PathHoldsLineBreak:
            return ru ? QStringLiteral(
                            "Путь содержит перевод строки, и файл настроек не может его "
                            "сохранить. Переименуйте папку или файл и выберите снова:\n%1")
                      : QStringLiteral(
                            "The path holds a line break, which the settings files cannot "
                            "store. Rename the folder or file and choose it again:\n%1");
        case UiText::PathHoldsKey:
            return ru ? QStringLiteral(
                            "Путь содержит текст \"%2\", который файл настроек прочёл бы "
                            "как отдельную настройку. Переименуйте папку или файл и "
                            "выберите снова:\n%1")
                      : QStringLiteral(
                            "The path holds the text \"%2\", which the settings files "
                            "would read as a setting of its own. Rename the folder or file "
                            "and choose it again:\n%1");
        case UiText::EndKestQuestion:
            return ru ? QStringLiteral(
                            "KEST ещё работает. Завершить KEST?\n"
                            "Несохранённые в KEST изменения будут потеряны.")
                      : QStringLiteral(
                            "KEST is still running. End KEST?\n"
                            "Work not saved in KEST will be lost.");
        case UiText::SwapFailed:
            return ru ? QStringLiteral("KEST не запущен: не удалось скопировать\n%1\nв\n%2\n%3")
                      : QStringLiteral("KEST was not started: could not copy\n%1\nto\n%2\n%3");
        case UiText::CopyBackFailed:
            return ru ? QStringLiteral(
                            "Не удалось скопировать\n%1\nв\n%2\n%3\nРезультат работы KEST остался "
                            "в\n%1")
                      : QStringLiteral(
                            "Could not copy\n%1\nto\n%2\n%3\nKEST's result is still in\n%1");
        case UiText::CopyBackWhatNext:
            return ru ? QStringLiteral(
                            "Сделайте файл проекта доступным для записи, затем снова нажмите "
                            "«Запуск» или перезапустите менеджер: результат будет скопирован "
                            "в проект.")
                      : QStringLiteral(
                            "Make the project file writable, then press Start again or restart "
                            "the manager: the result is then copied into the project.");
        case UiText::FileIsReadOnly:
            return ru ? QStringLiteral("файл только для чтения")
                      : QStringLiteral("the file is read-only");
        case UiText::RunIniIsPreRun:
            return ru ? QStringLiteral(
                            "Последний запуск KEST с проектом\n%1\n(начат %2) был прерван. "
                            "Теперь\n%3\nсодержит тот же файл, что был до запуска; это не "
                            "результат работы KEST.\n\nВсё равно скопировать его в файл "
                            "настроек проекта\n%4?\nНынешняя версия проекта будет сохранена "
                            "как резервная копия.")
                      : QStringLiteral(
                            "The last run of KEST on the project\n%1\n(started %2) was cut "
                            "short. Now\n%3\nholds the same file as before the run; it is not "
                            "KEST's result.\n\nCopy it into the project settings file\n%4\n"
                            "anyway? The project's present version is kept as a backup.");
        case UiText::DirsNotWritten:
            return ru ? QStringLiteral("Не удалось записать список папок пользователя:\n%1")
                      : QStringLiteral("The list of user folders could not be written:\n%1");
        case UiText::FolderNotEntered:
            return ru ? QStringLiteral("Не удалось открыть папку\n%1\n%2")
                      : QStringLiteral("The folder cannot be opened\n%1\n%2");
        case UiText::CommandLineHelp:
            return ru ? QStringLiteral(
                            "Использование: pmkest [параметры] [проект.mpm]\n"
                            "Менеджер проектов KEST, версия %1.\n\n"
                            "Параметры:\n"
                            "  -h, --help     показать эту справку и выйти\n"
                            "  -v, --version  показать версию и выйти\n\n"
                            "Аргументы:\n"
                            "  проект.mpm     файл проекта: он становится текущим, и "
                            "KEST сразу\n"
                            "                 запускается с ним; имя, начинающееся с "
                            "\"-\", пишите\n"
                            "                 после \"--\"\n")
                      : QStringLiteral(
                            "Usage: pmkest [options] [project.mpm]\n"
                            "Project manager for KEST, version %1.\n\n"
                            "Options:\n"
                            "  -h, --help     show this help and exit\n"
                            "  -v, --version  show the version and exit\n\n"
                            "Arguments:\n"
                            "  project.mpm    a project file: it becomes the current "
                            "project and KEST\n"
                            "                 starts on it at once; a name that begins "
                            "with \"-\" goes\n"
                            "                 after \"--\"\n");
        case UiText::UnknownOption:
            return ru ? QStringLiteral(
                            "pmkest: неизвестный параметр: %1\n"
                            "Список параметров: pmkest --help\n")
                      : QStringLiteral(
                            "pmkest: unknown option: %1\n"
                            "For the options see: pmkest --help\n");
        case UiText::TitleError:
            return ru ? QStringLiteral("Ошибка") : QStringLiteral("Error");
        case UiText::TitleInformation:
            return ru ? QStringLiteral("Информация") : QStringLiteral("Information");
        case UiText::TitleConfirm:
            return ru ? QStringLiteral("Подтверждение") : QStringLiteral("Confirm");
        case UiText::TitleWarning:
            return ru ? QStringLiteral("Предупреждение") : QStringLiteral("Warning");
        case UiText::TitleProgram:
            return ru ? QStringLiteral("Менеджер проектов KEST")
                      : QStringLiteral("Project manager for KEST");
        case UiText::JournalNotWritten:
            return ru ? QStringLiteral(
                            "KEST не запущен: не удалось записать журнал запуска\n%1\n%2")
                      : QStringLiteral(
                            "KEST was not started: the run journal could not be written:\n%1\n%2");
        case UiText::RunInterrupted:
            return ru ? QStringLiteral(
                            "Последний запуск KEST с проектом\n%1\n(начат %2) был прерван: "
                            "менеджер завершился, пока работал KEST. Результат работы KEST "
                            "остался в\n%3\n\nСкопировать его сейчас обратно в файл настроек "
                            "проекта\n%4?\nЕсли этот файл тем временем изменила другая "
                            "программа, её версия будет сохранена рядом с ним как резервная "
                            "копия.")
                      : QStringLiteral(
                            "The last run of KEST on the project\n%1\n(started %2) was cut "
                            "short: the manager ended while KEST was running. KEST's result is "
                            "still in\n%3\n\nCopy it back into the project settings file\n%4\n"
                            "now? If another program changed that file meanwhile, its version is "
                            "kept as a backup beside it.");
        case UiText::RunRecovered:
            return ru ? QStringLiteral("Результат работы KEST скопирован обратно в\n%1")
                      : QStringLiteral("KEST's result was copied back into\n%1");
        case UiText::BackupKept:
            return ru ? QStringLiteral("Прежняя версия сохранена как\n%1")
                      : QStringLiteral("The previous version is kept as\n%1");
        case UiText::NothingCopied:
            return ru ? QStringLiteral("Ничего не скопировано; этот файл не изменён:\n%1")
                      : QStringLiteral("Nothing was copied; this file is as it was:\n%1");
        case UiText::MovedAside:
            return ru ? QStringLiteral("Журнал запуска отложен под новым именем:\n%1")
                      : QStringLiteral("The run journal is set aside under a new name:\n%1");
        case UiText::CopyKept:
            return ru ? QStringLiteral("Копия kest.ini сохранена как\n%1")
                      : QStringLiteral("A copy of kest.ini is kept as\n%1");
        case UiText::JournalUnusable:
            return ru ? QStringLiteral(
                            "Журнал прерванного запуска KEST не может быть использован:\n%1\n%2\n"
                            "Ничего не скопировано.")
                      : QStringLiteral(
                            "The journal of an interrupted run of KEST cannot be used:\n%1\n%2\n"
                            "Nothing was copied.");
        case UiText::JournalDamaged:
            return ru ? QStringLiteral("Он повреждён или неполон.")
                      : QStringLiteral("It is damaged or incomplete.");
        case UiText::JournalOtherVersion:
            return ru ? QStringLiteral("Он записан другой версией программы.")
                      : QStringLiteral("It was written by another version of the program.");
        case UiText::JournalForeignKestIni:
            return ru ? QStringLiteral("В нём указан другой файл инициализации KEST: %1")
                      : QStringLiteral("It names another KEST initialisation file: %1");
        case UiText::JournalNoSettingsFile:
            return ru ? QStringLiteral(
                            "Указанный в нём файл настроек проекта отсутствует или не "
                            "является обычным файлом: %1")
                      : QStringLiteral(
                            "The project settings file it names is missing or is not a "
                            "regular file: %1");
        case UiText::JournalUnreadable:
            return ru ? QStringLiteral("Его не удалось прочитать: %1")
                      : QStringLiteral("It cannot be read: %1");
        case UiText::JournalPhaseOutOfOrder:
            return ru ? QStringLiteral("Этапы запуска в нём идут не по порядку.")
                      : QStringLiteral("It names the phases of the run out of order.");
        case UiText::JournalFitsNoFile:
            return ru ? QStringLiteral(
                            "Записанное в нём не подходит ни к одному из файлов kest.ini и "
                            "kest.res.")
                      : QStringLiteral(
                            "What it records fits neither kest.ini nor kest.res as they are "
                            "now.");
        case UiText::StartInterrupted:
            return ru ? QStringLiteral(
                            "Последний запуск KEST с проектом %1 был прерван до того, как "
                            "KEST начал работу; ничего не потеряно.")
                      : QStringLiteral(
                            "The last start of KEST on the project %1 was interrupted before "
                            "KEST ran; nothing was lost.");
        case UiText::RunUnchanged:
            return ru ? QStringLiteral(
                            "Последний запуск KEST с проектом %1 был прерван, но KEST ничего "
                            "не изменил: файл %2 остался прежним.")
                      : QStringLiteral(
                            "The last run of KEST on the project %1 was cut short, but KEST "
                            "changed nothing: %2 is as it was.");
        case UiText::ChangedDuringRun:
            return ru ? QStringLiteral(
                            "Этот файл был изменён другой программой, пока работал KEST:\n%1\nЭта "
                            "версия сохранена как\n%2\nРезультат работы KEST скопирован поверх "
                            "неё.")
                      : QStringLiteral(
                            "This file was changed by another program while KEST was "
                            "running:\n%1\nThat version is kept as\n%2\nKEST's result was copied "
                            "over it.");
        case UiText::BackupFailed:
            return ru ? QStringLiteral(
                            "Не удалось сохранить резервную копию\n%1\nпоэтому результат работы "
                            "KEST не скопирован в него; результат остался в\n%2\n%3")
                      : QStringLiteral(
                            "Could not keep a backup of\n%1\nso KEST's result was not copied into "
                            "it; the result is still in\n%2\n%3");
        case UiText::OutsideWineDrives:
            return ru ? QStringLiteral(
                            "Wine не видит путь\n%1\nон не лежит ни на одном диске "
                            "префикса Wine. Ничего не записано.")
                      : QStringLiteral(
                            "Wine cannot reach the path\n%1\nit lies outside every drive "
                            "of the Wine prefix. Nothing was written.");
        case UiText::WineNotFound:
            return ru ? QStringLiteral(
                            "KEST не запущен: программа Wine (%1) не найдена. Установите "
                            "пакет wine или укажите программу Wine в переменной "
                            "окружения WINE.")
                      : QStringLiteral(
                            "KEST was not started: the Wine program (%1) was not found. "
                            "Install the package wine, or name the Wine program in the "
                            "environment variable WINE.");
        case UiText::Wine32Missing:
            return ru ? QStringLiteral(
                            "KEST не запущен: %1 - 32-разрядная программа Windows, а "
                            "этот Wine не запускает 32-разрядные программы. Установите "
                            "пакет wine32 (от root: dpkg --add-architecture i386 && "
                            "apt-get update && apt-get install wine32:i386).")
                      : QStringLiteral(
                            "KEST was not started: %1 is a 32-bit Windows program, and "
                            "this Wine cannot run 32-bit programs. Install the package "
                            "wine32 (as root: dpkg --add-architecture i386 && apt-get "
                            "update && apt-get install wine32:i386).");
        case UiText::NoCp1251Locale:
            return ru ? QStringLiteral(
                            "KEST не запущен: путь\n%1\nсодержит буквы, которые KEST "
                            "под Wine прочтёт только в русской локали (кодовая страница "
                            "1251), а в системе её нет. Установите пакет locales и "
                            "создайте локаль ru_RU.UTF-8 (от root: localedef -i ru_RU "
                            "-f UTF-8 ru_RU.UTF-8).")
                      : QStringLiteral(
                            "KEST was not started: the path\n%1\nholds letters that "
                            "KEST under Wine reads only in a Russian locale (code page "
                            "1251), and the system has none. Install the package locales "
                            "and generate the locale ru_RU.UTF-8 (as root: localedef -i "
                            "ru_RU -f UTF-8 ru_RU.UTF-8).");
        case UiText::PreparingPrefix:
            return ru ? QStringLiteral(
                            "Wine готовит префикс %1 к первому запуску. Это займёт "
                            "некоторое время; KEST появится, когда всё будет готово.")
                      : QStringLiteral(
                            "Wine is preparing the prefix %1 for its first start. This "
                            "takes a while; KEST appears when it is ready.");
        case UiText::ExitCodeTitle:
            return ru ? QStringLiteral("KEST: код завершения %1")
                      : QStringLiteral("KEST: exit code %1");
        case UiText::WineInUse:
            return ru ? QStringLiteral("Wine: %1, префикс %2")
                      : QStringLiteral("Wine: %1, prefix %2");
        case UiText::AnsiCodePageNot1251:
            return ru ? QStringLiteral(
                            "KEST не запущен: путь\n%1\nсодержит буквы, которые KEST "
                            "прочтёт только в кодовой странице 1251, а в системе кодовая "
                            "страница %2. Выберите в Панели управления (Региональные "
                            "стандарты, Дополнительно, Язык программ, не поддерживающих "
                            "Юникод) русский язык или переименуйте папки латинскими буквами.")
                      : QStringLiteral(
                            "KEST was not started: the path\n%1\nholds letters that KEST "
                            "reads only in code page 1251, and the system's code page is %2. "
                            "Set Russian as the language for non-Unicode programs (Control "
                            "Panel, Region, Administrative) or name the folders in Latin "
                            "letters.");
        case UiText::KestIniInStore:
            return ru ? QStringLiteral("KEST читает копию kest.ini из VirtualStore: %1")
                      : QStringLiteral("KEST reads the VirtualStore copy of kest.ini: %1");
        case UiText::FolderHoldsBlank:
            return ru ? QStringLiteral(
                            "В имени папки есть пробел:\n%1\n\nКлюч компилятора кончается на "
                            "пробеле, и Turbo51 искал бы другую папку. Выберите папку без "
                            "пробелов в пути.")
                      : QStringLiteral(
                            "The folder name holds a blank:\n%1\n\nA compiler switch ends at "
                            "a blank, so Turbo51 would look for another folder. Choose a folder "
                            "whose path has no blanks.");
        case UiText::OtherManagersRun:
            return ru ? QStringLiteral(
                            "KEST уже работает с проектом\n%1\nЕго запустил другой менеджер "
                            "проектов (процесс %2) в %3, и тот ещё работает. Этот запуск ничего "
                            "не меняет; результат KEST вернёт в проект тот менеджер.")
                      : QStringLiteral(
                            "KEST is already running on the project\n%1\nIt was started at %3 "
                            "by another project manager (process %2), which is still running. "
                            "This start changes nothing; that manager copies KEST's result "
                            "back into its project.");
        case UiText::ResultCannotGoBack:
            return ru ? QStringLiteral(
                            "Результат работы KEST нельзя было бы скопировать обратно в\n%1\n"
                            "потому что\n%2\n\nKEST не запущен, файлы не изменены.")
                      : QStringLiteral(
                            "KEST's result could not be copied back into\n%1\nafter the run, "
                            "because\n%2\n\nKEST was not started; no file was changed.");
        case UiText::WaitingForKest:
            return ru ? QStringLiteral("Ожидание KEST, запущен %1 с проектом %2")
                      : QStringLiteral("Waiting for KEST, started %1 on %2");
        case UiText::CopyBackWasCutShort:
            return ru ? QStringLiteral(
                            "KEST завершился, но его результат не удалось скопировать обратно "
                            "в проект.")
                      : QStringLiteral(
                            "KEST ended, but its result could not be copied back into the "
                            "project.");
        case UiText::FileIsFolder:
            return ru ? QStringLiteral("это папка, а не файл")
                      : QStringLiteral("this is a folder, not a file");
        case UiText::FileIsPipe:
            return ru ? QStringLiteral("это именованный канал (FIFO), а не файл")
                      : QStringLiteral("this is a named pipe (FIFO), not a file");
        case UiText::FileIsDevice:
            return ru ? QStringLiteral("это устройство, а не файл")
                      : QStringLiteral("this is a device, not a file");
        case UiText::FileIsSocket:
            return ru ? QStringLiteral("это сокет, а не файл")
                      : QStringLiteral("this is a socket, not a file");
        case UiText::FileIsSpecial:
            return ru ? QStringLiteral("это не обычный файл")
                      : QStringLiteral("this is not a regular file");
        case UiText::FileTooLarge:
            return ru ? QStringLiteral(
                            "файл больше %1 МиБ, слишком велик для файла настроек или "
                            "проекта")
                      : QStringLiteral(
                            "the file is larger than %1 MiB, too large for a settings or "
                            "project file");
        case UiText::PathTooLongForKest:
            return ru ? QStringLiteral(
                            "KEST не может открыть путь длиной %3 символов и больше:\n%1\n"
                            "(%2 символов). Перенесите проект в папку с более коротким путём. "
                            "KEST не запущен, файлы не изменены.")
                      : QStringLiteral(
                            "KEST cannot open a path of %3 characters or more:\n%1\n(%2 "
                            "characters). Move the project to a folder with a shorter path. "
                            "KEST was not started; no file was changed.");
        case UiText::FileIsSharedLink:
            return ru ? QStringLiteral(
                            "это ссылка в папке, куда могут писать другие пользователи; по ней "
                            "менеджер не переходит")
                      : QStringLiteral(
                            "this is a link in a folder that other users can write; it is not "
                            "followed");
        case UiText::FileNotUsersOwn:
            return ru ? QStringLiteral(
                            "файл принадлежит пользователю %1 и лежит в папке, куда могут писать "
                            "другие пользователи; там менеджер берёт только ваши файлы")
                      : QStringLiteral(
                            "the file belongs to %1 and lies in a folder that other users can "
                            "write; only your own files are taken there");
        case UiText::FolderNotNamed:
            return ru ? QStringLiteral("Папка не указана") : QStringLiteral("No folder named");
        case UiText::FolderMissing:
            return ru ? QStringLiteral("Папка не существует")
                      : QStringLiteral("The folder does not exist");
        case UiText::NotAFolder:
            return ru ? QStringLiteral("Это не папка") : QStringLiteral("Not a folder");
        case UiText::FolderAccessDenied:
            return ru ? QStringLiteral("Доступ запрещён") : QStringLiteral("Access denied");
        case UiText::JournalNotUsersOwn:
            return ru ? QStringLiteral(
                            "В папке KEST лежит журнал запуска, который принадлежит не только "
                            "вам (владелец: %2; его могли записать другие пользователи):\n%1\n"
                            "Менеджер его не выполняет. Возможно, там ждёт завершения запуск "
                            "другого пользователя.\n\nОтложить журнал (переименовать его) и "
                            "запустить KEST? Нет: ничего не меняется.")
                      : QStringLiteral(
                            "KEST's folder holds a run journal that is not yours alone (owner: "
                            "%2; other users may have written it):\n%1\npmkest does not act on "
                            "it. A run of another user may be pending there.\n\nSet the journal "
                            "aside (rename it) and start KEST? No: nothing is changed.");
        case UiText::JournalNotSetAside:
            return ru ? QStringLiteral(
                            "Журнал не удалось переименовать:\n%1\n%2\nKEST не запущен. "
                            "Попросите владельца журнала или администратора удалить его.")
                      : QStringLiteral(
                            "The journal could not be renamed:\n%1\n%2\nKEST was not started. "
                            "Ask the journal's owner or an administrator to remove it.");
        case UiText::SettingsOutsideFolder:
            return ru ? QStringLiteral(
                            "Этот проект хранит свои настройки в\n%1\nвне своей папки. "
                            "Использовать этот файл?")
                      : QStringLiteral(
                            "This project keeps its settings in\n%1\noutside its folder. Use "
                            "it?");
        case UiText::SettingsOfOtherUser:
            return ru ? QStringLiteral(
                            "Этот проект хранит свои настройки в\n%1\nэтот файл принадлежит "
                            "пользователю %2. Использовать его?")
                      : QStringLiteral(
                            "This project keeps its settings in\n%1\na file that belongs to %2. "
                            "Use it?");
    }
    return {};
}

}  // namespace pmkest
