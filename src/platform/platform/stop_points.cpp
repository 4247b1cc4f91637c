#include "platform/stop_points.h"

namespace pmkest {

namespace {

StopPointListener g_listener = nullptr;

}  // namespace

void SetStopPointListener(StopPointListener listener) {
    g_listener = listener;
}

void PassStopPoint(const char* point, const QString& detail) {
    if (g_listener) g_listener(point, detail);
}

}  // namespace pmkest
