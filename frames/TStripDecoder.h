#pragma once
// Makes the pictures of one entry's thumbnail cells on a pool of threads: the storage transform
// undone, the JPEG header read, the picture shrunk to its cell, or found in the thumbnail cache.
// All of that is pure work on bytes the user-interface thread has already read from the catalogue;
// what the user sees (which cell shows which slot, when the cells change) stays with the caller.
#include "data/TCatalogStore.h"
#include "picture/TJPEGImage.h"

#include <QByteArray>
#include <QSemaphore>
#include <QSize>

#include <memory>
#include <optional>
#include <vector>

class TThumbnailCache;

class TStripDecoder {
public:
    // cells: how many cells the strip has; cache may be null: every cell is then decoded.
    TStripDecoder(int cells, TThumbnailCache *cache);
    ~TStripDecoder(); // waits for work still running
    TStripDecoder(const TStripDecoder &) = delete;
    TStripDecoder &operator=(const TStripDecoder &) = delete;

    // The cache key of a picture the catalogue names by its digest, for a cell of device pixels;
    // transformed: whether the atlas stores its pictures transformed.
    static QByteArray KeyFor(const TPictureDigest &digest, bool transformed, const QSize &device);

    // A cell whose picture the cache holds under key, made at once on this thread without the
    // picture's bytes (source gives them when the picture is shown larger). False, with nothing
    // added, when the cache does not hold it: the caller reads the bytes and calls Add.
    // cell: 0-based, each cell given once (by AddFromCache or Add), in any order.
    bool AddFromCache(int cell, const QByteArray &key, const QSize &device, TJPEGImage::TByteSource source);

    // Starts the picture of one cell at once. stored: the slot's bytes as the catalogue keeps
    // them, empty for an empty slot; transformed: whether they are to be un-transformed; device:
    // the cell's size in device pixels. digest: what the catalogue says the bytes are, after the
    // cache missed under KeyFor(digest); when the bytes match it the picture is kept under that
    // key, else looked for and kept under their own hash.
    void Add(int cell, QByteArray stored, bool transformed, const QSize &device,
             std::optional<TPictureDigest> digest = {});
    // Waits for all of them. Cell by cell: its picture, or null when the cell stays empty (never
    // given, an empty slot, bytes that are not a JPEG). A picture whose data fails only while
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
