#include "support/scripted_dialogs.h"

#include <QFileInfo>

namespace pmkest::test {

void ScriptedDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
    messages.push_back({kind, title, text});
}

bool ScriptedDialogs::askYesNo(const QString&, const QString& text) {
    questions << text;
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

static std::optional<FileDialogResult> Answer(std::deque<std::optional<QString>>& answers) {
    if (answers.empty()) return std::nullopt;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer) return std::nullopt;
    return FileDialogResult{*answer, QFileInfo(*answer).absolutePath()};
}

std::optional<FileDialogResult> ScriptedDialogs::openFile(const FileDialogRequest& request) {
    openRequests.push_back(request);
    return Answer(fileAnswers);
}

std::optional<FileDialogResult> ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return Answer(fileAnswers);
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const auto& m : messages) texts << m.text;
    return texts;
}

}  // namespace pmkest::test
