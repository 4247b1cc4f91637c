#pragma once
// Message boxes and file dialogs behind one interface, so tests can answer and read them.

#include <QString>

#include "core/text/language.h"

namespace pmkest {

enum class MessageKind { Error, Information, Question, Warning, Plain };

// A name holding "*" or "?" is a pattern: it filters a file dialog's list, it names no file.
inline bool HasWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

struct FileDialogRequest {
    QString title;
    QString folder;         // start folder; empty lets the dialog choose
    QString fileName;       // a pattern ("*.mpm") filters the list instead
    QString filter;         // "Name (*.ext)"; empty for none
    QString defaultSuffix;  // save dialog only
    bool confirmOverwrite = false;
};

struct FileDialogResult {
    bool accepted = false;
    QString path;      // the chosen file, when accepted
    QString folder;    // the folder the dialog was in when it closed, either way
    QString fileName;  // the file name it showed when it closed
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A modal box with one OK button.
    virtual void showMessage(MessageKind kind, const QString& title, const QString& text) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // The same with Yes as the default answer.
    virtual bool askYesNoDefaultYes(const QString& title, const QString& text) {
        return askYesNo(title, text);
    }
    // The open question no longer applies (what it asked about has happened): it closes as if
    // answered No.
    virtual void withdrawQuestion() {}
    virtual FileDialogResult openFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;
    // Hands a document (the help page) to the desktop's viewer; the result is not checked.
    virtual void openDocument(const QString& path) = 0;

    // The one way an error reaches the user: an error box titled in the interface language.
    void reportError(Language language, const QString& text);
};

}  // namespace pmkest
