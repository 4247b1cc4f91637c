// Built only by tst_layers, which expects the compiler to find no widgets for the core layer.
#include <QString>
#include <QWidget>

#include "core/app_state.h"

int ProbeCoreLayer() {
    return pmkest::kRecentCount;
}
