#pragma once
// The dialog interface of core on real Qt message boxes and file dialogs.

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "core/user_dialogs.h"

namespace pmkest {

// The real dialogs: QMessageBox and QFileDialog.
class QtUserDialogs final : public UserDialogs {
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    void showMessage(MessageKind kind, const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    bool askYesNoDefaultYes(const QString& title, const QString& text) override;
    void withdrawQuestion() override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    void openDocument(const QString& path) override;

private:
    bool ask(const QString& title, const QString& text, bool defaultYes);
    FileDialogResult run(const FileDialogRequest& request, bool save);
    QPointer<QWidget> m_parent;
    QPointer<QMessageBox> m_question;  // while a question is open
};

}  // namespace pmkest
