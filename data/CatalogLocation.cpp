#include "data/CatalogLocation.h"

#include "data/postgres/TPgConnection.h"
#include "data/postgres/TPgCatalogStore.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace CatalogLocation {
namespace {

const char *const kKey = "catalogue/location";
const char *const kRelativePath = "tavelin/tavelin.conf";

// Nullopt-like: found is false when the file does not set the key at all.
struct Setting {
    bool found = false;
    QString value;
};

Setting read(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QSettings settings(path, QSettings::IniFormat);
    if (!settings.contains(QLatin1String(kKey)))
        return {};
    return {true, settings.value(QLatin1String(kKey)).toString().trimmed()};
}

void check(const QString &path, const QString &location)
{
    if (location.contains(QLatin1Char(';')))
        throw TavelinError(QStringLiteral("%1 中的图库设置含有 \";\",图库位置中不能有这个字符。请把服务器写成 "
                                          "postgresql:// 网址或服务名。")
                               .arg(path));
    if (TPgCatalogStore::IsServerLocation(location) && TPgConnection::CarriesPassword(location)
        && (QFileInfo(path).permissions() & QFileDevice::ReadOther)) {
        throw TavelinError(QStringLiteral("%1 中的图库设置含有密码,而本机每个用户都能读取这个文件。请从设置中删去密码,"
                                          "改放到 ~/.pgpass(或 PostgreSQL 服务文件)中。")
                               .arg(path));
    }
}

} // namespace

TSettingsFiles DefaultSettingsFiles()
{
    TSettingsFiles files;
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.config");
    files.user = home + QLatin1Char('/') + QLatin1String(kRelativePath);
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString &dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        files.system << dir + QLatin1Char('/') + QLatin1String(kRelativePath);
    return files;
}

QString Configured(const TSettingsFiles &files)
{
    QStringList order{files.user};
    order << files.system;
    for (const QString &path : order) {
        const Setting s = read(path);
        if (!s.found)
            continue;
        check(path, s.value);
        return s.value;
    }
    return {};
}

} // namespace CatalogLocation
