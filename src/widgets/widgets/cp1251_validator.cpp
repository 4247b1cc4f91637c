#include "widgets/cp1251_validator.h"

#include "core/text/cp1251.h"

namespace pmkest {

QValidator::State Cp1251Validator::validate(QString& input, int&) const {
    return cp1251::FromQString(input) ? Acceptable : Invalid;
}

}  // namespace pmkest
