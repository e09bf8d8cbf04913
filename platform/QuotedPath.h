#pragma once
// A file path as messages show it: in the system's separators, in double quotes.
#include <QDir>
#include <QString>

inline QString QuotedPath(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}
