#include "windows/options/options_editor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "core/text/ui_texts.h"
#include "widgets/buttons/paint_box.h"
#include "widgets/buttons/painted_button.h"
#include "widgets/cp1251_validator.h"
#include "widgets/status_panels.h"
#include "widgets/window_look.h"
#include "windows/chooser/dir_dialog.h"
#include "windows/options/command_line_window.h"

namespace pmkest {

namespace {

constexpr int kClientWidth = 764;  // fits an 800-pixel screen with its frame
constexpr int kClientHeight = 431;
constexpr int kStatusHeight = 19;

// The window is English in either interface language.
constexpr Language kWindowLanguage = Language::English;

constexpr UiText kSwitchLabels[kSwitchCount] = {
    UiText::SwitchAssemblerFile, UiText::SwitchBuild,     UiText::SwitchErrorColumn,
    UiText::SwitchConditionals,  UiText::SwitchMapFile,   UiText::SwitchHexFile,
    UiText::SwitchLibraryA,      UiText::SwitchMakeUnits, UiText::SwitchOmfFile,
    UiText::SwitchExtendedOmf,   UiText::SwitchQuiet,     UiText::SwitchSyntaxCheck,
};

constexpr UiText kMemoryLabels[kMemCount] = {
    UiText::MemoryGlobals,
    UiText::MemoryLocals,
    UiText::MemoryParameters,
    UiText::MemoryTemporaries,
};

constexpr UiText kDirectoryLabels[kDirCount] = {
    UiText::DirectoryOutput,   UiText::DirectoryL51,     UiText::DirectoryUnits,
    UiText::DirectoryIncludes, UiText::DirectoryObjects,
};

QString Text(UiText id) {
    return Tr(id, kWindowLanguage);
}

QString ExitCaption() {
    return Text(UiText::OptionsExit);
}
QString OkCaption() {
    return Text(UiText::Ok);
}

QLabel* MakeLabel(QWidget* parent, int number, UiText text, QRect place) {
    auto* label = new QLabel(Text(text), parent);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TOption::TOption(UiState& state, Toptf& commandLine, QWidget* parent)
    : QDialog(parent), m_state(state), m_commandLine(commandLine) {
    setObjectName(QStringLiteral("Option"));
    setWindowTitle(Text(UiText::OptionsDesignCaption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setMouseTracking(true);
    buildMenu();
    buildControls();
    FormCreate();

    // The string is composed within 100 ms of any change of a control. Without a change a
    // tick would show the same text again, so the timer runs only after one: an idle editor,
    // shown or hidden, costs nothing.
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &TOption::Timer1Timer);
    auto changed = [this] {
        if (!m_timer1->isActive()) m_timer1->start();
    };
    for (QCheckBox* box : m_checkBoxes) connect(box, &QCheckBox::toggled, this, changed);
    for (QComboBox* combo : m_comboBoxes) {
        connect(combo, &QComboBox::currentTextChanged, this, changed);
        connect(combo, &QComboBox::editTextChanged, this, changed);
    }
    for (QLineEdit* edit : m_edits) connect(edit, &QLineEdit::textChanged, this, changed);
}

void TOption::buildMenu() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    m_file1 = bar->addMenu(QLatin1Char('&') + Text(UiText::MenuFile));
    m_file1->setObjectName(QStringLiteral("File1"));
    auto addItem = [this](const char* name, UiText text) {
        QAction* action = m_file1->addAction(Text(text));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_manualInput1 = addItem("ManualInput1", UiText::OptionsManualInput);
    m_okClose1 = addItem("OkClose1", UiText::OptionsOkClose);
    m_cancelClose1 = addItem("CancelClose1", UiText::OptionsCancelClose);
    connect(m_manualInput1, &QAction::triggered, this, [this] { ManualInput1Click(); });
    connect(m_okClose1, &QAction::triggered, this, [this] { OkClose1Click(); });
    connect(m_cancelClose1, &QAction::triggered, this, [this] { CancelClose1Click(); });
    bar->setGeometry(0, 0, kClientWidth, bar->sizeHint().height());
    bar->setAttribute(Qt::WA_NoMousePropagation);
}

void TOption::buildControls() {
    const int top = findChild<QMenuBar*>(QStringLiteral("MainMenu1"))->height();
    setFixedSize(kClientWidth, top + kClientHeight);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setGeometry(0, top, kClientWidth, kClientHeight);
    client->setMouseTracking(true);

    int label = 1;
    buildSwitchGroup(client, label);
    buildDirectoryGroup(client, label);
    buildButtons(client);
    chainTabOrder();
}

void TOption::buildSwitchGroup(QWidget* client, int& label) {
    auto* group1 = new QGroupBox(client);
    group1->setObjectName(QStringLiteral("GroupBox1"));
    group1->setGeometry(8, 8, 440, 396);
    // Moves over the groups are theirs, not the window background's.
    group1->setAttribute(Qt::WA_NoMousePropagation);
    for (int i = 0; i < kSwitchCount; ++i) {
        const int y = 14 + i * 22;
        auto* box = new QCheckBox(group1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        box->setGeometry(12, y, 18, 18);
        m_checkBoxes[static_cast<size_t>(i)] = box;
        QLabel* text = MakeLabel(group1, label++, kSwitchLabels[i], {34, y, 400, 18});
        text->setBuddy(box);
    }
    for (int i = 0; i < kMemCount; ++i) {
        const int y = 286 + i * 26;
        auto* combo = new QComboBox(group1);
        combo->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        combo->setGeometry(12, y, 84, 22);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems({QStringLiteral("Default"), QStringLiteral("Data"), QStringLiteral("IData"),
                         QStringLiteral("XData")});
        combo->setCurrentIndex(0);
        // Completion must not turn a hand-typed "data" into the item "Data".
        combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
        m_comboBoxes[static_cast<size_t>(i)] = combo;
        MakeLabel(group1, label++, kMemoryLabels[i], {104, y, 330, 22});
    }
}

void TOption::buildDirectoryGroup(QWidget* client, int& label) {
    auto* group2 = new QGroupBox(client);
    group2->setObjectName(QStringLiteral("GroupBox2"));
    group2->setGeometry(456, 8, 300, 250);
    group2->setAttribute(Qt::WA_NoMousePropagation);
    for (int i = 0; i < kDirCount; ++i) {
        const int y = 10 + i * 46;
        MakeLabel(group2, label++, kDirectoryLabels[i], {12, y, 270, 14});
        auto* edit = new QLineEdit(group2);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setGeometry(12, y + 16, 248, 21);
        edit->setValidator(new Cp1251Validator(edit));
        m_edits[static_cast<size_t>(i)] = edit;
        auto* button = new QToolButton(group2);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        button->setText(QStringLiteral("..."));
        button->setGeometry(264, y + 16, 24, 21);
        // Reached with Tab, so the chooser can be opened without a mouse.
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QToolButton::clicked, this, [this, i] { SpeedButtonClick(i); });
        m_speedButtons[static_cast<size_t>(i)] = button;
    }
}

void TOption::buildButtons(QWidget* client) {
    auto makeBox = [client](const char* name, QRect place) {
        auto* box = new PaintBox(client);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(place);
        return box;
    };
    m_paintBox1 = makeBox("PaintBox1", {500, 274, 100, 24});
    m_paintBox2 = makeBox("PaintBox2", {616, 274, 100, 24});
    WireButtonLooks(m_state.buttonStyle, *m_paintBox1, [] { return ExitCaption(); });
    WireButtonLooks(m_state.buttonStyle, *m_paintBox2, [] { return OkCaption(); });
    connect(m_paintBox1, &PaintBox::clicked, this, [this] { PaintBox1Click(); });
    connect(m_paintBox2, &PaintBox::clicked, this, [this] { PaintBox2Click(); });

    m_statusBar = new StatusPanels(1, client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
}

void TOption::chainTabOrder() {
    // Check boxes, then memory types, then directory fields, each in table order.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* next) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    };
    for (QCheckBox* box : m_checkBoxes) chain(box);
    for (QComboBox* combo : m_comboBoxes) chain(combo);
    for (size_t i = 0; i < m_edits.size(); ++i) {
        chain(m_edits[i]);
        chain(m_speedButtons[i]);
    }
    chain(m_paintBox1);
    chain(m_paintBox2);
}

void TOption::FormCreate() {
    SetWindowBackground(this);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    PlaceOnScreen(this, size());
}

void TOption::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TOption::FormActivate() {
    // "[*]" in a title is the toolkit's modified mark; doubled, the path shows unchanged.
    QString path = cp1251::ToQString(m_state.project.SettingsFile);
    path.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(Text(UiText::OptionsCaption).arg(path));
}

void TOption::parseIntoControls(std::string_view optionString) {
    const OptionSet options = ParseOptionString(optionString, kFileSystemDirectoryCase);
    for (size_t i = 0; i < m_checkBoxes.size(); ++i)
        m_checkBoxes[i]->setChecked(options.switches[i]);
    for (size_t i = 0; i < m_comboBoxes.size(); ++i)
        m_comboBoxes[i]->setCurrentIndex(static_cast<int>(options.memory[i]));
    for (size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setText(cp1251::ToQString(options.directories[i]));
}

OptionSet TOption::readControls() const {
    OptionSet options;
    for (size_t i = 0; i < m_checkBoxes.size(); ++i)
        options.switches[i] = m_checkBoxes[i]->isChecked();
    for (size_t i = 0; i < m_comboBoxes.size(); ++i) {
        const auto text = cp1251::FromQString(m_comboBoxes[i]->currentText());
        options.memory[i] = text ? MemoryTypeFromText(*text) : MemoryType::Default;
    }
    for (size_t i = 0; i < m_edits.size(); ++i)
        options.directories[i] = cp1251::FromQString(m_edits[i]->text()).value_or(std::string());
    return options;
}

void TOption::Timer1Timer() {
    m_composed = cp1251::ToQString(ComposeOptionString(readControls()));
    m_statusBar->setPanelText(0, m_composed);
}

bool TOption::showModal() {
    return exec() == Accepted;
}

std::string TOption::statusText() const {
    return cp1251::FromQString(m_statusBar->panelText(0)).value_or(std::string());
}

std::string TOption::outputDirectory() const {
    return cp1251::FromQString(m_edits[kDirOutput]->text()).value_or(std::string());
}

void TOption::ManualInput1Click() {
    if (m_commandLine.exec() != Accepted) return;
    const auto line = cp1251::FromQString(m_commandLine.lineText());
    parseIntoControls(TrimBlanks(line.value_or(std::string())));
}

bool TOption::acceptable() {
    if (!m_acceptCheck) return true;
    auto resultOf = [](const OptionSet& options) {
        return ProjectCommandHost::EditorResult{
            ComposeOptionString(options), options.directories[kDirOutput], options.directories};
    };
    const OptionSet all = readControls();
    // Field by field first, so that the one at fault gets the focus.
    for (size_t i = 0; i < m_edits.size(); ++i) {
        if (all.directories[i].empty()) continue;
        OptionSet one;
        one.directories[i] = all.directories[i];
        if (!m_acceptCheck(resultOf(one))) {
            m_edits[i]->setFocus(Qt::OtherFocusReason);
            m_edits[i]->selectAll();
            return false;
        }
    }
    return m_acceptCheck(resultOf(all));
}

void TOption::OkClose1Click() {
    Timer1Timer();  // the result reflects the controls even between two ticks
    if (!acceptable()) return;
    done(Accepted);
}

void TOption::CancelClose1Click() {
    done(Rejected);
}

void TOption::PaintBox1Click() {
    DrawPressed(m_state.buttonStyle, *m_paintBox1, ExitCaption());
    done(Rejected);
}

void TOption::PaintBox2Click() {
    Timer1Timer();
    if (!acceptable()) return;
    done(Accepted);
}

void TOption::FormMouseMove() {
    DrawButton(m_state.buttonStyle, *m_paintBox1, ExitCaption(), false);
    DrawButton(m_state.buttonStyle, *m_paintBox2, OkCaption(), false);
}

void TOption::mouseMoveEvent(QMouseEvent*) {
    FormMouseMove();
}

void TOption::SpeedButtonClick(int field) {
    if (!m_dirDlg) return;
    const ChosenDirectory chosen = m_dirDlg->ChooseDirectory();
    if (!chosen.accepted) return;
    QLineEdit* edit = m_edits[static_cast<size_t>(field)];
    // A single directory is replaced; a list is only started, further entries are typed.
    const bool single = field == kDirOutput || field == kDirL51Cfg;
    if (single || edit->text().isEmpty()) edit->setText(cp1251::ToQString(chosen.directory));
}

void TOption::keyPressEvent(QKeyEvent* event) {
    if (!HandleDialogKey(event, [this] { CancelClose1Click(); })) QDialog::keyPressEvent(event);
}

}  // namespace pmkest
