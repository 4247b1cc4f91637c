#pragma once
// Where the file dialogs start when the program has no folder of its own to offer.

#include <QString>

namespace pmkest {

QString DialogStartFolder();

}  // namespace pmkest
