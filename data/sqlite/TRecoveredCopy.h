#pragma once
// A catalogue that a crash left in the middle of a change (a leftover rollback journal, or a
// write-ahead log that was never checkpointed) needs SQLite to finish that change before it is
// read: rolled back, or the log's committed entries applied. When the catalogue is read-only
// that cannot happen in place, so it happens here: the file and its leftover are copied into a
// private temporary folder, SQLite recovers the copy, and the copy is browsed. The original is
// never touched.
#include <QString>
#include <QTemporaryDir>

class TRecoveredCopy {
public:
    // Whether a leftover of an unfinished change lies beside the catalogue file.
    static bool Needed(const QString &path);

    // Copies the catalogue and its leftover; throws TavelinError naming the file and what to do
    // when it cannot (no room in the temporary folder, a file that cannot be read).
    explicit TRecoveredCopy(const QString &path);

    // The copy, to be opened read-write so SQLite can recover it.
    QString Path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
