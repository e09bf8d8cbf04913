#include "jet/JetLongValue.h"

#include "platform/TavelinError.h"

#include <QSet>

namespace JetLongValue {
namespace {

quint32 le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

QString where(quint32 pageRow)
{
    return QStringLiteral("page %1 row %2").arg(pageRow >> 8).arg(pageRow & 0xFF);
}

} // namespace

THeader ParseHeader(const char *field, int fieldSize)
{
    if (fieldSize < kHeaderSize)
        throw TavelinError(QStringLiteral("the long-value header is %1 bytes instead of %2")
                               .arg(fieldSize)
                               .arg(kHeaderSize));
    const quint32 word = le32(field);
    THeader h;
    h.length = word & 0x3FFFFFFFu;
    h.firstRow = le32(field + 4);
    switch (word >> 30) {
    case 2: h.kind = TKind::Inline; break;
    case 1: h.kind = TKind::SinglePage; break;
    case 0: h.kind = TKind::PageChain; break;
    default:
        throw TavelinError(QStringLiteral("the long-value header has an unknown kind (0x%1)")
                               .arg(word, 8, 16, QLatin1Char('0')));
    }
    if (h.kind == TKind::Inline && quint32(fieldSize - kHeaderSize) != h.length)
        throw TavelinError(QStringLiteral("the value declares %1 bytes but the row holds %2")
                               .arg(h.length)
                               .arg(fieldSize - kHeaderSize));
    return h;
}

QByteArray Read(const char *field, int fieldSize, qint64 maxLength, const TRowReader &readRow)
{
    const THeader h = ParseHeader(field, fieldSize);
    if (qint64(h.length) > maxLength)
        throw TavelinError(QStringLiteral("the value declares %1 bytes, more than the whole file holds").arg(h.length));
    switch (h.kind) {
    case TKind::Inline:
        return QByteArray(field + kHeaderSize, qsizetype(h.length));
    case TKind::SinglePage: {
        QByteArray bytes = readRow(h.firstRow);
        if (quint32(bytes.size()) != h.length)
            throw TavelinError(QStringLiteral("the value declares %1 bytes but %2 holds %3")
                                   .arg(h.length)
                                   .arg(where(h.firstRow))
                                   .arg(bytes.size()));
        return bytes;
    }
    case TKind::PageChain:
        break;
    }
    QByteArray value;
    value.reserve(qsizetype(h.length));
    QSet<quint32> seen;
    quint32 next = h.firstRow;
    while (next != 0) {
        if (seen.contains(next))
            throw TavelinError(QStringLiteral("the parts of the value loop back to %1").arg(where(next)));
        seen.insert(next);
        const QByteArray part = readRow(next);
        if (part.size() < 4)
            throw TavelinError(QStringLiteral("%1 is too short to be a part of the value").arg(where(next)));
        const qsizetype payload = part.size() - 4;
        if (quint64(value.size()) + quint64(payload) > h.length)
            throw TavelinError(QStringLiteral("the parts of the value hold more than the %1 bytes it declares")
                                   .arg(h.length));
        value.append(part.constData() + 4, payload);
        next = le32(part.constData());
    }
    if (quint32(value.size()) != h.length)
        throw TavelinError(QStringLiteral("the value is cut short: %1 of %2 bytes").arg(value.size()).arg(h.length));
    return value;
}

} // namespace JetLongValue
