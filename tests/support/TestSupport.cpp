#include "support/TestSupport.h"

#include "data/AtlasEntries.h"
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "picture/JpegEncoder.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QImage>
#include <QPainter>

namespace TestSupport {

void MakeCatalogue(const QString &path)
{
    CatalogStore::Create(path);
}

int AddEntry(const QString &path, const QString &atlasCode, const QString &name, const QString &other,
             const QList<std::optional<QByteArray>> &slotBytes)
{
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(atlasCode);
    if (!atlas)
        throw TavelinError(QStringLiteral("unknown atlas %1").arg(atlasCode));
    QVector<QByteArray> pictures;
    for (int k = 0; k < slotBytes.size() && k < atlas->slotCount; ++k)
        pictures << (slotBytes[k] ? (slotBytes[k]->isNull() ? QByteArray("", 0) : *slotBytes[k]) : QByteArray());
    const auto store = CatalogStore::Open(path);
    return int(AtlasEntries::Append(*store, *atlas, {{atlas->nameColumn, name}, {atlas->otherColumn, other}}, pictures));
}

void SetRawSlot(const QString &path, const QString &atlasCode, int recordSN, int slot, const QByteArray &stored)
{
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(atlasCode);
    const auto store = CatalogStore::Open(path);
    TEntryValues values{{CatalogSchema::SlotColumn(slot), QVariant(stored.isNull() ? QByteArray("", 0) : stored)}};
    store->UpdateEntry(atlas->table, recordSN, values);
}

TRowSet SelectRows(const QString &path, const QString &sql, const QHash<QString, QVariant> &parameters)
{
    TRowSet rows;
    CatalogStore::Open(path)->Select(sql, parameters, rows);
    return rows;
}

void ConnectToFile(TCatalogConnection &connection, const QString &path)
{
    connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    connection.SetConnected(true);
}

void PrepareQuery(TCatalogQuery &query, TCatalogConnection &connection, const QStringList &sql)
{
    query.SetConnection(&connection);
    query.SQL() = sql;
}

QByteArray MakeJpeg(int width, int height, QColor colour, int quality)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, width, height);
    g.setColorAt(0, QColor(240, 240, 255));
    g.setColorAt(1, QColor(60, 90, 160));
    p.fillRect(img.rect(), g);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(width * 0.25, height * 0.25, width * 0.5, height * 0.5));
    p.end();
    TJpegEncodeOptions o;
    o.quality = quality;
    return EncodeJpeg(img, o);
}

} // namespace TestSupport
