#include "platform/qt_user_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace pmkest {

void QtUserDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
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
    QMessageBox box(icon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString& title, const QString& text) {
    return ask(title, text, false);
}

bool QtUserDialogs::askYesNoDefaultYes(const QString& title, const QString& text) {
    return ask(title, text, true);
}

bool QtUserDialogs::ask(const QString& title, const QString& text, bool defaultYes) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
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
    QFileDialog dialog(m_parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts a typed name of a file that does not exist yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    FileDialogResult result;
    result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    result.folder = dialog.directory().absolutePath();
    const QString shown = dialog.selectedFiles().value(0);
    result.fileName = shown.isEmpty() ? request.fileName : QFileInfo(shown).fileName();
    if (result.accepted) result.path = shown;
    return result;
}

}  // namespace pmkest
