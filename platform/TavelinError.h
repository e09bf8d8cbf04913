#pragma once
// The one exception type of the program: a message a person can act on.
#include <QString>
#include <stdexcept>

class TavelinError : public std::runtime_error {
public:
    explicit TavelinError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
