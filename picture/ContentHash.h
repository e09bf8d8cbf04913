#pragma once
// A fast, stable 64-bit hash of a byte range (the XXH64 construction): the same value on every run,
// build and machine, so it can key what is kept on disk between runs.
#include <QByteArray>
#include <QtGlobal>

namespace ContentHash {

quint64 Of(const char *data, qsizetype size, quint64 seed = 0);
inline quint64 Of(const QByteArray &bytes, quint64 seed = 0)
{
    return Of(bytes.constData(), bytes.size(), seed);
}

} // namespace ContentHash
