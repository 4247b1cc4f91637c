#include "core/project/settings_trust.h"

#include <QFileInfo>

#include "core/files/text_file.h"
#include "core/text/ui_texts.h"
#include "core/user_dialogs.h"
#include "platform/files/file_owner.h"

namespace pmkest {

namespace {

QString FolderOf(const std::string& path) {
    const QFileInfo info(ToFsPath(path));
    const QString canonical = QFileInfo(info.absolutePath()).canonicalFilePath();
    return canonical.isEmpty() ? info.absolutePath() : canonical;
}

}  // namespace

bool SettingsFileAgreed(AppState& state, UserDialogs& dialogs, const std::string& projectFile,
                        const std::string& settingsFile) {
    // Nothing there yet: what is missing is said by the caller, nothing is read or replaced.
    if (!PathExists(settingsFile)) return true;
    const std::string pair = projectFile + '\n' + settingsFile;
    if (state.agreedSettingsFiles.count(pair)) return true;
    const QString shown = ToFsPath(settingsFile);
    const EntryOwner owner = OwnerOf(shown);
    QString question;
    if (FolderOf(settingsFile) != FolderOf(projectFile))
        question = Tr(UiText::SettingsOutsideFolder, state.language).arg(shown);
    else if (owner.exists && !owner.ownedByUser)
        question = Tr(UiText::SettingsOfOtherUser, state.language).arg(shown, owner.owner);
    else
        return true;
    if (!dialogs.askYesNo(Tr(UiText::TitleConfirm, state.language), question)) return false;
    state.agreedSettingsFiles.insert(pair);
    return true;
}

}  // namespace pmkest
