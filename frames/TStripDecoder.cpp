#include "frames/TStripDecoder.h"

#include "data/sqlite/TThumbnailCache.h"
#include "picture/TJPEGImage.h"
#include "picture/ThumbnailKey.h"

#include <QThread>
#include <QThreadPool>

struct TStripDecoder::TCell {
    QByteArray bytes;
    QSize device;
    std::unique_ptr<TJPEGImage> picture;
};

namespace {

// A pool of our own: a strip never waits behind other work queued on Qt's shared pool.
QThreadPool &stripPool()
{
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
        return true;
    }();
    Q_UNUSED(sized);
    return pool;
}

} // namespace

TStripDecoder::TStripDecoder(TThumbnailCache *cache) : m_cache(cache) {}

TStripDecoder::~TStripDecoder()
{
    m_done.acquire(m_running);
}

void TStripDecoder::Add(QByteArray plain, const QSize &device)
{
    auto cell = std::make_unique<TCell>();
    cell->bytes = std::move(plain);
    cell->device = device;
    TCell *job = cell.get();
    m_cells.push_back(std::move(cell));
    if (job->bytes.isEmpty())
        return;
    ++m_running;
    TThumbnailCache *cache = m_cache;
    stripPool().start([this, job, cache] {
        Make(*job, cache);
        m_done.release();
    });
}

std::vector<std::unique_ptr<TJPEGImage>> TStripDecoder::Finish()
{
    m_done.acquire(m_running);
    m_running = 0;
    std::vector<std::unique_ptr<TJPEGImage>> pictures;
    for (auto &cell : m_cells)
        pictures.push_back(std::move(cell->picture));
    m_cells.clear();
    return pictures;
}

void TStripDecoder::Make(TCell &cell, TThumbnailCache *cache) noexcept
{
    try {
        const QByteArray bytes = std::exchange(cell.bytes, QByteArray());
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadFromBytes(bytes); // raises for bytes that are not a JPEG: the cell stays empty
        QByteArray key;
        if (cache && !cell.device.isEmpty()) {
            key = ThumbnailKey::For(bytes, cell.device);
            const QImage cached = cache->Find(key);
            if (cached.size() == cell.device) {
                picture->SetDisplayImage(cached);
                cell.picture = std::move(picture);
                return;
            }
        }
        TJPEGImage *made = picture.get();
        cell.picture = std::move(picture);
        made->MakeDisplayImage(cell.device); // a failure is remembered by the picture
        const QImage display = made->DisplayImage();
        if (!key.isEmpty() && !display.isNull())
            cache->Store(key, display);
    } catch (...) {
        // The cell keeps whatever was made of it: nothing, or a picture that cannot be drawn.
    }
}
