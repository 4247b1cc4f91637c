#pragma once
// The program from main() on: the single-instance check, the windows and the message loop.

#include <QString>

namespace pmkest {

class UserDialogs;

// The program: refuses a second copy, creates the windows, runs the message loop.
// instanceFolder holds the single-instance marker.
int RunProgram(int argc, char** argv, UserDialogs* dialogs = nullptr,
               const QString& instanceFolder = QString());

}  // namespace pmkest
