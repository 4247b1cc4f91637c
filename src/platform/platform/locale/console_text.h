#pragma once
// Text for the person who started the program from a command line.

#include <QString>

namespace pmkest {

enum class ConsoleStream { Output, Errors };

// Prints the text where the command line shows it. A Windows GUI program has no console of
// its own: it writes to the one it was started from, else shows the text in a message box.
void PrintToConsole(ConsoleStream stream, const QString& text);

}  // namespace pmkest
