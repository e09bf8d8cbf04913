#include "glo/TLengthLimitValidator.h"

#include <QLineEdit>

TLengthLimitValidator::TLengthLimitValidator(QLineEdit *edit, int limit)
    : QValidator(edit), m_limit(limit), m_acceptedLength(int(edit->text().size()))
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_acceptedLength = int(text.size()); });
}

QValidator::State TLengthLimitValidator::validate(QString &input, int &) const
{
    if (input.size() <= m_limit)
        return Acceptable;
    // Over the limit: only a change that does not make the text longer is allowed.
    return input.size() <= m_acceptedLength ? Acceptable : Invalid;
}
