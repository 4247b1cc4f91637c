#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace pmkest::test {

void ScriptedDialogs::showMessage(MessageKind kind, const QString& title, const QString& text) {
    messages.push_back({kind, title, text});
}

bool ScriptedDialogs::askYesNo(const QString&, const QString& text) {
    questions << text;
    // What the toolkit's Yes button would read at this moment.
    yesCaptions << QCoreApplication::translate("QPlatformTheme", "&Yes");
    if (questionsWait) {
        // Events run as under a real box; not a nested loop, which Qt 5 ends at once once a
        // suite's earlier row has quit the program.
        m_questionOpen = true;
        QElapsedTimer clock;
        clock.start();
        while (m_questionOpen && clock.elapsed() < 20000) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        if (!m_questionOpen) return false;
        m_questionOpen = false;
    }
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::withdrawQuestion() {
    if (!m_questionOpen) return;
    ++withdrawn;
    m_questionOpen = false;
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
