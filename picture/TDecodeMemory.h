#pragma once
// One memory bound for every picture decode of the program: libjpeg's working memory and the
// decoded images together, over all pictures at once (cells, preview, viewer windows). A decode
// reserves what it will need before anything is allocated; a kept image holds its share until it
// is discarded.
#include <QtGlobal>

class TDecodeMemory {
public:
    // The bound for the whole program.
    static constexpr qint64 kLimit = qint64(1) << 30;

    static qint64 Limit();
    static qint64 InUse();
    // Tests set a small limit to reach it with small pictures; 0 restores kLimit.
    static void SetLimitForTesting(qint64 limit);
};

// A share of TDecodeMemory, given back when it is destroyed. Empty until Reserve succeeds.
class TDecodeReservation {
public:
    TDecodeReservation() = default;
    ~TDecodeReservation();
    TDecodeReservation(TDecodeReservation &&other) noexcept;
    TDecodeReservation &operator=(TDecodeReservation &&other) noexcept;
    TDecodeReservation(const TDecodeReservation &) = delete;
    TDecodeReservation &operator=(const TDecodeReservation &) = delete;

    // Takes bytes more; false (and nothing taken) when that would pass the limit.
    bool Reserve(qint64 bytes);
    // Gives back all but `bytes` of the share.
    void ShrinkTo(qint64 bytes);
    void Release();
    qint64 Bytes() const { return m_bytes; }

private:
    qint64 m_bytes = 0;
};
