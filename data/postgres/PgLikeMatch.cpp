#include "data/postgres/PgLikeMatch.h"

namespace PgLikeMatch {
namespace {

enum class TResult { Match, NoMatch, Abort }; // Abort: no later start can match either

unsigned char folded(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Bytes of the UTF-8 character that starts with c (a stray continuation byte counts as one).
qsizetype characterLength(unsigned char c)
{
    if (c < 0xC0)
        return 1;
    if (c < 0xE0)
        return 2;
    return c < 0xF0 ? 3 : 4;
}

void nextCharacter(const unsigned char *&t, qsizetype &length)
{
    const qsizetype n = qMin(characterLength(*t), length);
    t += n;
    length -= n;
}

// The server's own way: literal bytes compared one by one, '_' taking a whole character, '%'
// trying each character boundary in turn.
TResult match(const unsigned char *t, qsizetype tlen, const unsigned char *p, qsizetype plen)
{
    while (tlen > 0 && plen > 0) {
        if (*p == '%') {
            ++p;
            --plen;
            while (plen > 0) { // a run of wildcards: each '_' takes a character now
                if (*p == '%') {
                    ++p;
                    --plen;
                } else if (*p == '_') {
                    if (tlen <= 0)
                        return TResult::Abort;
                    nextCharacter(t, tlen);
                    ++p;
                    --plen;
                } else {
                    break;
                }
            }
            if (plen <= 0)
                return TResult::Match;
            while (tlen > 0) {
                if (folded(*t) == *p) {
                    const TResult r = match(t, tlen, p, plen);
                    if (r != TResult::NoMatch)
                        return r;
                }
                nextCharacter(t, tlen);
            }
            return TResult::Abort;
        }
        if (*p == '_') {
            nextCharacter(t, tlen);
            ++p;
            --plen;
            continue;
        }
        if (folded(*t) != *p)
            return TResult::NoMatch;
        ++t;
        --tlen;
        ++p;
        --plen;
    }
    if (tlen > 0)
        return TResult::NoMatch;
    while (plen > 0 && *p == '%') {
        ++p;
        --plen;
    }
    return plen <= 0 ? TResult::Match : TResult::Abort;
}

} // namespace

bool Matches(QByteArrayView text, QByteArrayView pattern)
{
    return match(reinterpret_cast<const unsigned char *>(text.data()), text.size(),
                 reinterpret_cast<const unsigned char *>(pattern.data()), pattern.size())
           == TResult::Match;
}

} // namespace PgLikeMatch
