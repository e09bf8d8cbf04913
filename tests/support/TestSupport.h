#pragma once
// Fixtures and helpers shared by the tests: catalogues made in a temporary folder with the
// program's own code, JPEGs encoded on the fly, and answering modal boxes.
#include "data/TRowSet.h"

#include <QByteArray>
#include <QHash>
#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;
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

// Runs action once the next modal widget (message box, dialog) is active; gives up after timeoutMs.
void WhenModal(std::function<void(QWidget *)> action, int timeoutMs = 5000);
// Presses the given button of the next modal message box and records its text.
void AnswerMessageBox(QMessageBox::StandardButton button, QString *textSeen = nullptr, QString *titleSeen = nullptr,
                      int timeoutMs = 5000);

// What a message box showed.
struct TSeenMessageBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // their texts, in the box's order
};
// Presses the given button of the next modal message box and records all it showed in *seen.
void AnswerMessageBox(QMessageBox::StandardButton button, TSeenMessageBox *seen, int timeoutMs = 5000);

} // namespace TestSupport
