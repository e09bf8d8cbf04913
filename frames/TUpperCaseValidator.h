#pragma once
// Shows typed letters a to z in upper case, as the search box does; other characters stay.
#include <QValidator>

class TUpperCaseValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
