#pragma once
// Long values (memo and OLE columns) of a Jet row. The row holds a 12-byte header: the value's
// length in the low 30 bits of the first 32-bit word and its kind in the top two bits (inline after
// the header, one row of a long-value page, or a chain of such rows each beginning with the
// page/row of the next), then the page/row of the first part. Reading checks the parts against
// the declared length: a short, long or looping chain is an error, never data.
#include <QByteArray>
#include <QtGlobal>

#include <functional>

namespace JetLongValue {

constexpr int kHeaderSize = 12;

enum class TKind { Inline, SinglePage, PageChain };

struct THeader {
    TKind kind = TKind::Inline;
    quint32 length = 0;   // bytes of the value
    quint32 firstRow = 0; // page << 8 | row of the first part, for SinglePage and PageChain
};

// The header of a field of fieldSize bytes; throws TavelinError when it cannot be one.
THeader ParseHeader(const char *field, int fieldSize);

// Bytes of one row of a long-value page, given its page/row; throws when it cannot be read.
using TRowReader = std::function<QByteArray(quint32 pageRow)>;

// The whole value. maxLength bounds what a header may declare (the file's size), so a damaged
// header cannot ask for gigabytes.
QByteArray Read(const char *field, int fieldSize, qint64 maxLength, const TRowReader &readRow);

} // namespace JetLongValue
