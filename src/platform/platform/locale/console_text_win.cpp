#include "platform/locale/console_text.h"

#include <windows.h>

#include <string>

namespace pmkest {

namespace {

bool WriteTo(HANDLE handle, const QString& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN) return false;
    DWORD mode = 0;
    if (type == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
        // A console takes the text as it is, Cyrillic included.
        const std::wstring wide = text.toStdWString();
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr) != 0;
    }
    // A pipe or a file gets the bytes a console program would write.
    const QByteArray bytes = text.toLocal8Bit();
    DWORD written = 0;
    return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr) != 0;
}

}  // namespace

void PrintToConsole(ConsoleStream stream, const QString& text) {
    const DWORD which = stream == ConsoleStream::Errors ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    // Output redirected by the caller reaches even a GUI program.
    if (WriteTo(GetStdHandle(which), text)) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool written = WriteTo(console, text);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
        FreeConsole();
        if (written) return;
    }
    // Started from Explorer or a shortcut: nobody would see a console.
    const std::wstring wide = text.trimmed().toStdWString();
    MessageBoxW(nullptr, wide.c_str(), L"pmkest",
                MB_OK | (stream == ConsoleStream::Errors ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace pmkest
