#include "jet/JetText.h"

#include "platform/TavelinError.h"

#include <cerrno>
#include <iconv.h>

namespace JetText {

QString DecodeJet4(const QByteArray &stored)
{
    const auto *p = reinterpret_cast<const unsigned char *>(stored.constData());
    const qsizetype n = stored.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        QString text;
        text.reserve(n);
        bool compressed = true;
        qsizetype i = 2;
        while (i < n) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text.append(QChar(p[i]));
                ++i;
            } else {
                if (i + 1 >= n)
                    throw TavelinError(QStringLiteral("the compressed text ends in the middle of a character"));
                text.append(QChar(static_cast<char16_t>(p[i] | (p[i + 1] << 8))));
                i += 2;
            }
        }
        return text;
    }
    if (n % 2 != 0)
        throw TavelinError(QStringLiteral("the text has an odd number of bytes (%1)").arg(n));
    QString text(n / 2, Qt::Uninitialized);
    for (qsizetype k = 0; k < n / 2; ++k)
        text[k] = QChar(static_cast<char16_t>(p[2 * k] | (p[2 * k + 1] << 8)));
    return text;
}

QString DecodeCodePage(const QByteArray &stored, const QByteArray &charset)
{
    if (stored.isEmpty())
        return QString();
    iconv_t cd = iconv_open("UTF-8", charset.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw TavelinError(QStringLiteral("the character set %1 is not known to this system")
                               .arg(QString::fromLatin1(charset)));
    // No multibyte code page takes more than 4 UTF-8 bytes per input byte.
    QByteArray out(stored.size() * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(stored.constData());
    size_t inLeft = static_cast<size_t>(stored.size());
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int err = errno;
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) {
        const qsizetype at = stored.size() - static_cast<qsizetype>(inLeft);
        throw TavelinError(QStringLiteral("byte %1 of the text is not a %2 character%3")
                               .arg(at)
                               .arg(QString::fromLatin1(charset),
                                    err == EINVAL ? QStringLiteral(" (the text ends inside one)") : QString()));
    }
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return QString::fromUtf8(out);
}

QByteArray CharsetForCodePage(int codePage)
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 874: return "CP874";
    case 65001: return "UTF-8";
    default: break;
    }
    if (codePage >= 1250 && codePage <= 1258)
        return "CP" + QByteArray::number(codePage);
    return "CP1252";
}

} // namespace JetText
