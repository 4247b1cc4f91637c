#include "platform/qt_user_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>
#include <QMessageBox>

namespace pmkest {

void QtUserDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
        case MessageKind::Error: icon = QMessageBox::Critical; break;
        case MessageKind::Information: icon = QMessageBox::Information; break;
        case MessageKind::Question: icon = QMessageBox::Question; break;
        case MessageKind::Warning: icon = QMessageBox::Warning; break;
        case MessageKind::Plain: icon = QMessageBox::NoIcon; break;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<FileDialogResult> QtUserDialogs::openFile(const FileDialogRequest& request) {
    return run(request, false);
}

std::optional<FileDialogResult> QtUserDialogs::saveFile(const FileDialogRequest& request) {
    return run(request, true);
}

void QtUserDialogs::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<FileDialogResult> QtUserDialogs::run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts a typed name of a file that does not exist yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FileDialogResult{dialog.selectedFiles().constFirst(),
                            dialog.directory().absolutePath()};
}

}  // namespace pmkest
