#include "platform/process/kest_process.h"

#include <windows.h>

#include <QDir>
#include <QProcess>

namespace pmkest {

void PrepareKestProcess(QProcess& process) {
    // Nothing to read from KEST: no pipes, so no handle of the manager leaks into it.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags = (args->flags & ~static_cast<DWORD>(CREATE_NO_WINDOW | DETACHED_PROCESS)) |
                      CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
        args->inheritHandles = FALSE;
        args->startupInfo->dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
        args->startupInfo->hStdInput = nullptr;
        args->startupInfo->hStdOutput = nullptr;
        args->startupInfo->hStdError = nullptr;
    });
}

void EndKestProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(process.processId()));
    if (handle) {
        TerminateProcess(handle, 2);
        CloseHandle(handle);
    } else {
        process.kill();
    }
    process.waitForFinished(-1);
}

unsigned AnsiCodePage() {
    return GetACP();
}

QString VirtualStoreFolder(const QString& folder) {
    // Only a folder on a local drive is mirrored: "C:\Program Files\KEST\" is kept under
    // %LOCALAPPDATA%\VirtualStore\Program Files\KEST\.
    const QString native = QDir::toNativeSeparators(folder);
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (local.isEmpty() || native.size() < 3 || native[1] != u':' || native[2] != u'\\') return {};
    QString store =
        QDir::toNativeSeparators(local) + QStringLiteral("\\VirtualStore\\") + native.mid(3);
    if (!store.endsWith(u'\\')) store += u'\\';
    return store;
}

void TakeForegroundAfterKest(quintptr window) {
    const HWND own = reinterpret_cast<HWND>(window);
    const HWND foreground = GetForegroundWindow();
    if (!own || foreground == own) return;
    // Windows hands the foreground only to the program that has it; sharing that program's
    // input state for the moment of the call counts as having it.
    const DWORD ownThread = GetCurrentThreadId();
    const DWORD thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached =
        thread && thread != ownThread && AttachThreadInput(thread, ownThread, TRUE);
    SetForegroundWindow(own);
    BringWindowToTop(own);
    if (attached) AttachThreadInput(thread, ownThread, FALSE);
}

}  // namespace pmkest
