#include "support/JpegSurgery.h"

#include <QtEndian>
#include <stdexcept>

namespace JpegSurgery {

namespace {

quint8 at(const QByteArray &b, qsizetype i)
{
    return static_cast<quint8>(b.at(i));
}

int segmentLength(const QByteArray &b, qsizetype marker)
{
    return (at(b, marker + 2) << 8) | at(b, marker + 3);
}

bool standalone(quint8 code)
{
    return code == 0xD8 || code == 0xD9 || (code >= 0xD0 && code <= 0xD7) || code == 0x01;
}

// End of the entropy-coded data that starts at from: the next marker that is not a stuffed
// zero or a restart marker.
qsizetype entropyEnd(const QByteArray &b, qsizetype from)
{
    for (qsizetype i = from; i + 1 < b.size(); ++i) {
        if (at(b, i) != 0xFF)
            continue;
        const quint8 next = at(b, i + 1);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF)
            continue;
        return i;
    }
    return b.size();
}

// Walks markers, calling f(offset, code) until it returns true; skips entropy-coded data.
template <typename F>
qsizetype walk(const QByteArray &b, F f)
{
    qsizetype i = 2; // after SOI
    while (i + 3 < b.size()) {
        if (at(b, i) != 0xFF)
            return -1;
        const quint8 code = at(b, i + 1);
        if (code == 0xFF) {
            ++i;
            continue;
        }
        if (f(i, code))
            return i;
        if (standalone(code)) {
            i += 2;
            continue;
        }
        qsizetype next = i + 2 + segmentLength(b, i);
        if (code == 0xDA)
            next = entropyEnd(b, next);
        i = next;
    }
    return -1;
}

} // namespace

qsizetype FindMarker(const QByteArray &jpeg, unsigned char code)
{
    return walk(jpeg, [code](qsizetype, quint8 c) { return c == code; });
}

qsizetype FindFrame(const QByteArray &jpeg)
{
    return walk(jpeg, [](qsizetype, quint8 c) { return c == 0xC0 || c == 0xC1 || c == 0xC2 || c == 0xC9 || c == 0xCA; });
}

QByteArray WithForgedSize(const QByteArray &jpeg, int width, int height)
{
    const qsizetype sof = FindFrame(jpeg);
    if (sof < 0)
        throw std::runtime_error("no frame header");
    QByteArray out = jpeg;
    // FF Cn, length(2), precision(1), height(2), width(2)
    out[sof + 5] = char((height >> 8) & 0xFF);
    out[sof + 6] = char(height & 0xFF);
    out[sof + 7] = char((width >> 8) & 0xFF);
    out[sof + 8] = char(width & 0xFF);
    return out;
}

QByteArray CutAt(const QByteArray &jpeg, qsizetype n)
{
    return jpeg.left(n);
}

qsizetype ScanDataStart(const QByteArray &jpeg)
{
    const qsizetype sos = FindMarker(jpeg, 0xDA);
    return sos < 0 ? -1 : sos + 2 + segmentLength(jpeg, sos);
}

QByteArray WithoutQuantTable0(const QByteArray &jpeg)
{
    QByteArray out = jpeg;
    walk(jpeg, [&out, &jpeg](qsizetype i, quint8 c) {
        if (c != 0xDB)
            return false;
        // Each table in the segment: Pq/Tq byte, then 64 (or 128) values.
        const qsizetype end = i + 2 + segmentLength(jpeg, i);
        qsizetype t = i + 4;
        while (t < end) {
            const quint8 pqtq = at(jpeg, t);
            if ((pqtq & 0x0F) == 0)
                out[t] = char((pqtq & 0xF0) | 0x03);
            t += 1 + ((pqtq >> 4) ? 128 : 64);
        }
        return false;
    });
    return out;
}

QByteArray WithRepeatedLastScan(const QByteArray &jpeg, int scans)
{
    qsizetype lastSos = -1;
    walk(jpeg, [&lastSos](qsizetype i, quint8 c) {
        if (c == 0xDA)
            lastSos = i;
        return false;
    });
    if (lastSos < 0)
        throw std::runtime_error("no scan");
    const qsizetype end = entropyEnd(jpeg, lastSos + 2 + segmentLength(jpeg, lastSos));
    const QByteArray scan = jpeg.mid(lastSos, end - lastSos);
    const int have = CountScans(jpeg);
    QByteArray out = jpeg.left(end);
    for (int n = have; n < scans; ++n)
        out += scan;
    out += jpeg.mid(end);
    return out;
}

int CountScans(const QByteArray &jpeg)
{
    int n = 0;
    walk(jpeg, [&n](qsizetype, quint8 c) {
        if (c == 0xDA)
            ++n;
        return false;
    });
    return n;
}

} // namespace JpegSurgery
