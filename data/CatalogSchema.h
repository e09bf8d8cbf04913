#pragma once
// The six atlases: their tables, columns, statements and picture storage.
//
// How an engine keeps the pictures is the catalogue store's business (data/TCatalogStore.h); here
// the atlases are data: tables, columns, slot counts, statements, and whether pictures are stored
// transformed.
#include <QString>
#include <QStringList>
#include <QVector>


enum class TFieldType { Integer, String, Memo, Blob };

struct TFieldDef {
    QString name;
    TFieldType type;
    int size = 0; // characters, for String
};

struct TAtlasDef {
    QString code;          // ZY, ZYZJ, ...
    QString table;         // KVR_ZYPicture, ...
    int slotCount;         // 7 or 4
    bool transformed;      // picture bytes stored transformed
    QString listSql;       // designed list statement
    QString pictureSql;    // picture statement with :SQLRecordSN
    QString nameColumn;    // DrugName or ItemName
    QString otherColumn;   // OtherName or TypeName
    QVector<TFieldDef> columns; // every column of the table, RecordSN first
};

namespace CatalogSchema {

// The declared type of a picture column.
constexpr const char *kBlobTypeName = "PICTURE";
// No picture of a catalogue is larger: a slot that claims more (or more than the whole catalogue
// file holds) is damaged, and is refused before anything is allocated for it.
constexpr qint64 kMaxPictureBytes = qint64(256) << 20;

const QVector<TAtlasDef> &Atlases();
// By code (case-insensitive); nullptr when unknown.
const TAtlasDef *FindAtlas(const QString &code);
const TAtlasDef *FindAtlasByTable(const QString &table);
// By code; throws a TavelinError naming the valid codes when unknown.
const TAtlasDef &AtlasOrThrow(const QString &code);

QString SlotColumn(int slot); // "pic1" ...

} // namespace CatalogSchema
