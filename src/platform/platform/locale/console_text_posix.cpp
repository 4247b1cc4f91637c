#include "platform/locale/console_text.h"

#include <cstdio>

namespace pmkest {

void PrintToConsole(ConsoleStream stream, const QString& text) {
    std::FILE* file = stream == ConsoleStream::Errors ? stderr : stdout;
    std::fputs(text.toLocal8Bit().constData(), file);
    std::fflush(file);
}

}  // namespace pmkest
