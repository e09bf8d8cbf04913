#include "jet/TTemporaryCatalogue.h"

#include "data/TCatalogConnection.h"
#include "platform/TavelinError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

} // namespace

TTemporaryCatalogue::TTemporaryCatalogue(const QString &destination) : m_destination(destination)
{
    // Beside the destination, so the final move is a rename within one file system.
    const QString base = QStringLiteral("%1.importing-%2").arg(destination).arg(QCoreApplication::applicationPid());
    m_path = base;
    for (int n = 1; QFileInfo::exists(m_path) || QFileInfo::exists(m_path + QStringLiteral(".creating")); ++n)
        m_path = QStringLiteral("%1-%2").arg(base).arg(n);
    TCatalogConnection::CreateCatalogueFile(m_path);
}

TTemporaryCatalogue::~TTemporaryCatalogue()
{
    if (!m_moved)
        Remove();
}

void TTemporaryCatalogue::Remove() noexcept
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(m_path + QLatin1String(suffix));
}

void TTemporaryCatalogue::MoveIntoPlace()
{
    if (QFileInfo::exists(m_path + QStringLiteral("-wal")))
        throw TavelinError(QStringLiteral("the new catalogue %1 is still open").arg(quoted(m_path)));
    if (QFileInfo::exists(m_destination))
        throw TavelinError(QStringLiteral("%1 was created by someone else during the conversion").arg(quoted(m_destination)));
    if (!QFile::rename(m_path, m_destination))
        throw TavelinError(QStringLiteral("the new catalogue cannot be moved to %1").arg(quoted(m_destination)));
    m_moved = true;
}
