#include "picture/ContentHash.h"

#include <QtEndian>

#include <cstring>

namespace ContentHash {
namespace {

constexpr quint64 P1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 P2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 P3 = 0x165667B19E3779F9ULL;
constexpr quint64 P4 = 0x85EBCA77C2B2AE63ULL;
constexpr quint64 P5 = 0x27D4EB2F165667C5ULL;

inline quint64 rotl(quint64 x, int r)
{
    return (x << r) | (x >> (64 - r));
}

// Little-endian reads whatever the host, so a value written on one machine means the same on another.
// (qFromLittleEndian is one unaligned load on a little-endian host; a byte-by-byte loop is not
// always folded into one, and the hash then runs at a third of its speed.)
inline quint64 read64(const unsigned char *p)
{
    return qFromLittleEndian<quint64>(p);
}

inline quint32 read32(const unsigned char *p)
{
    return qFromLittleEndian<quint32>(p);
}

inline quint64 round(quint64 acc, quint64 input)
{
    acc += input * P2;
    acc = rotl(acc, 31);
    return acc * P1;
}

inline quint64 merge(quint64 acc, quint64 v)
{
    acc ^= round(0, v);
    return acc * P1 + P4;
}

} // namespace

quint64 Of(const char *data, qsizetype size, quint64 seed)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const unsigned char *const end = p + size;
    quint64 h;
    if (size >= 32) {
        // Four independent lanes keep the multiplier busy: several bytes per cycle.
        quint64 v1 = seed + P1 + P2, v2 = seed + P2, v3 = seed, v4 = seed - P1;
        const unsigned char *const limit = end - 32;
        do {
            v1 = round(v1, read64(p));
            v2 = round(v2, read64(p + 8));
            v3 = round(v3, read64(p + 16));
            v4 = round(v4, read64(p + 24));
            p += 32;
        } while (p <= limit);
        h = rotl(v1, 1) + rotl(v2, 7) + rotl(v3, 12) + rotl(v4, 18);
        h = merge(h, v1);
        h = merge(h, v2);
        h = merge(h, v3);
        h = merge(h, v4);
    } else {
        h = seed + P5;
    }
    h += quint64(size);
    while (end - p >= 8) {
        h ^= round(0, read64(p));
        h = rotl(h, 27) * P1 + P4;
        p += 8;
    }
    if (end - p >= 4) {
        h ^= quint64(read32(p)) * P1;
        h = rotl(h, 23) * P2 + P3;
        p += 4;
    }
    while (p < end) {
        h ^= quint64(*p) * P5;
        h = rotl(h, 11) * P1;
        ++p;
    }
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

} // namespace ContentHash
