#pragma once
// Telling a running process from another one that later got the same process id.

#include <QString>

namespace pmkest {

// A token that names one process for its whole life (the boot and the moment it started):
// a later process with the same id gets another token. Empty when no process with that id is
// running; one that has ended but is not yet reaped counts as ended.
QString ProcessIdentity(qint64 pid);

// The process runs as the current user (on Windows: its token's user is the current one).
bool ProcessIsUsers(qint64 pid);

// Ends the process that identity names, as ending a child does: asked first, forced after
// three seconds. Returns once it has gone; a process that is not that one, or not the user's
// own, is left alone.
void EndIdentifiedProcess(qint64 pid, const QString& identity);

}  // namespace pmkest
