#include "picture/TDecodeMemory.h"

#include <atomic>

namespace {

// Decodes may run on a pool as well as on the user-interface thread.
std::atomic<qint64> g_inUse{0};
std::atomic<qint64> g_limit{TDecodeMemory::kLimit};

} // namespace

qint64 TDecodeMemory::Limit()
{
    return g_limit.load();
}

qint64 TDecodeMemory::InUse()
{
    return g_inUse.load();
}

void TDecodeMemory::SetLimitForTesting(qint64 limit)
{
    g_limit.store(limit > 0 ? limit : kLimit);
}

TDecodeReservation::~TDecodeReservation()
{
    Release();
}

TDecodeReservation::TDecodeReservation(TDecodeReservation &&other) noexcept : m_bytes(other.m_bytes)
{
    other.m_bytes = 0;
}

TDecodeReservation &TDecodeReservation::operator=(TDecodeReservation &&other) noexcept
{
    if (this != &other) {
        Release();
        m_bytes = other.m_bytes;
        other.m_bytes = 0;
    }
    return *this;
}

bool TDecodeReservation::Reserve(qint64 bytes)
{
    if (bytes <= 0)
        return true;
    qint64 used = g_inUse.load();
    do {
        if (bytes > g_limit.load() - used)
            return false;
    } while (!g_inUse.compare_exchange_weak(used, used + bytes));
    m_bytes += bytes;
    return true;
}

void TDecodeReservation::ShrinkTo(qint64 bytes)
{
    if (bytes < 0)
        bytes = 0;
    if (bytes >= m_bytes)
        return;
    g_inUse.fetch_sub(m_bytes - bytes);
    m_bytes = bytes;
}

void TDecodeReservation::Release()
{
    ShrinkTo(0);
}
