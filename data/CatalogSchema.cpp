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

QString declaredType(const TFieldDef &f)
{
    switch (f.type) {
    case TFieldType::Integer: return QStringLiteral("INTEGER");
    case TFieldType::String: return QStringLiteral("VARCHAR(%1)").arg(f.size);
    case TFieldType::Memo: return QStringLiteral("TEXT");
    case TFieldType::Blob: return QString::fromLatin1(kBlobTypeName);
    }
    return {};
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

const TAtlasDef *FindAtlasByTable(const QString &table)
{
    for (const TAtlasDef &a : Atlases())
        if (a.table.compare(table, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

QStringList CreateStatements()
{
    QStringList sql;
    sql << QStringLiteral("CREATE TABLE %1 (PictureID INTEGER PRIMARY KEY, Bytes BLOB NOT NULL)")
               .arg(QLatin1String(kPictureDataTable));
    for (const TAtlasDef &a : Atlases()) {
        QStringList cols;
        QStringList slotRefs;
        for (const TFieldDef &f : a.columns) {
            if (f.name == QLatin1String("RecordSN"))
                cols << QStringLiteral("RecordSN INTEGER PRIMARY KEY AUTOINCREMENT");
            else
                cols << QStringLiteral("%1 %2").arg(f.name, declaredType(f));
            if (f.type == TFieldType::Blob)
                slotRefs << f.name;
        }
        sql << QStringLiteral("CREATE TABLE %1 (%2)").arg(a.table, cols.join(QStringLiteral(", ")));
        // The bytes go with the row: removed with it, and replaced when a slot gets new bytes.
        QStringList delOld;
        for (const QString &c : slotRefs)
            delOld << QStringLiteral("OLD.%1").arg(c);
        sql << QStringLiteral("CREATE TRIGGER %1_delete_pictures AFTER DELETE ON %1 BEGIN "
                              "DELETE FROM %2 WHERE PictureID IN (%3); END")
                   .arg(a.table, QLatin1String(kPictureDataTable), delOld.join(QStringLiteral(", ")));
        for (const QString &c : slotRefs) {
            sql << QStringLiteral("CREATE TRIGGER %1_%2_replace AFTER UPDATE OF %2 ON %1 "
                                  "WHEN OLD.%2 IS NOT NULL AND OLD.%2 IS NOT NEW.%2 BEGIN "
                                  "DELETE FROM %3 WHERE PictureID = OLD.%2; END")
                       .arg(a.table, c, QLatin1String(kPictureDataTable));
        }
    }
    return sql;
}

} // namespace CatalogSchema
