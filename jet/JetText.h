#pragma once
// Text values as a Jet file stores them, decoded exactly. Jet 4 keeps UTF-16 units, optionally in
// its "compressed" form (FF FE, then runs of one-byte characters and of two-byte units switched by a
// zero byte); Jet 3 keeps bytes of the code page the file was written in. Malformed bytes are an
// error, never replaced by '?': a converted catalogue must hold the names as they were.
#include <QByteArray>
#include <QString>

namespace JetText {

// Throws TavelinError when the bytes are not a whole number of UTF-16 units.
QString DecodeJet4(const QByteArray &stored);
// Strict conversion from the given iconv charset; throws on bytes that are not text in it.
QString DecodeCodePage(const QByteArray &stored, const QByteArray &charset);
// The iconv name of a Windows code page number (936 -> "CP936").
QByteArray CharsetForCodePage(int codePage);

} // namespace JetText
