#pragma once
// Fixtures shared by the tests: catalogues made in a temporary folder with the program's own code,
// and JPEGs encoded on the fly. No widgets: tests of the lower layers use it too.
#include "data/TRowSet.h"

#include <QByteArray>
#include <QHash>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TCatalogConnection;
class TCatalogQuery;

namespace TestSupport {

// A new, empty catalogue file at path (the six tables).
void MakeCatalogue(const QString &path);
// Appends one entry; slotBytes hold plain bytes (std::nullopt = NULL slot). The built-in atlases store
// them transformed. name fills DrugName/ItemName, other OtherName/TypeName. Returns RecordSN.
int AddEntry(const QString &path, const QString &atlasCode, const QString &name, const QString &other,
             const QList<std::optional<QByteArray>> &slotBytes = {});
// Stores bytes into a slot exactly as given (no transform), for damaged-slot fixtures.
void SetRawSlot(const QString &path, const QString &atlasCode, int recordSN, int slot, const QByteArray &stored);

// Runs a read statement on the catalogue at path (named parameters ":Name") and returns its rows.
TRowSet SelectRows(const QString &path, const QString &sql, const QHash<QString, QVariant> &parameters = {});

// Points the connection at the catalogue file at path and opens it (throws TavelinError as opening does).
void ConnectToFile(TCatalogConnection &connection, const QString &path);
// Binds the query to the connection and gives it the statement's lines (not yet opened).
void PrepareQuery(TCatalogQuery &query, TCatalogConnection &connection, const QStringList &sql);

// A JPEG of the given size: a gradient with a coloured disc, so scaled decodes differ from noise.
QByteArray MakeJpeg(int width, int height, QColor colour = QColor(200, 60, 40), int quality = 85);

} // namespace TestSupport
