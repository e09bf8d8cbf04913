#pragma once
// Converts a Jet catalogue file into a new Tavelin catalogue: every row of the six atlas tables with
// its RecordSN, every text exactly, every picture slot byte for byte as stored. The whole
// conversion is one transaction into a temporary file that is moved into place at the end, so on
// any error the destination does not exist and the error names the table, row and column.
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct TAtlasImport {
    QString code;
    QString table;
    bool missingInSource = false; // created empty
    qint64 rows = 0;
    qint64 filledSlots = 0; // slots holding at least one byte
    qint64 emptySlots = 0;  // present but zero-length (kept as such)
    qint64 pictureBytes = 0;
    qint64 keySequence = 0; // the highest key ever handed out: new entries get larger ones
};

struct TImportReport {
    QString sourceFormat;
    QVector<TAtlasImport> atlases;
    QStringList extraTables;    // in the source, not atlases: ignored
    QStringList ignoredColumns; // "table.column" in the source that no atlas has
};

struct TImportProgress {
    QString code;
    QString table;
    qint64 rowsDone = 0;
    qint64 rowsTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    bool atlasDone = false;
};

class TMdbImporter {
public:
    TMdbImporter(const QString &source, const QString &destination);

    void SetProgressHandler(std::function<void(const TImportProgress &)> handler) { m_progress = std::move(handler); }

    // Throws TavelinError; the destination then does not exist.
    TImportReport Run();

private:
    QString m_source;
    QString m_destination;
    std::function<void(const TImportProgress &)> m_progress;
};
