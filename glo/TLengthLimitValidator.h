#pragma once
// Keeps an edit from growing beyond a number of characters without cutting a longer text that was
// put into it before (QLineEdit::setMaxLength would truncate that text, and the caller's value with it).
#include <QValidator>

class QLineEdit;

class TLengthLimitValidator : public QValidator {
    Q_OBJECT
public:
    TLengthLimitValidator(QLineEdit *edit, int limit);
    State validate(QString &input, int &pos) const override;

private:
    int m_limit;
    // Length of the text as last accepted: the edit already holds the candidate while validating.
    int m_acceptedLength;
};
