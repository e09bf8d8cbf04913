#pragma once
// Makes the pictures of one entry's thumbnail cells on a pool of threads: the JPEG header read, the
// picture shrunk to its cell, or found in the thumbnail cache.
// All of that is pure work on bytes the user-interface thread has already read from the catalogue;
// what the user sees (which cell shows which slot, when the cells change) stays with the caller.
#include <QByteArray>
#include <QSemaphore>
#include <QSize>

#include <memory>
#include <vector>

class TJPEGImage;
class TThumbnailCache;

class TStripDecoder {
public:
    // cache may be null: every cell is then decoded.
    explicit TStripDecoder(TThumbnailCache *cache);
    ~TStripDecoder(); // waits for work still running
    TStripDecoder(const TStripDecoder &) = delete;
    TStripDecoder &operator=(const TStripDecoder &) = delete;

    // Starts the picture of one cell at once. plain: the slot's JPEG bytes, empty for an empty
    // slot; device: the cell's size in device pixels.
    void Add(QByteArray plain, const QSize &device);
    // Waits for all of them. In the order added: the cell's picture, or null when the cell stays
    // empty (an empty slot, bytes that are not a JPEG). A picture whose data fails only while
    // decoding is still returned, as a cell that cannot draw it.
    std::vector<std::unique_ptr<TJPEGImage>> Finish();

private:
    struct TCell;
    static void Make(TCell &cell, TThumbnailCache *cache) noexcept;

    TThumbnailCache *m_cache;
    std::vector<std::unique_ptr<TCell>> m_cells;
    QSemaphore m_done;
    int m_running = 0;
};
