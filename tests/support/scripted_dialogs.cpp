#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace pmkest::test {

void ScriptedDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
    messages.push_back({kind, title, text});
}

bool ScriptedDialogs::askYesNo(const QString&, const QString& text) {
    questions << text;
    // What the toolkit's Yes button would read at this moment.
    yesCaptions << QCoreApplication::translate("QPlatformTheme", "&Yes");
    if (questionsWait) {
        QEventLoop open;
        m_openQuestion = &open;
        QTimer::singleShot(20000, &open, &QEventLoop::quit);
        const int before = withdrawn;
        open.exec();
        m_openQuestion = nullptr;
        if (withdrawn > before) return false;
    }
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::withdrawQuestion() {
    if (!m_openQuestion) return;
    ++withdrawn;
    m_openQuestion->quit();
}

// A cancelled dialog closes where it opened.
static FileDialogResult Answer(std::deque<std::optional<QString>>& answers,
                               const FileDialogRequest& request, const QString& cancelledIn) {
    FileDialogResult result{
        false, {}, cancelledIn.isEmpty() ? request.folder : cancelledIn, request.fileName};
    if (answers.empty()) return result;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer) return result;
    // As the real dialogs hand it back: in the system's own form.
    return {true, *answer, QDir::toNativeSeparators(QFileInfo(*answer).absolutePath()),
            QFileInfo(*answer).fileName()};
}

FileDialogResult ScriptedDialogs::openFile(const FileDialogRequest& request) {
    openRequests.push_back(request);
    return Answer(fileAnswers, request, cancelledInFolder);
}

FileDialogResult ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return Answer(fileAnswers, request, cancelledInFolder);
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const auto& m : messages) texts << m.text;
    return texts;
}

}  // namespace pmkest::test
