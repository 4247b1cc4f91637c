#include "windows/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolTip>
#include <cstdio>

#include "core/files/file_utils.h"
#include "core/files/text_file.h"
#include "core/settings/manager_settings.h"
#include "core/settings/stored_value.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/locale/toolkit_language.h"
#include "platform/places/start_folder.h"
#include "platform/process/termination_signals.h"
#include "widgets/busy_wait.h"
#include "widgets/buttons/clickable_image.h"
#include "widgets/buttons/painted_button.h"
#include "widgets/pictures.h"
#include "widgets/window_look.h"
#include "windows/main/about_box.h"

namespace pmkest {

namespace {

constexpr int kClientWidth = 712;
constexpr int kClientHeight = 229;
constexpr int kStatusHeight = 19;

// Client mouse moves reach the window's background handler; children stop them themselves.
class ClientArea : public QWidget {
public:
    explicit ClientArea(std::function<void()> onMove, QWidget* parent)
        : QWidget(parent), m_onMove(std::move(onMove)) {
        setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent*) override { m_onMove(); }

private:
    std::function<void()> m_onMove;
};

// Beside the executable (a program folder), else in the installed data folder.
std::string HelpPagePath(const std::string& programFolder, const QString& page) {
    const QString beside = ToFsPath(programFolder) + page;
    const QString installed = QDir::toNativeSeparators(
        QDir::cleanPath(ToFsPath(programFolder) + QStringLiteral("../share/pmkest/") + page));
    const QString found =
        QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
    return cp1251::FromQString(found).value_or(std::string());
}

QFrame* MakeBevel(QWidget* parent, const char* name, QRect place, bool box) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setGeometry(place);
    bevel->setFrameShape(box ? QFrame::Panel : QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setAttribute(Qt::WA_NoMousePropagation);
    return bevel;
}

// A row cuts a long path at its frame; its tooltip shows the whole path.
class PathRow : public QLabel {
public:
    using QLabel::QLabel;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return QLabel::event(event);
        if (text().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
};

QLabel* MakeRow(QWidget* parent, const char* name, QRect place) {
    auto* label = new PathRow(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

}  // namespace

TMain::TMain(UiState& state, UserDialogs& dialogs, const StartOptions& options, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(Tr(UiText::MainDesignCaption, Language::Russian));
    buildControls();
    buildMenus();
    m_launcher = new KestLauncher(m_state, m_dialogs,
                                  LaunchView{this, m_client, m_statusBar, m_checkBox1}, this);
    connectProjectCommands();
    // Before FormCreate: a project on the command line runs KEST inside it.
    if (options.termination)
        connect(options.termination, &TerminationSignals::requested, this,
                &TMain::terminationRequested);
    FormCreate(options);
    // The window opens with focus where it always was, so no button shows a focus mark. Set
    // last: placing the window on the screen forgets an earlier one under Qt 5.
    m_checkBox1->setFocus();
}

void TMain::buildControls() {
    m_client = new ClientArea([this] { FormMouseMove(); }, this);
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(m_client);

    m_rowBevels[0] = MakeBevel(m_client, "Bevel1", {16, 28, 570, 24}, false);
    m_rowBevels[1] = MakeBevel(m_client, "Bevel2", {16, 60, 570, 24}, false);
    m_rowBevels[2] = MakeBevel(m_client, "Bevel3", {16, 92, 570, 24}, false);
    m_label4 = MakeRow(m_client, "Label4", {32, 34, 540, 13});
    m_label1 = MakeRow(m_client, "Label1", {32, 66, 540, 13});
    m_label2 = MakeRow(m_client, "Label2", {32, 98, 540, 13});
    buildButtons();
    buildFlags();

    // Tab goes down the rows on the right, then along the bottom, left to right.
    QWidget* previous = nullptr;
    for (QWidget* next : std::initializer_list<QWidget*>{paintBox(5), paintBox(2), paintBox(3),
                                                         m_checkBox1, m_image4, m_image6,
                                                         paintBox(6), paintBox(4), paintBox(1)}) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    }

    m_statusBar = new StatusPanels(3, m_client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    m_statusBar->setPanelWidth(0, 100);
    m_statusBar->setPanelAlignment(0, Qt::AlignHCenter);
    m_statusBar->setPanelWidth(1, 50);
}

void TMain::buildButtons() {
    static constexpr QRect places[6] = {{592, 169, 100, 24}, {592, 60, 100, 24},
                                        {592, 92, 100, 24},  {477, 169, 100, 24},
                                        {592, 28, 100, 24},  {16, 169, 100, 24}};
    for (int i = 0; i < 6; ++i) {
        auto* box = new PaintBox(m_client);
        const int number = i + 1;
        box->setObjectName(QStringLiteral("PaintBox%1").arg(number));
        box->setGeometry(places[i]);
        WireButtonLooks(m_state.buttonStyle, *box,
                        [this, number] { return buttonCaption(number); });
        connect(box, &PaintBox::clicked, this, [this, number] { PaintBoxClick(number); });
        m_paintBoxes[static_cast<size_t>(i)] = box;
    }

    m_checkBox1 = new QCheckBox(Tr(UiText::HideWindow, Language::Russian), m_client);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_checkBox1->setGeometry(592, 136, 97, 17);
    m_checkBox1->setAttribute(Qt::WA_NoMousePropagation);
}

void TMain::buildFlags() {
    m_bevel4 = MakeBevel(m_client, "Bevel4", {16, 134, 35, 29}, true);
    m_bevel5 = MakeBevel(m_client, "Bevel5", {57, 134, 35, 29}, false);
    m_image4 = new ClickableImage([this] { Image4Click(); }, m_client);
    m_image4->setObjectName(QStringLiteral("Image4"));
    m_image4->setGeometry(18, 136, 32, 25);
    m_image4->setAlignment(Qt::AlignCenter);
    m_image4->setPixmap(Picture(QStringLiteral("flag_ru.png")));
    m_image6 = new ClickableImage([this] { Image6Click(); }, m_client);
    m_image6->setObjectName(QStringLiteral("Image6"));
    m_image6->setGeometry(59, 136, 32, 25);
    m_image6->setAlignment(Qt::AlignCenter);
    m_image6->setPixmap(Picture(QStringLiteral("flag_gb.png")));
    for (QLabel* flag : {m_image4, m_image6}) flag->setFocusPolicy(Qt::TabFocus);
}

void TMain::buildMenus() {
    QMenuBar* bar = menuBar();
    m_file1 = bar->addMenu(QStringLiteral("&File"));
    m_file1->setObjectName(QStringLiteral("File1"));
    auto addItem = [](QMenu* menu, const char* name, const QString& text,
                      const QKeySequence& shortcut) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        return action;
    };
    m_createProject1 = addItem(m_file1, "CreateProject1", QStringLiteral("Create Project"),
                               QKeySequence(QStringLiteral("Ctrl+K")));
    m_editProject1 = addItem(m_file1, "EditProject1", QStringLiteral("Edit Project"),
                             QKeySequence(QStringLiteral("Ctrl+E")));
    m_openproject1 = addItem(m_file1, "Openproject1", QStringLiteral("Open Project"),
                             QKeySequence(QStringLiteral("Ctrl+O")));
    m_reopenProject1 = m_file1->addMenu(QStringLiteral("Reopen Project"));
    m_reopenProject1->setObjectName(QStringLiteral("ReopenProject1"));
    for (int k = 1; k <= kRecentCount; ++k) {
        QAction* item = m_reopenProject1->addAction(QString());
        item->setObjectName(QStringLiteral("N%1").arg(k * 10 + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, k] { OpenRecentProject(k); });
    }
    m_editCurrentProject1 =
        addItem(m_file1, "EditCurrentProject1", QStringLiteral("Edit Current Project"),
                QKeySequence(QStringLiteral("Ctrl+C")));
    m_file1->addSeparator();
    m_exit1 =
        addItem(m_file1, "Exit1", QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+X")));
    connect(m_exit1, &QAction::triggered, this, &QWidget::close);

    m_help1 = bar->addMenu(QStringLiteral("&Help"));
    m_help1->setObjectName(QStringLiteral("Help1"));
    m_about1 = addItem(m_help1, "About1", QStringLiteral("About"), QKeySequence());
    connect(m_about1, &QAction::triggered, this, &TMain::About1Click);
}

void TMain::showStartupError(const QString& text) {
    m_dialogs.reportError(m_state.language, text);
}

void TMain::FormCreate(const StartOptions& options) {
    m_state.shellFolders = ReadShellFolders();
    writeShellFolderLines(options);

    // Background colour.
    SetWindowBackground(this);

    InitButtonStyle(m_state.buttonStyle);
    SetProgramButtonLook(m_state.buttonStyle);

    m_state.language = Language::English;

    QString folder = QDir::toNativeSeparators(options.programFolder);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    m_state.programFolder = cp1251::FromQString(folder).value_or(std::string());
    // Without a storable program folder there is no settings file.
    if (m_state.programFolder.empty()) {
        showStartupError(Tr(UiText::PathNotStorable, m_state.language).arg(folder));
    } else {
        const SettingsLocation where = LocateManagerSettings(folder, options.userConfigFolder);
        const auto writePath = cp1251::FromQString(where.writePath);
        const auto readPath = cp1251::FromQString(where.readPath);
        if (!writePath || !readPath)
            showStartupError(Tr(UiText::PathNotStorable, m_state.language).arg(where.writePath));
        m_state.settingsPath = writePath.value_or(std::string());
        m_state.settingsReadPath = readPath.value_or(m_state.settingsPath);
    }

    ResetMessageState(m_state.messages);
    FillMessageTable(m_state.messages.table);

    m_commands->setStartFolder(DialogStartFolder());
    ReadManagerSettings();
    ShowRecentProjects();
    // Before the first box: a question at start-up has its Yes and No in the user's language.
    UseToolkitLanguage(m_state.language == Language::Russian ? QLocale::Russian : QLocale::English);

    // A run cut short by the end of the last manager is finished before anything else starts.
    m_launcher->finishInterruptedRun();

    // Runs before the language is applied, so its numbered messages are the Russian ones.
    if (!options.arguments.isEmpty()) startCommandLineProject(options.arguments.first());

    ApplyLanguage(m_state.language);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    PlaceOnScreen(this, sizeHint());
}

void TMain::ReadManagerSettings() {
    SettingsValues values = SettingsValuesOf(m_state);
    if (PathExists(m_state.settingsReadPath)) {
        const Expected<std::string> read =
            ReadWholeFile(m_state.settingsReadPath, m_state.language);
        if (!read) {
            showStartupError(read.error());
        } else {
            std::vector<QString> errors;
            ParseManagerSettings(SplitLines(*read), values, FileExists, errors);
            for (const QString& error : errors) showStartupError(error);
        }
    }
    ApplySettingsValues(values, m_state);

    m_label1->setText(cp1251::ToQString(m_state.kestIniFolder));
    m_label2->setText(cp1251::ToQString(m_state.project.ProjectFile));
    DeriveProjectSettingsPath();
    m_checkBox1->setChecked(m_state.hideOption);
    m_label4->setText(cp1251::ToQString(m_state.kestFolder));
    m_statusBar->setPanelText(1, QString::number(m_state.launchCounter));
}

Status TMain::WriteManagerSettings() {
    SettingsValues values = SettingsValuesOf(m_state);
    values.hide = m_checkBox1->isChecked();
    // Such a value would set other keys at the next start: the old file stays as it is.
    if (const std::optional<ValueFault> fault = FindSettingsFault(values))
        return Failure{ValueFaultText(*fault, m_state.language)};
    // The per-user folder may not exist yet.
    QDir().mkpath(ToFsPath(FolderPart(m_state.settingsPath)));
    return WriteFileAtomic(m_state.settingsPath, ComposeManagerSettings(values), m_state.language);
}

void TMain::DeriveProjectSettingsPath() {
    if (!FileExists(m_state.project.ProjectFile)) return;
    m_state.project.SettingsFile = SettingsPathFor(m_state.project.ProjectFile);
    m_statusBar->setPanelText(2, cp1251::ToQString(m_state.project.SettingsFile));
}

void TMain::ShowRecentProjects() {
    for (size_t k = 0; k < m_reopenItems.size(); ++k) {
        QAction* item = m_reopenItems[k];
        if (!item)
            item = m_reopenItems[k] = m_reopenProject1->actions().at(static_cast<qsizetype>(k));
        const std::string& entry = m_state.recent[k];
        item->setText(cp1251::ToQString(entry));
        item->setVisible(!entry.empty());
    }
}

void TMain::AddRecentProject() {
    AddRecent(m_state.recent, m_state.project.ProjectFile);
    ShowRecentProjects();
}

void TMain::OpenRecentProject(int k) {
    std::string& entry = m_state.recent.at(static_cast<size_t>(k - 1));
    m_label2->setText(cp1251::ToQString(entry));
    m_state.project.ProjectFile = entry;
    DeriveProjectSettingsPath();
    if (FileExists(entry)) return;
    entry.clear();
    ShowRecentProjects();
    m_label2->setText(QString());
    m_statusBar->setPanelText(2, QString());
    RaiseMessage(m_state.messages, Message::ProjectNotFound, m_dialogs);
}

void TMain::ApplyLanguage(Language language) {
    // PaintBox1 .. PaintBox6.
    static constexpr UiText kButtons[6] = {UiText::ButtonStart,       UiText::ButtonKestIniPath,
                                           UiText::ButtonOpenProject, UiText::ButtonClose,
                                           UiText::ButtonKestPath,    UiText::ButtonHelp};
    for (size_t i = 0; i < 6; ++i)
        m_state.buttonCaptions[i] = cp1251::FromQString(Tr(kButtons[i], language)).value_or("");
    setWindowTitle(Tr(UiText::MainCaption, language));
    m_createProject1->setText(Tr(UiText::MenuCreateProject, language));
    m_editCurrentProject1->setText(Tr(UiText::MenuEditCurrentProject, language));
    m_editProject1->setText(Tr(UiText::MenuEditProject, language));
    m_openproject1->setText(Tr(UiText::MenuOpenProject, language));
    m_reopenProject1->setTitle(Tr(UiText::MenuReopenProject, language));
    m_exit1->setText(Tr(UiText::MenuExit, language));
    // Alt and the first letter open a menu; the mark is not shown as text.
    m_file1->setTitle(QLatin1Char('&') + Tr(UiText::MenuFile, language));
    m_checkBox1->setText(Tr(UiText::HideWindow, language));
    m_help1->setTitle(QLatin1Char('&') + Tr(UiText::MenuHelp, language));
    m_about1->setText(Tr(UiText::MenuAbout, language));
    m_state.helpPagePath = HelpPagePath(m_state.programFolder, Tr(UiText::HelpPage, language));
    PutMainMessages(m_state.messages.table, language);
    m_statusBar->setPanelText(0, Tr(UiText::LanguageName, language));
    m_image4->setAccessibleName(Tr(UiText::RussianFlag, language));
    m_image6->setAccessibleName(Tr(UiText::EnglishFlag, language));
    UseToolkitLanguage(language == Language::Russian ? QLocale::Russian : QLocale::English);
    update();
    for (PaintBox* box : m_paintBoxes) box->update();
}

void TMain::FormMouseMove() {
    ResetButtons();
}

void TMain::ResetButtons() {
    // Start, Path KEST.INI, Open Project, Close, Path KEST, Help.
    for (int number : {1, 2, 3, 4, 5, 6})
        DrawButton(m_state.buttonStyle, *paintBox(number), buttonCaption(number), false);
}

QString TMain::buttonCaption(int number) const {
    return cp1251::ToQString(m_state.buttonCaptions.at(static_cast<size_t>(number - 1)));
}

void TMain::PaintBoxClick(int number) {
    DrawPressed(m_state.buttonStyle, *paintBox(number), buttonCaption(number));
    switch (number) {
        case 1:
            StartKest();
            break;
        case 2:
            PaintBox2Click();
            break;
        case 3:
            m_commands->openProjectButton();
            break;
        case 4:  // Close: the window goes, nothing to reset
            close();
            return;
        case 5:
            PaintBox5Click();
            break;
        case 6:
            PaintBox6Click();
            break;
        default:
            break;
    }
    ResetButtons();
}

void TMain::choosePathFolder(std::string& folder, QLabel* row, const QString& presetName) {
    FileDialogRequest request;
    request.folder = cp1251::ToQString(folder);
    request.fileName = presetName;
    const FileDialogResult chosen = m_dialogs.openFile(request);
    if (!chosen.accepted || HasWildcard(QFileInfo(chosen.path).fileName())) return;
    // Only the folder is kept. The chosen file's name is not checked; the next start's paths
    // check catches a wrong one.
    const std::optional<std::string> path =
        StorablePath(chosen.path.left(chosen.path.lastIndexOf(QDir::separator()) + 1), m_dialogs,
                     m_state.language);
    if (!path) return;
    folder = *path;
    row->setText(cp1251::ToQString(folder));
}

void TMain::PaintBox5Click() {
    choosePathFolder(m_state.kestFolder, m_label4, QStringLiteral("kest.exe"));
}

void TMain::PaintBox2Click() {
    choosePathFolder(m_state.kestIniFolder, m_label1, QStringLiteral("kest.ini"));
}

void TMain::PaintBox6Click() {
    m_dialogs.openDocument(cp1251::ToQString(m_state.helpPagePath));
}

void TMain::flashFlag(QFrame* bevel, Language language) {
    m_state.language = language;
    bevel->setFrameShadow(QFrame::Raised);
    bevel->repaint();
    ApplyLanguage(language);
    BusyWait(20);
    bevel->setFrameShadow(QFrame::Sunken);
}

void TMain::Image4Click() {
    flashFlag(m_bevel4, Language::Russian);
}

void TMain::Image6Click() {
    flashFlag(m_bevel5, Language::English);
}

void TMain::About1Click() {
    if (!m_aboutBox && m_createSecondary) m_createSecondary();
    if (m_aboutBox) m_aboutBox->exec();
}

bool TMain::FormClose() {
    const Status written = WriteManagerSettings();
    if (written) return true;
    return m_dialogs.askYesNo(
        Tr(UiText::TitleError, m_state.language),
        Tr(UiText::SettingsNotWritten, m_state.language).arg(written.error()) +
            QStringLiteral("\n\n") + Tr(UiText::CloseAnyway, m_state.language));
}

void TMain::terminationRequested() {
    if (m_closing) return;  // already on the way out
    m_closing = true;
    if (const Status written = WriteManagerSettings(); !written)
        std::fputs((Tr(UiText::SettingsNotWritten, m_state.language).arg(written.error()) + u'\n')
                       .toLocal8Bit()
                       .constData(),
                   stderr);
    // An open dialog would hold up the wait for KEST and the end of the program.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
    if (m_launcher->runsOwnKest()) {
        m_launcher->endRunNow();  // the start, when it goes on, only quits
        return;
    }
    m_launcher->endAdoptedRun();
    // Unlike quit(), also before the event loop runs: later dialogs then return at once.
    QCoreApplication::exit(0);
}

void TMain::closeEvent(QCloseEvent* event) {
    if (!m_closing && (m_launcher->runsOwnKest() || m_launcher->adopting())) {
        if (!confirmCloseDuringRun()) {
            event->ignore();
            return;
        }
        m_closing = true;
        event->accept();
        return;
    }
    if (m_closing || FormClose()) {
        m_closing = true;
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace pmkest
