#include "data/TCatalogConnection.h"

#include "data/CatalogSchema.h"
#include "data/SqliteErrorText.h"
#include "data/TBackgroundCheckpoint.h"
#include "data/TSqlStatement.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

// Looks at the first bytes so a foreign file gets a message that says what it is.
void checkFileKind(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw TavelinError(QStringLiteral("The catalogue file %1 does not exist. Put your catalogue there, or make a "
                                          "demo catalogue with: tavelin-catalog demo %1")
                               .arg(quoted(path)));
    if (!info.isFile())
        throw TavelinError(QStringLiteral("The catalogue %1 is not a file.").arg(quoted(path)));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw TavelinError(QStringLiteral("The catalogue file %1 cannot be read: %2").arg(quoted(path), f.errorString()));
    const QByteArray head = f.read(100);
    if (head.isEmpty())
        throw TavelinError(QStringLiteral("The catalogue file %1 is empty (0 bytes): it holds no catalogue. Restore it "
                                          "from a backup, or make a new one with: tavelin-catalog demo %1")
                               .arg(quoted(path)));
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB") {
        const QString dir = QDir::toNativeSeparators(info.absolutePath());
        const QString jetCopy = QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral(".jet.mdb"));
        throw TavelinError(
            QStringLiteral("The catalogue %1 is in the old Jet database format and must be converted once. In the "
                           "folder %2 run:\n  mv %3 %4\n  tavelin-catalog import-mdb %4 %3")
                .arg(quoted(path), dir, quoted(info.absoluteFilePath()), quoted(jetCopy)));
    }
    if (!head.startsWith(QByteArray("SQLite format 3\0", 16)) || head.size() < 100)
        throw TavelinError(QStringLiteral("The file %1 is not a Tavelin catalogue (it is damaged or of another kind). "
                                          "Restore it from a backup.")
                               .arg(quoted(path)));
}

// Honours write permission as the user set it, also for root, who could write regardless: a catalogue
// marked read-only is browsed, never changed.
bool permitsWriting(const QFileInfo &info)
{
    const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

} // namespace

TCatalogConnection::TCatalogConnection(QObject *parent) : QObject(parent) {}

TCatalogConnection::~TCatalogConnection()
{
    Close();
}

void TCatalogConnection::SetConnectionString(const QString &text)
{
    m_connectionString = text;
}

QString TCatalogConnection::ConnectionStringForFile(const QString &path)
{
    return QStringLiteral("Data Source=%1").arg(path);
}

QHash<QString, QString> TCatalogConnection::ParseConnectionString(const QString &text)
{
    QHash<QString, QString> keys;
    for (const QString &part : text.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        keys.insert(part.left(eq).trimmed(), part.mid(eq + 1));
    }
    return keys;
}

void TCatalogConnection::SetConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (connected)
        Open();
    else
        Close();
    emit connectedChanged(Connected());
}

void TCatalogConnection::Open()
{
    const auto keys = ParseConnectionString(m_connectionString);
    QString path;
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.key().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            path = it.value();
    if (path.isEmpty())
        throw TavelinError(QStringLiteral("The connection names no catalogue file (no Data Source)."));
    checkFileKind(path);

    const QFileInfo info(path);
    const bool writable = permitsWriting(info) && permitsWriting(QFileInfo(info.absolutePath()));
    const QByteArray utf8 = info.absoluteFilePath().toUtf8();

    sqlite3 *db = nullptr;
    auto fail = [&](const QString &why) {
        sqlite3_close_v2(db);
        throw TavelinError(QStringLiteral("The catalogue %1 cannot be opened: %2").arg(quoted(path), why));
    };
    auto probe = [&]() -> int {
        // Reading the schema is what tells a damaged file from a good one.
        return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    };

    int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    int rc = sqlite3_open_v2(utf8.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK)
        fail(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    rc = probe();
    if (rc != SQLITE_OK && !writable) {
        // A WAL catalogue in a folder we cannot write to: read it as it stands on disk.
        sqlite3_close_v2(db);
        db = nullptr;
        const QByteArray uri = "file:" + QUrl::toPercentEncoding(info.absoluteFilePath(), "/") + "?immutable=1";
        rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (rc == SQLITE_OK)
            rc = probe();
    }
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            fail(QStringLiteral("the file is damaged or is not a Tavelin catalogue (%1). Restore it from a backup.")
                     .arg(QString::fromUtf8(sqlite3_errmsg(db))));
        fail(SqliteErrorText(db, rc));
    }
    // FULL sync makes every posted change durable before the call returns. The journal mode is
    // left alone until the first change: opening and browsing never write to the file.
    if (writable)
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    m_db = db;
    m_filePath = info.absoluteFilePath();
    m_readOnly = !writable;
    m_transactionDepth = 0;
    m_journalChecked = false;
}

void TCatalogConnection::Close()
{
    m_checkpoint.reset(); // waits for it: the file is closed after the copy ends
    m_durableRunDepth = 0;
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_transactionDepth = 0;
}

