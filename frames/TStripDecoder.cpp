#include "frames/TStripDecoder.h"

#include "data/PictureTransform.h"
#include "data/sqlite/TThumbnailCache.h"
#include "picture/ContentHash.h"
#include "picture/JpegHeaderCoding.h"
#include "picture/TJPEGImage.h"
#include "picture/ThumbnailKey.h"

#include <QThread>
#include <QThreadPool>

struct TStripDecoder::TCell {
    QByteArray bytes;
    bool transformed = false;
    QSize device;
    std::optional<TPictureDigest> digest;
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

// The storage transform by name: a different transform must never share a key.
QByteArray transformName(bool transformed)
{
    return transformed ? QByteArrayLiteral("rotl3-xor-not") : QByteArray();
}

} // namespace

TStripDecoder::TStripDecoder(int cells, TThumbnailCache *cache) : m_cache(cache)
{
    for (int k = 0; k < cells; ++k)
        m_cells.push_back(std::make_unique<TCell>());
}

TStripDecoder::~TStripDecoder()
{
    m_done.acquire(m_running);
}

QByteArray TStripDecoder::KeyFor(const TPictureDigest &digest, bool transformed, const QSize &device)
{
    return ThumbnailKey::ForStored(digest.size, digest.hash, transformName(transformed), device);
}

bool TStripDecoder::AddFromCache(int index, const QByteArray &key, const QSize &device, TJPEGImage::TByteSource source)
{
    if (!m_cache || device.isEmpty() || index < 0 || index >= int(m_cells.size()))
        return false;
    QByteArray note;
    const QImage cached = m_cache->Find(key, &note);
    const std::optional<JpegDecoder::THeader> header = JpegHeaderCoding::Decode(note);
    if (cached.size() != device || !header)
        return false;
    auto picture = std::make_unique<TJPEGImage>();
    picture->LoadDeferred(*header, cached, std::move(source));
    TCell &cell = *m_cells[size_t(index)];
    cell.device = device;
    cell.picture = std::move(picture);
    return true;
}

void TStripDecoder::Add(int index, QByteArray stored, bool transformed, const QSize &device,
                        std::optional<TPictureDigest> digest)
{
    if (index < 0 || index >= int(m_cells.size()))
        return;
    TCell *job = m_cells[size_t(index)].get();
    job->bytes = std::move(stored);
    job->transformed = transformed;
    job->device = device;
    job->digest = digest;
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
        QByteArray bytes = std::exchange(cell.bytes, QByteArray());
        const bool keyed = cache && !cell.device.isEmpty();
        // The catalogue's digest names these bytes only when they are what it describes: the
        // slot may have been written between the two reads.
        QByteArray key;
        const bool described =
            keyed && cell.digest && cell.digest->size == bytes.size() && cell.digest->hash == ContentHash::Of(bytes);
        if (described)
            key = KeyFor(*cell.digest, cell.transformed, cell.device);
        if (cell.transformed)
            PictureTransform::DecodeBuffer(reinterpret_cast<std::uint8_t *>(bytes.data()), size_t(bytes.size()));
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadFromBytes(bytes); // raises for bytes that are not a JPEG: the cell stays empty
        if (keyed && key.isEmpty())
            key = ThumbnailKey::For(bytes, cell.device);
        if (keyed && !described) { // under the digest's key the caller has looked already
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
            cache->Store(key, display, JpegHeaderCoding::Encode(made->Header()));
    } catch (...) {
        // The cell keeps whatever was made of it: nothing, or a picture that cannot be drawn.
    }
}
