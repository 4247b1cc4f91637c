#include "widgets/qt_user_dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace pmkest {

namespace {

// Enter on a pattern filters the list, as the classic dialogs do, and keeps the dialog open.
class PatternFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QString typed = QFileInfo(selectedFiles().value(0)).fileName();
        if (HasWildcard(typed)) {
            filterBy(typed);
            return;
        }
        QFileDialog::accept();
    }

    void filterBy(const QString& pattern) {
        setNameFilter(pattern);
        selectFile(pattern);
    }

    // The folder and the name the dialog shows; a path typed in full counts with its folder.
    void shownPlace(const QString& presetName, QString& folder, QString& name) const {
        const QString shown = selectedFiles().value(0);
        const QFileInfo info(shown);
        if (shown.isEmpty() || info.isDir() || !info.absoluteDir().exists()) {
            folder = directory().absolutePath();
            name = presetName;
            return;
        }
        folder = info.absolutePath();
        name = info.fileName();
    }
};

// The widest line a message box shows without breaking it.
constexpr int kLineWidth = 460;

bool IsPathLine(const QString& line) {
    return line.startsWith(QLatin1Char('/')) || line.startsWith(QLatin1Char('\\')) ||
           (line.size() > 2 && line[0].isLetter() && line[1] == QLatin1Char(':') &&
            (line[2] == QLatin1Char('\\') || line[2] == QLatin1Char('/')));
}

// A path line too wide for the box: the path loses its middle, never the reason after it
// ("path: reason"), which goes to a line of its own when the two do not fit side by side.
QString ShortenPathLine(const QFontMetrics& metrics, const QString& line) {
    // The first ": " past a drive's colon ends the path; a path seldom holds one.
    const auto colon = line.indexOf(QLatin1String(": "), 2);
    if (colon < 0) return metrics.elidedText(line, Qt::ElideMiddle, kLineWidth);
    const QString path = line.left(colon + 1);
    const QString reason = line.mid(colon + 2);
    const int room = kLineWidth - metrics.horizontalAdvance(QLatin1Char(' ') + reason);
    if (room >= kLineWidth / 2)
        return metrics.elidedText(path, Qt::ElideMiddle, room) + QLatin1Char(' ') + reason;
    return metrics.elidedText(path, Qt::ElideMiddle, kLineWidth) + QLatin1Char('\n') + reason;
}

// A path stands on its own line, whole: a box would break it at any dot or cut it at its
// edge. One too long for the box loses its middle, and the box then carries the whole text
// as its details. Everything in it can be selected and copied.
void SetMessageText(QMessageBox& box, const QString& text) {
    const QFontMetrics metrics(box.font());
    QStringList lines = text.split(QLatin1Char('\n'));
    bool elided = false;
    for (QString& line : lines) {
        if (!IsPathLine(line) || metrics.horizontalAdvance(line) <= kLineWidth) continue;
        line = ShortenPathLine(metrics, line);
        elided = true;
    }
    box.setTextFormat(Qt::PlainText);
    box.setText(lines.join(QLatin1Char('\n')));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (elided) box.setDetailedText(text);
}

}  // namespace

void QtUserDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
    // A message never waits under a busy cursor.
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
        case MessageKind::Error:
            icon = QMessageBox::Critical;
            break;
        case MessageKind::Information:
            icon = QMessageBox::Information;
            break;
        case MessageKind::Question:
            icon = QMessageBox::Question;
            break;
        case MessageKind::Warning:
            icon = QMessageBox::Warning;
            break;
        case MessageKind::Plain:
            icon = QMessageBox::NoIcon;
            break;
    }
    QMessageBox box(icon, title, QString(), QMessageBox::Ok, m_parent);
    SetMessageText(box, text);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString& title, const QString& text) {
    return ask(title, text, false);
}

bool QtUserDialogs::askYesNoDefaultYes(const QString& title, const QString& text) {
    return ask(title, text, true);
}

bool QtUserDialogs::ask(const QString& title, const QString& text, bool defaultYes) {
    QMessageBox box(QMessageBox::Question, title, QString(), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    SetMessageText(box, text);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    m_question = &box;
    return box.exec() == QMessageBox::Yes;
}

void QtUserDialogs::withdrawQuestion() {
    if (m_question) m_question->done(QMessageBox::No);
}

FileDialogResult QtUserDialogs::openFile(const FileDialogRequest& request) {
    return run(request, false);
}

FileDialogResult QtUserDialogs::saveFile(const FileDialogRequest& request) {
    return run(request, true);
}

void QtUserDialogs::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

FileDialogResult QtUserDialogs::run(const FileDialogRequest& request, bool save) {
    PatternFileDialog dialog(m_parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts a typed name of a file that does not exist yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // A preset pattern filters the list unless the caller named a filter.
    if (HasWildcard(request.fileName) && request.filter.isEmpty())
        dialog.filterBy(request.fileName);
    else if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    FileDialogResult result;
    // A native dialog may hand back a pattern: filter by it and show the dialog again.
    for (;;) {
        result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        if (!result.accepted || !HasWildcard(QFileInfo(dialog.selectedFiles().value(0)).fileName()))
            break;
        dialog.filterBy(QFileInfo(dialog.selectedFiles().value(0)).fileName());
    }
    dialog.shownPlace(request.fileName, result.folder, result.fileName);
    // Qt hands back "/" on every system; the program holds paths in the system's own form.
    result.folder = QDir::toNativeSeparators(result.folder);
    if (result.accepted) result.path = QDir::toNativeSeparators(dialog.selectedFiles().value(0));
    return result;
}

}  // namespace pmkest