void TCatalogConnection::Exec(const QString &sql)
{
    if (!m_db)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString message = SqliteErrorText(m_db, sqlite3_extended_errcode(m_db));
        sqlite3_free(err);
        throw TavelinError(message);
    }
}

bool TCatalogConnection::TableExists(const QString &table)
{
    TSqlStatement st(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ?1 COLLATE NOCASE"));
    st.BindText(1, table);
    return st.Step();
}

void TCatalogConnection::UseWriteAheadLog()
{
    if (!m_journalChecked) {
        // Other processes may read and write while we have the catalogue open: WAL keeps
        // readers and a writer apart. Failing to switch (another program busy) is harmless.
        m_journalChecked = true;
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    }
}

void TCatalogConnection::BeginDurableRun()
{
    RequireWritable();
    if (m_durableRunDepth++ > 0)
        return;
    UseWriteAheadLog();
    // NORMAL: a commit is written to the log but not synced; the log is synced before any
    // checkpoint, so a power cut loses at most the latest commits and never damages the file.
    // No checkpoints during the run: each would write the pictures a second time and sync twice.
    sqlite3_exec(m_db, "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr);
}

void TCatalogConnection::EndDurableRun()
{
    if (m_durableRunDepth <= 0 || --m_durableRunDepth > 0)
        return;
    sqlite3_exec(m_db, "PRAGMA synchronous=FULL; PRAGMA wal_autocheckpoint=1000", nullptr, nullptr, nullptr);
    // Everything the run committed is in the log (or, when the file could not switch to a log,
    // in the file itself): one sync of each, and of the folder that holds a newly made log.
    QString failed;
    const QString dir = QFileInfo(m_filePath).absolutePath();
    for (const QString &path : {m_filePath + QStringLiteral("-wal"), m_filePath, dir}) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue; // no log: nothing to sync there
        if (::fsync(fd) != 0 && failed.isEmpty())
            failed = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
    }
    if (!failed.isEmpty())
        throw TavelinError(QStringLiteral("The changes to the catalogue %1 may not be on disk: %2").arg(quoted(m_filePath), failed));
    // The copy into the file is left to a thread of its own; one at a time (a later commit's
    // own checkpoint takes what a running copy has not reached).
    if (!m_checkpoint || m_checkpoint->Finished())
        m_checkpoint = std::make_unique<TBackgroundCheckpoint>(m_filePath);
}

void TCatalogConnection::Begin()
{
    if (m_transactionDepth++ == 0) {
        UseWriteAheadLog();
        try {
            Exec(QStringLiteral("BEGIN IMMEDIATE"));
        } catch (...) {
            m_transactionDepth = 0;
            throw;
        }
    }
}

void TCatalogConnection::Commit()
{
    if (m_transactionDepth <= 0)
        return;
    if (--m_transactionDepth == 0)
        Exec(QStringLiteral("COMMIT"));
}

void TCatalogConnection::Rollback() noexcept
{
    if (m_transactionDepth <= 0)
        return;
    m_transactionDepth = 0;
    if (m_db)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TCatalogConnection::RequireWritable() const
{
    if (!m_db)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    if (m_readOnly)
        throw TavelinError(QStringLiteral("The catalogue %1 is read-only (no write permission on the file or its "
                                          "folder): the change was not made.")
                               .arg(quoted(m_filePath)));
}

void TCatalogConnection::CreateCatalogueFile(const QString &path)
{
    if (QFileInfo::exists(path))
        throw TavelinError(QStringLiteral("%1 already exists; it was not changed.").arg(quoted(path)));
    // Build it under a temporary name and move it into place, so a failure leaves nothing behind.
    const QString tmp = path + QStringLiteral(".creating");
    QFile::remove(tmp);
    sqlite3 *db = nullptr;
    const QByteArray utf8 = tmp.toUtf8();
    if (sqlite3_open_v2(utf8.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString err = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        QFile::remove(tmp);
        throw TavelinError(QStringLiteral("Cannot create %1: %2").arg(quoted(path), err));
    }
    QString error;
    char *err = nullptr;
    // The file holds pictures of hundreds of KiB to several MiB: with SQLite's largest page a MiB
    // is 16 page reads or writes instead of 256, which halves an import and speeds every picture
    // read, while the atlas rows that lists and searches scan stay as compact as before.
    QByteArray script = "PRAGMA page_size=65536; PRAGMA journal_mode=WAL; BEGIN;";
    for (const QString &stmt : CatalogSchema::CreateStatements())
        script += stmt.toUtf8() + ";";
    script += "COMMIT;";
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        error = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
    }
    sqlite3_close_v2(db);
    if (error.isEmpty() && !QFile::rename(tmp, path))
        error = QStringLiteral("cannot move the new file into place");
    if (!error.isEmpty()) {
        QFile::remove(tmp);
        QFile::remove(tmp + QStringLiteral("-wal"));
        QFile::remove(tmp + QStringLiteral("-shm"));
        throw TavelinError(QStringLiteral("Cannot create %1: %2").arg(quoted(path), error));
    }
}
