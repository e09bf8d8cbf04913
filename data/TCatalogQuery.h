#pragma once
// A query on the catalogue: SQL text as lines, a static client-side cursor holding every row of
// the result, the current row, field reads by name, the named parameter, and row changes that are
// written to the catalogue before the call returns. Picture columns hold only a reference in the
// cursor; their bytes are read from the catalogue store when a slot is asked for. A query told
// which fields its list shows reads only those with the list; the rest of a row is read, by its
// RecordSN, the first time one of them is asked for.
#include "data/CatalogSchema.h"
#include "data/TRowSet.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <optional>

class TCatalogConnection;
class TMemoryStream;

struct TQueryField {
    QString name;
    TFieldType type = TFieldType::String;
    int size = 0;
};

class TCatalogQuery : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit TCatalogQuery(QObject *parent = nullptr);
    ~TCatalogQuery() override;

    void SetConnection(TCatalogConnection *connection);
    TCatalogConnection *Connection() const { return m_connection; }

    // The SQL lines; changing them on an open query does not affect it until the next opening.
    QStringList &SQL() { return m_sql; }
    const QStringList &SQL() const { return m_sql; }
    void SetSQL(const QStringList &lines) { m_sql = lines; }
    // Each line followed by CR LF.
    QString SQLText() const;

    // The fields read with the list at the next opening (RecordSN always is); the statement's other
    // fields are read a row at a time when asked for. Empty (the default): every field with the list.
    void SetListedFields(const QStringList &fields) { m_listedFields = fields; }

    void SetParameter(const QString &name, const QVariant &value);
    QVariant Parameter(const QString &name) const;

    void Open();
    void Close();
    void SetActive(bool active);
    bool Active() const { return m_state != State::Inactive; }
    State DataSetState() const { return m_state; }

    // The table the statement reads (its first FROM).
    QString TableName() const { return m_table; }
    const QVector<TQueryField> &Fields() const { return m_fields; }
    int FieldIndex(const QString &name) const; // -1 when absent

    int RecordCount() const { return m_rows.RowCount(); }
    bool IsEmpty() const { return m_rows.IsEmpty(); }
    int RecNo() const { return m_current; } // 0-based, -1 when there is no row
    void SetRecNo(int row);
    void First() { SetRecNo(m_rows.IsEmpty() ? -1 : 0); }

    // Reads of the current row (or of the pending row while editing or inserting).
    QVariant FieldValue(const QString &name) const;
    QString FieldAsString(const QString &name) const;
    qint32 FieldAsInteger(const QString &name) const;
    bool FieldIsNull(const QString &name) const;
    // Appends the bytes of a picture field of the current row; NULL or empty appends nothing.
    void BlobToStream(const QString &name, TMemoryStream &stream) const;
    // The same as plain picture bytes, appended likewise: the transform of an atlas that stores
    // its pictures transformed is undone.
    void PictureToStream(const QString &name, TMemoryStream &stream) const;
    // The store's reference to the picture of a picture field of the current row, to ask the store
    // about it without reading it; none for an empty slot, while editing, or when the row holds the
    // bytes themselves.
    std::optional<qint64> PictureReference(const QString &name) const;
    // Reads of any row, for the grid.
    QVariant Value(int row, int column) const;

    // Row changes. Post and Delete store the change before they return.
    void Append();
    void Edit();
    void SetFieldText(const QString &name, const QString &text);
    void SetFieldValue(const QString &name, const QVariant &value);
    void BlobFromStream(const QString &name, const TMemoryStream &stream);
    // Plain picture bytes, stored as the atlas stores its pictures.
    void PictureFromStream(const QString &name, const TMemoryStream &stream);
    void Post();
    void Cancel();
    void Delete();

    // Suspends and resumes the display of bound grids.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Characters, not UTF-16 units, are cut: a name of CJK text keeps its first n characters.
    static QString CutToCharacters(const QString &text, int n);

signals:
    void activeChanged(bool active);
    void rowAppended(int row);
    void rowChanged(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);
    void controlsEnabled();

private:
    // The span of the select list in text, as [first, last).
    struct TSelectList {
        int first = 0;
        int last = 0;
    };
    TSelectList ResolveFields(const QString &text);
    // The statement to run: text itself, or text reading only the listed fields.
    QString PlanReading(const QString &text, TSelectList list);
    // A field of a row, from the cursor or from the row's later-read fields.
    QVariant RowValue(int row, int field) const;
    QVector<QVariant> FullRow(int row) const;
    QVector<QVariant> CursorPart(const QVector<QVariant> &values) const;
    void RememberLaterPart(const QVector<QVariant> &values);
    int RequireField(const QString &name) const;
    QVariant CurrentValue(int column) const;
    void RequireBrowseRow(const char *what) const;

    TCatalogConnection *m_connection = nullptr;
    QStringList m_sql;
    QHash<QString, QVariant> m_params;
    State m_state = State::Inactive;
    QString m_table;
    QVector<TQueryField> m_fields;
    TRowSet m_rows;
    QStringList m_listedFields;
    // Per field, its column in m_rows, or -1 for a field read later; empty when every field is in m_rows.
    QVector<int> m_columnOf;
    QVector<int> m_laterFields; // the fields read later, in statement order
    int m_keyColumn = -1;       // RecordSN's column in m_rows, when fields are read later
    // Fields read later, by RecordSN, in the order of m_laterFields.
    mutable QHash<qint64, QVector<QVariant>> m_laterValues;
    int m_current = -1;
    QVector<QVariant> m_pending;
    // Ordered by column, so a row's pictures are stored in slot order and a file built twice is
    // the same byte for byte (QHash order changes from run to run).
    QMap<int, QByteArray> m_pendingBlobs;
    int m_disableCount = 0;
};
