#pragma once
// How KEST's process is set up before it starts, ended when the manager must end it, and what
// of the system it sees: its code page and where its writes to a protected folder go.

#include <QString>
#include <QtGlobal>

class QProcess;

namespace pmkest {

// KEST gets a console of its own and none of the manager's handles; the program path, which
// may hold blanks, is never split.
void PrepareKestProcess(QProcess& process);

// Ends KEST: the run is over for it, whatever it was doing. Returns once it has gone.
void EndKestProcess(QProcess& process);

// The code page in which an ANSI program such as KEST reads file names; 0 where the system has
// none (the names reach KEST some other way).
unsigned AnsiCodePage();

// Where the system keeps a program's own copies of files it writes into a protected folder
// (the per-user virtual store); empty where writes are never redirected.
QString VirtualStoreFolder(const QString& folder);

// Gives the foreground back to the manager's window (a native handle) once KEST has ended, after
// the window has been shown and activated the toolkit's way; where the system lets only the
// program in the foreground hand it on, the toolkit's way may only flash the window.
void TakeForegroundAfterKest(quintptr window);

}  // namespace pmkest
