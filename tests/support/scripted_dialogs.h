#pragma once
// Test double for the user dialogs: records every box and answers from queues.

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "core/user_dialogs.h"

namespace pmkest::test {

struct ShownMessage {
    MessageKind kind;
    QString title;
    QString text;
};

class ScriptedDialogs final : public UserDialogs {
public:
    void showMessage(MessageKind kind, const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    void withdrawQuestion() override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    void openDocument(const QString& path) override { openedDocuments << path; }

    // Answers, used front first; an empty queue answers No / Cancel.
    std::deque<bool> yesNoAnswers;
    // A question stays open, events running, until it is withdrawn (or for 20 s).
    bool questionsWait = false;
    int withdrawn = 0;
    std::deque<std::optional<QString>> fileAnswers;
    // Where a cancelled file dialog was left by the user; empty: where it opened.
    QString cancelledInFolder;

    std::vector<ShownMessage> messages;
    QStringList questions;
    QStringList yesCaptions;  // the toolkit's Yes button as each question was asked
    QStringList openedDocuments;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

    QStringList messageTexts() const;

private:
    bool m_questionOpen = false;
};

}  // namespace pmkest::test
