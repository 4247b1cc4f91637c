#pragma once
// The validator of line edits whose text is kept as CP1251.

#include <QValidator>

namespace pmkest {

// Refuses characters that CP1251 cannot hold, so a typed text is never stored mangled.
class Cp1251Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace pmkest
