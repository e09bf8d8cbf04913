#include "data/sqlite/TRecoveredCopy.h"

#include "platform/QuotedPath.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

const char *const kLeftovers[] = {"-journal", "-wal"};

} // namespace

bool TRecoveredCopy::Needed(const QString &path)
{
    for (const char *suffix : kLeftovers)
        if (QFileInfo(path + QLatin1String(suffix)).size() > 0)
            return true;
    return false;
}

TRecoveredCopy::TRecoveredCopy(const QString &path)
{
    const QString what = QStringLiteral(
        "The catalogue %1 was left unfinished by a program that ended in the middle of a change, and it is "
        "read-only, so the change cannot be finished in place. ").arg(QuotedPath(path));
    const QString todo = QStringLiteral(
        "Make the file and its folder writable, or copy the file together with the files beside it whose names "
        "begin with its name to a folder you can write to, and open it there.");
    if (!m_dir.isValid())
        throw TavelinError(what + QStringLiteral("No private temporary folder could be made for a copy (%1). ")
                                      .arg(m_dir.errorString()) + todo);
    qint64 needed = QFileInfo(path).size();
    for (const char *suffix : kLeftovers)
        needed += QFileInfo(path + QLatin1String(suffix)).size();
    const QStorageInfo storage(m_dir.path());
    // Room for the copy, and for SQLite to write what the recovery needs.
    if (storage.isValid() && storage.bytesAvailable() < needed + needed / 4 + (qint64(16) << 20))
        throw TavelinError(what + QStringLiteral("The temporary folder %1 has no room for a copy of %2 MiB. ")
                                      .arg(QuotedPath(m_dir.path()))
                                      .arg((needed >> 20) + 1) + todo);
    m_path = m_dir.filePath(QFileInfo(path).fileName());
    auto copy = [&](const QString &from, const QString &to) {
        QFile::remove(to);
        QFile source(from);
        if (!source.copy(to))
            throw TavelinError(what + QStringLiteral("Copying it failed (%1). ").arg(source.errorString()) + todo);
        // The copy is ours to change, whatever the original's permissions.
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    };
    copy(path, m_path);
    for (const char *suffix : kLeftovers)
        if (QFileInfo(path + QLatin1String(suffix)).size() > 0)
            copy(path + QLatin1String(suffix), m_path + QLatin1String(suffix));
}
