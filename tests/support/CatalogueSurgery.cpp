#include "support/CatalogueSurgery.h"

#include "data/sqlite/SqliteCatalogSchema.h"
#include "support/SqliteShell.h"

#include <QFile>

namespace CatalogueSurgery {
namespace {

quint32 be(const QByteArray &b, qsizetype at, int n)
{
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

void putBe32(QByteArray &b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (24 - 8 * i)) & 0xff);
}

// SQLite's variable-length integer; *length gets its size in bytes.
qint64 varint(const QByteArray &b, qsizetype at, int *length)
{
    qint64 v = 0;
    for (int i = 0; i < 8; ++i) {
        const quint8 c = quint8(b[at + i]);
        v = (v << 7) | (c & 0x7f);
        if (!(c & 0x80)) {
            *length = i + 1;
            return v;
        }
    }
    *length = 9;
    return (v << 8) | quint8(b[at + 8]);
}

// Writes v in exactly `length` bytes (leading continuation bytes may be 0x80).
bool putVarint(QByteArray &b, qsizetype at, int length, qint64 v)
{
    if (length > 8 || v >= (qint64(1) << (7 * length)))
        return false;
    for (int i = length - 1; i >= 0; --i) {
        b[at + i] = char((v & 0x7f) | (i == length - 1 ? 0 : 0x80));
        v >>= 7;
    }
    return true;
}

} // namespace

qint64 LoopPictureOverflowChain(const QString &path, qint64 pictureId, QString *why)
{
    // Small pages (a long overflow chain) and the table's root page, through SQLite's own shell.
    QString rootText;
    const QString failed = SqliteShell::Run(
        path,
        QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA page_size=512; VACUUM; "
                       "SELECT rootpage FROM sqlite_master WHERE name = '%1'")
            .arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable)),
        &rootText);
    if (!failed.isEmpty()) {
        *why = failed;
        return -1;
    }
    const qint64 root = rootText.trimmed().section(QLatin1Char('\n'), -1).toLongLong();
    QFile f(path);
    if (root <= 0 || !f.open(QIODevice::ReadWrite)) {
        *why = QStringLiteral("no picture table");
        return -1;
    }
    QByteArray file = f.readAll();
    const qint64 pageSize = be(file, 16, 2);
    const qint64 usable = pageSize - quint8(file[20]);
    // Down the table's b-tree to the leaf that holds the row.
    qsizetype page = (root - 1) * pageSize;
    for (int depth = 0; depth < 20 && quint8(file[page]) == 0x05; ++depth) {
        const int count = int(be(file, page + 3, 2));
        quint32 child = be(file, page + 8, 4); // the right-most child, for keys above every cell
        for (int c = 0; c < count; ++c) {
            const qsizetype cell = page + be(file, page + 12 + 2 * c, 2);
            int length = 0;
            if (pictureId <= varint(file, cell + 4, &length)) {
                child = be(file, cell, 4);
                break;
            }
        }
        page = (qint64(child) - 1) * pageSize;
    }
    if (quint8(file[page]) != 0x0D) {
        *why = QStringLiteral("the picture table's leaf was not found");
        return -1;
    }
    const int cells = int(be(file, page + 3, 2));
    for (int c = 0; c < cells; ++c) {
        const qsizetype cell = page + be(file, page + 8 + 2 * c, 2);
        int payloadLength = 0, rowidLength = 0, headerSizeLength = 0, idTypeLength = 0, blobTypeLength = 0;
        const qint64 payload = varint(file, cell, &payloadLength);
        if (varint(file, cell + payloadLength, &rowidLength) != pictureId)
            continue;
        const qsizetype local = cell + payloadLength + rowidLength;
        varint(file, local, &headerSizeLength);
        varint(file, local + headerSizeLength, &idTypeLength);
        const qsizetype blobType = local + headerSizeLength + idTypeLength;
        const qint64 serial = varint(file, blobType, &blobTypeLength);
        // Local part of the payload, as SQLite computes it for a table leaf.
        const qint64 maxLocal = usable - 35, minLocal = (usable - 12) * 32 / 255 - 23;
        if (payload <= maxLocal) {
            *why = QStringLiteral("the picture has no overflow pages");
            return -1;
        }
        qint64 k = minLocal + (payload - minLocal) % (usable - 4);
        if (k > maxLocal)
            k = minLocal;
        const quint32 firstOverflow = be(file, local + k, 4);
        // Claim whole overflow pages more, so the local part and the chain's start stay where they are.
        const qint64 extra = ((qint64(1) << 19) / (usable - 4)) * (usable - 4);
        const qint64 bytes = (serial - 12) / 2 + extra;
        if (!putVarint(file, cell, payloadLength, payload + extra)
            || !putVarint(file, blobType, blobTypeLength, bytes * 2 + 12)) {
            *why = QStringLiteral("the picture is too small to claim half a MiB in place (make it larger than 16 KiB)");
            return -1;
        }
        quint32 last = firstOverflow;
        for (int guard = 0; guard < 100000; ++guard) {
            const quint32 next = be(file, (qint64(last) - 1) * pageSize, 4);
            if (next == 0)
                break;
            last = next;
        }
        putBe32(file, (qint64(last) - 1) * pageSize, firstOverflow);
        f.seek(0);
        f.write(file);
        return bytes;
    }
    *why = QStringLiteral("picture %1 not found").arg(pictureId);
    return -1;
}

} // namespace CatalogueSurgery
