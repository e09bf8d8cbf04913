#include "data/CatalogSchema.h"

#include "platform/TavelinError.h"


namespace CatalogSchema {
namespace {

QVector<TFieldDef> herbColumns()
{
    QVector<TFieldDef> cols{{"RecordSN", TFieldType::Integer, 0},
                            {"DrugName", TFieldType::String, 50},
                            {"OtherName", TFieldType::Memo, 0}};
    for (int k = 1; k <= 7; ++k)
        cols.append({SlotColumn(k), TFieldType::Blob, 0});
    return cols;
}

QVector<TFieldDef> itemColumns()
{
    QVector<TFieldDef> cols{{"RecordSN", TFieldType::Integer, 0},
                            {"TypeName", TFieldType::String, 50},
                            {"ItemName", TFieldType::String, 50},
                            {"MemoContent", TFieldType::String, 250}};
    for (int k = 1; k <= 4; ++k)
        cols.append({SlotColumn(k), TFieldType::Blob, 0});
    return cols;
}

TAtlasDef itemAtlas(const QString &code, bool transformed, const QString &listSql)
{
    const QString table = QStringLiteral("KVR_%1Picture").arg(code);
    return TAtlasDef{code,
                     table,
                     4,
                     transformed,
                     listSql.isEmpty() ? QStringLiteral("select RecordSN,TypeName,ItemName,MemoContent from %1").arg(table)
                                       : listSql,
                     QStringLiteral("select pic1,pic2,pic3,pic4,RecordSN from %1 where RecordSN = :SQLRecordSN").arg(table),
                     QStringLiteral("ItemName"),
                     QStringLiteral("TypeName"),
                     itemColumns()};
}

} // namespace

QString SlotColumn(int slot)
{
    return QStringLiteral("pic%1").arg(slot);
}

const QVector<TAtlasDef> &Atlases()
{
    static const QVector<TAtlasDef> atlases = [] {
        QVector<TAtlasDef> a;
        a.append(TAtlasDef{QStringLiteral("ZY"),
                           QStringLiteral("KVR_ZYPicture"),
                           7,
                           true,
                           QStringLiteral("select DrugName, OtherName, RecordSN from KVR_ZYPicture"),
                           QStringLiteral("select pic1, pic2, pic3, pic4, pic5, pic6, pic7, RecordSN from KVR_ZYPicture "
                                          "where RecordSN = :SQLRecordSN"),
                           QStringLiteral("DrugName"),
                           QStringLiteral("OtherName"),
                           herbColumns()});
        a.append(itemAtlas(QStringLiteral("ZYZJ"), true, {}));
        a.append(itemAtlas(QStringLiteral("ZYWZ"), true, {}));
        a.append(itemAtlas(QStringLiteral("XYJP"), true, {}));
        a.append(itemAtlas(QStringLiteral("XYLC"), true, {}));
        a.append(itemAtlas(QStringLiteral("ZXTP"), false,
                           QStringLiteral("select pic1,pic2,pic3,pic4,RecordSN,TypeName,ItemName,MemoContent "
                                          "from KVR_ZXTPPicture")));
        return a;
    }();
    return atlases;
}

const TAtlasDef *FindAtlas(const QString &code)
{
    for (const TAtlasDef &a : Atlases())
        if (a.code.compare(code, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

const TAtlasDef &AtlasOrThrow(const QString &code)
{
    const TAtlasDef *atlas = FindAtlas(code);
    if (!atlas)
        throw TavelinError(QStringLiteral("unknown atlas '%1' (use ZY, ZYZJ, ZYWZ, XYJP, XYLC or ZXTP)").arg(code));
    return *atlas;
}

const TAtlasDef *FindAtlasByTable(const QString &table)
{
    for (const TAtlasDef &a : Atlases())
        if (a.table.compare(table, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

} // namespace CatalogSchema
