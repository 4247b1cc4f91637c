// Without Wine support KEST runs as it is: no prefix is ever made, so there is nothing to note.
#include "windows/launch/kest_launcher.h"

namespace pmkest {

void KestLauncher::preparingPrefix(const QString&) {}

}  // namespace pmkest
