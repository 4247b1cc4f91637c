#pragma once
// The two sets of main-window texts that the interface language switches between.

#include <QString>
#include <array>

namespace pmkest {

struct LanguageTexts {
    std::array<QString, 6> buttonCaptions;  // PaintBox1 .. PaintBox6
    QString windowCaption;
    QString createProject;
    QString editCurrentProject;
    QString editProject;
    QString openProject;
    QString reopenProject;
    QString exit;
    QString file;
    QString hideWindow;
    QString help;
    QString about;
    QString helpPage;      // file name in the program folder
    QString languageName;  // first status panel
};

const LanguageTexts& TextsFor(bool russian);

}  // namespace pmkest
