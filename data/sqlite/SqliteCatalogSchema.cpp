#include "data/sqlite/SqliteCatalogSchema.h"

#include "data/CatalogSchema.h"

namespace SqliteCatalogSchema {
namespace {

QString declaredType(const TFieldDef &f)
{
    switch (f.type) {
    case TFieldType::Integer: return QStringLiteral("INTEGER");
    case TFieldType::String: return QStringLiteral("VARCHAR(%1)").arg(f.size);
    case TFieldType::Memo: return QStringLiteral("TEXT");
    case TFieldType::Blob: return QString::fromLatin1(CatalogSchema::kBlobTypeName);
    }
    return {};
}

// Any update of the bytes that leaves the hash as it was (a program that knows nothing of it, the
// sqlite3 shell) clears it, so a hash that is there always belongs to the bytes beside it.
QString hashTrigger()
{
    return QStringLiteral("CREATE TRIGGER %3 AFTER UPDATE OF Bytes ON %1 "
                          "WHEN NEW.%2 IS OLD.%2 AND NEW.%2 IS NOT NULL BEGIN "
                          "UPDATE %1 SET %2 = NULL WHERE PictureID = NEW.PictureID; END")
        .arg(QLatin1String(kPictureDataTable), QLatin1String(kPictureHashColumn), QLatin1String(kPictureHashTrigger));
}

} // namespace

QStringList PictureHashStatements(bool addColumn)
{
    QStringList sql;
    if (addColumn)
        sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER")
                   .arg(QLatin1String(kPictureDataTable), QLatin1String(kPictureHashColumn));
    else
        sql << QStringLiteral("UPDATE %1 SET %2 = NULL WHERE %2 IS NOT NULL").arg(QLatin1String(kPictureDataTable), QLatin1String(kPictureHashColumn));
    sql << hashTrigger();
    return sql;
}

QStringList CreateStatements()
{
    QStringList sql;
    sql << QStringLiteral("CREATE TABLE %1 (PictureID INTEGER PRIMARY KEY, Bytes BLOB NOT NULL, %2 INTEGER)")
               .arg(QLatin1String(kPictureDataTable), QLatin1String(kPictureHashColumn));
    sql << hashTrigger();
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
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

} // namespace SqliteCatalogSchema
