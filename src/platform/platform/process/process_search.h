#pragma once
// Finding KEST again without its process id: a run marks the process before it starts (an
// environment variable holding a token) and notes the moment, so that a manager that was ended
// before it could note the id finds the process afterwards.

#include <QString>

namespace pmkest {

// The moment, in the form of ProcessIdentity's start times: processes started later compare
// after it. Empty where the system cannot tell.
QString ProcessClockNow();

struct ProcessMark {
    QString variable;  // the environment variable that carries the token
    QString token;
    QString since;    // ProcessClockNow() before the process was started
    QString program;  // what was started; where the environment cannot be read, the match
};

// The id of the earliest live process of the current user started at or after mark.since that
// carries the mark (what it starts later carries it too); 0 when none does.
qint64 FindMarkedProcess(const ProcessMark& mark);

// The process pid is the current user's and carries the mark (where the environment cannot
// be read: runs mark.program).
bool CarriesMark(qint64 pid, const ProcessMark& mark);

}  // namespace pmkest
