#pragma once
// Named points in a start of KEST at which a test build of the program can be stopped, to
// prove that a manager ended at any of them loses nothing. In the program itself nothing
// listens, and passing a point costs one test of a pointer.

#include <QString>

namespace pmkest {

// point: the step just done; detail: the file it concerns, if any.
using StopPointListener = void (*)(const char* point, const QString& detail);
void SetStopPointListener(StopPointListener listener);
void PassStopPoint(const char* point, const QString& detail = QString());

}  // namespace pmkest
