// pmkest as the recovery tests start it when it must end at a named point of a run: with
// PMKEST_STOP_AT set to a point ("swapped") or a point and a file name ("copying:kest.res"), it
// kills itself there (SIGKILL; TerminateProcess on Windows). Built with the tests only; the
// program itself has no switch.
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

#include <QByteArray>
#include <QFileInfo>

#include "app/entry.h"
#include "platform/stop_points.h"

namespace {

QByteArray g_stopAt;

void StopHere(const char* point, const QString& detail) {
    QByteArray here(point);
    if (!detail.isEmpty()) here += ':' + QFileInfo(detail).fileName().toUtf8();
    if (here != g_stopAt) return;
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 9);
#else
    ::raise(SIGKILL);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    g_stopAt = qgetenv("PMKEST_STOP_AT");
    if (!g_stopAt.isEmpty()) pmkest::SetStopPointListener(StopHere);
    return pmkest::RunProgram(argc, argv);
}
