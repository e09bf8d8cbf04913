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
        "图库 %1 中有一次修改没有完成(进行修改的程序中途结束了),而该图库是只读的,无法就地完成这次修改。")
                             .arg(QuotedPath(path));
    const QString todo = QStringLiteral(
        "请让该文件及其所在文件夹可写;或者把该文件连同旁边名字以它的文件名开头的文件一起复制到你能写入的文件夹,"
        "在那里打开。");
    if (!m_dir.isValid())
        throw TavelinError(what + QStringLiteral("无法建立存放副本的私有临时文件夹(%1)。")
                                      .arg(m_dir.errorString()) + todo);
    qint64 needed = QFileInfo(path).size();
    for (const char *suffix : kLeftovers)
        needed += QFileInfo(path + QLatin1String(suffix)).size();
    const QStorageInfo storage(m_dir.path());
    // Room for the copy, and for SQLite to write what the recovery needs.
    if (storage.isValid() && storage.bytesAvailable() < needed + needed / 4 + (qint64(16) << 20))
        throw TavelinError(what + QStringLiteral("临时文件夹 %1 没有空间存放 %2 MiB 的副本。")
                                      .arg(QuotedPath(m_dir.path()))
                                      .arg((needed >> 20) + 1) + todo);
    m_path = m_dir.filePath(QFileInfo(path).fileName());
    auto copy = [&](const QString &from, const QString &to) {
        QFile::remove(to);
        QFile source(from);
        if (!source.copy(to))
            throw TavelinError(what + QStringLiteral("复制失败(%1)。").arg(source.errorString()) + todo);
        // The copy is ours to change, whatever the original's permissions.
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    };
    copy(path, m_path);
    for (const char *suffix : kLeftovers)
        if (QFileInfo(path + QLatin1String(suffix)).size() > 0)
            copy(path + QLatin1String(suffix), m_path + QLatin1String(suffix));
}
