#include "windows/chooser/dir_dialog.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "core/files/text_file.h"
#include "core/settings/stored_value.h"
#include "core/text/cp1251.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "core/wine/kest_command.h"
#include "core/wine/kest_under_wine.h"
#include "platform/path_rules.h"
#include "widgets/busy_wait.h"
#include "widgets/buttons/clickable_image.h"
#include "widgets/chooser/directory_list_box.h"
#include "widgets/pictures.h"
#include "widgets/status_panels.h"
#include "widgets/window_look.h"

namespace pmkest {

namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 362;
constexpr int kStatusHeight = 19;
constexpr int kDriveRowLeft = 104;
constexpr int kDriveRowRight = kWidth - 8;

// Mount points can be long; the button shows as much of its root as fits.
class DriveButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.text = fontMetrics().elidedText(text(), Qt::ElideMiddle, width() - 6);
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
    }
};

}  // namespace

DirDlgSources SystemDirDlgSources(const ShellFolders& folders) {
    DirDlgSources sources;
    sources.volumes = MountedVolumes();
    sources.desktopFolder = folders.DesktopFolder;
    sources.personalFolder = folders.PersonalFolder;
    return sources;
}

TDirDlgF::TDirDlgF(AppState& state, UserDialogs& dialogs, const DirDlgSources& sources,
                   QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_dialogs(dialogs),
      m_desktopFolder(sources.desktopFolder),
      m_personalFolder(sources.personalFolder) {
    setObjectName(QStringLiteral("DirDlgF"));
    setWindowTitle(Tr(UiText::ChooserCaption, Language::English));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    buildControls();
    FormCreate(sources.volumes);
    PlaceOnScreen(this, QSize(kWidth, kHeight));
}

void TDirDlgF::buildControls() {
    for (int slot = 1; slot <= kDriveButtonCount; ++slot) {
        auto* button = new DriveButton(this);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(slot + 2));
        button->setGeometry(104 + (slot - 1) * 38, 8, 36, 22);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QToolButton::clicked, this, [this, slot] { SpeedButtonClick(slot); });
        m_driveButtons[static_cast<size_t>(slot - 1)] = button;
    }

    buildShortcuts();

    m_list = new DirectoryListBox(this);
    m_list->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_list->setGeometry(104, 38, 448, 260);
    connect(m_list, &DirectoryListBox::directoryChanged, this,
            [this] { DirectoryListBox1Change(); });
    connect(m_list, &DirectoryListBox::openRequested, this,
            [this](const QString& path) { goTo(path); });

    // The dialog is English in either interface language.
    m_button1 = new QPushButton(Tr(UiText::Ok, Language::English), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(396, 308, 75, 25);
    m_button2 = new QPushButton(Tr(UiText::Cancel, Language::English), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(477, 308, 75, 25);
    // Neither is a default button: Enter belongs to the list.
    for (QPushButton* button : {m_button1, m_button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(m_button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    m_statusBar = new StatusPanels(1, this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);

    // The list first, then Ok and Cancel, then the drives and the shortcut pictures.
    QWidget* previous = m_list;
    auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(m_button1);
    chain(m_button2);
    for (QToolButton* button : m_driveButtons) chain(button);
    for (QLabel* image : m_images) chain(image);
}

void TDirDlgF::buildShortcuts() {
    static constexpr UiText kCaptions[3] = {UiText::ChooserComputer, UiText::ChooserDesktop,
                                            UiText::ChooserPersonal};
    static const char* const kPictures[3] = {"computer.png", "desktop.png", "personal.png"};
    const std::function<void()> clicks[3] = {[this] { Image1Click(); }, [this] { Image2Click(); },
                                             [this] { Image3Click(); }};
    for (int i = 0; i < 3; ++i) {
        const int top = 38 + i * 84;
        const QString text = Tr(kCaptions[i], Language::English);
        auto* caption = new QLabel(text, this);
        caption->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        caption->setGeometry(8, top, 88, 14);
        caption->setAlignment(Qt::AlignCenter);

        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setGeometry(24, top + 16, 56, 56);
        panel->setFrameShape(QFrame::NoFrame);
        panel->setLineWidth(1);

        auto* image = new ClickableImage(clicks[i], panel);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setGeometry(12, 12, 32, 32);
        image->setPixmap(Picture(QString::fromLatin1(kPictures[i])));
        image->setToolTip(text);
        image->setAccessibleName(text);
        image->setCursor(Qt::PointingHandCursor);
        image->setFocusPolicy(Qt::TabFocus);
        m_panels[static_cast<size_t>(i)] = panel;
        m_images[static_cast<size_t>(i)] = image;
    }
}

void TDirDlgF::FormCreate(const std::vector<VolumeInfo>& volumes) {
    SetWindowBackground(this);

    m_systemDrives = DriveButtons(volumes);
    showDriveButtons();
}

void TDirDlgF::showDriveButtons() {
    const std::vector<VolumeInfo> drives =
        DriveButtonsForKest(KestPathsFor(m_state.kestFolder), m_systemDrives);
    for (size_t i = 0; i < m_driveButtons.size(); ++i) {
        QToolButton* button = m_driveButtons[i];
        const VolumeInfo drive = i < drives.size() ? drives[i] : VolumeInfo{};
        button->setText(drive.caption);
        button->setProperty("root", drive.rootPath);
        button->setToolTip(QDir::toNativeSeparators(drive.rootPath));
        button->setAccessibleName(drive.caption);
    }
    layOutDriveButtons();
}

void TDirDlgF::layOutDriveButtons() {
    // Each button as wide as its caption, side by side; only what does not fit is shortened.
    int x = kDriveRowLeft;
    for (QToolButton* button : m_driveButtons) {
        if (button->property("root").toString().isEmpty()) {
            button->hide();
            continue;
        }
        const int wanted =
            std::max(36, button->fontMetrics().horizontalAdvance(button->text()) + 12);
        const int width = std::max(0, std::min(wanted, kDriveRowRight - x));
        button->setGeometry(x, 8, width, 22);
        button->setVisible(width >= 20);
        x += width + 2;
    }
}

ChosenDirectory TDirDlgF::ChooseDirectory() {
    m_startPath = m_state.project.ProjectFile;
    const bool accepted = exec() == Accepted;
    return {accepted, m_chosenDirectory};
}

void TDirDlgF::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TDirDlgF::FormActivate() {
    showDriveButtons();
    const std::string start = StartDirectory(m_startPath);
    m_chosenDirectory = start;
    if (start.empty()) {
        m_statusBar->setPanelText(0, QString());
        return;
    }
    if (goTo(ToFsPath(start)))
        m_statusBar->setPanelText(0, cp1251::ToQString(start));
    else
        showListDirectory();  // the status names the folder that Ok would hand back
}

bool TDirDlgF::goTo(const QString& path) {
    const FolderRefusal refusal = m_list->setDirectory(path);
    if (!refusal.refused()) return true;
    m_dialogs.reportError(m_state.language, Tr(UiText::FolderNotEntered, m_state.language)
                                                .arg(QDir::toNativeSeparators(path),
                                                     FolderRefusalText(refusal, m_state.language)));
    return false;
}

void TDirDlgF::showListDirectory() {
    m_statusBar->setPanelText(0, QDir::toNativeSeparators(m_list->directory()));
}

void TDirDlgF::DirectoryListBox1Change() {
    showListDirectory();
}

void TDirDlgF::SpeedButtonClick(int slot) {
    QToolButton* button = m_driveButtons[static_cast<size_t>(slot - 1)];
    if (goTo(button->property("root").toString())) return;
    // A drive that cannot be entered (medium gone, unmounted) leaves the row, without a gap.
    const QString root = button->property("root").toString();
    std::erase_if(m_systemDrives, [&root](const VolumeInfo& v) { return v.rootPath == root; });
    button->setProperty("root", QString());
    layOutDriveButtons();
}

void TDirDlgF::flashFrame(QFrame* frame) {
    frame->setFrameShape(QFrame::Box);
    frame->repaint();
    BusyWait(50);
    frame->setFrameShape(QFrame::NoFrame);
    frame->repaint();
}

void TDirDlgF::Image1Click() {
    const QString computer = QDir::rootPath();
    if (QDir(computer).exists()) goTo(computer);
    showListDirectory();
    flashFrame(m_panels[0]);
}

namespace {

// A Linux home may have no ~/Desktop or ~/Documents: the home folder stands in for them.
QString ShortcutFolder(const std::string& folder) {
    const QString path = ToFsPath(folder);
    return kVolumesAreDrives || QDir(path).exists() ? path : QDir::homePath();
}

}  // namespace

void TDirDlgF::Image2Click() {
    if (!m_desktopFolder.empty()) goTo(ShortcutFolder(m_desktopFolder));
    showListDirectory();
    flashFrame(m_panels[1]);
}

void TDirDlgF::Image3Click() {
    if (!m_personalFolder.empty()) goTo(ShortcutFolder(m_personalFolder));
    showListDirectory();
    flashFrame(m_panels[2]);
}

void TDirDlgF::Button1Click() {
    const QString directory = QDir::toNativeSeparators(m_list->directory());
    const std::optional<std::string> text = StorablePath(directory, m_dialogs, m_state.language);
    if (!text) return;
    // Every folder chosen here goes into a compiler switch, which a blank would end.
    if (text->find(' ') != std::string::npos) {
        m_dialogs.reportError(m_state.language,
                              Tr(UiText::FolderHoldsBlank, m_state.language).arg(directory));
        return;
    }
    m_chosenDirectory = *text;
    done(Accepted);
}

void TDirDlgF::Button2Click() {
    if (const auto text = cp1251::FromQString(QDir::toNativeSeparators(m_list->directory())))
        m_chosenDirectory = *text;
    done(Rejected);
}

void TDirDlgF::keyPressEvent(QKeyEvent* event) {
    if (!HandleDialogKey(event, [this] { Button2Click(); })) QDialog::keyPressEvent(event);
}

}  // namespace pmkest
