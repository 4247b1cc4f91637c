#pragma once
// The sample files of tests/data, with their @NAME@ marks filled in.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace pmkest::test {

using Fill = std::vector<std::pair<QByteArray, QByteArray>>;

// The file's bytes with each mark replaced; fails the test when the file cannot be read.
QByteArray SampleFile(const QString& name, const Fill& fill);

// KEST's settings for sources in folder (ending in "/") with main file main + ".pas"; the
// form of a project settings file too.
QByteArray SampleKestIni(const QByteArray& folder, const QByteArray& main);

struct SampleManagerSettings {
    int counter = 0;
    QByteArray kest;     // KEST's folder
    QByteArray kestIni;  // the folder of kest.ini
    QByteArray project;  // the current project file
    bool hide = false;
    bool russian = false;
};
QByteArray SampleManagerSettingsFile(const SampleManagerSettings& values);

}  // namespace pmkest::test
