#pragma once

#include <QValidator>

namespace pmkest {

// Refuses characters that CP1251 cannot hold, so a typed text is never stored mangled.
class Cp1251Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace pmkest
