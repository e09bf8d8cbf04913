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
        throw TavelinError(QStringLiteral("The catalogue setting in %1 contains a ';', which a catalogue location "
                                          "cannot hold. Write the server as a postgresql:// URL or a service name.")
                               .arg(path));
    if (TPgCatalogStore::IsServerLocation(location) && TPgConnection::CarriesPassword(location)
        && (QFileInfo(path).permissions() & QFileDevice::ReadOther)) {
        throw TavelinError(QStringLiteral("The catalogue setting in %1 carries a password, and every user of this "
                                          "computer can read that file. Remove the password from the setting and put "
                                          "it in ~/.pgpass (or a PostgreSQL service file) instead.")
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
