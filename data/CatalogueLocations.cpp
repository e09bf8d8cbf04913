#include "data/CatalogueLocations.h"

#include "data/CatalogLocation.h"
#include "data/UDataLibModule.h"
#include "data/postgres/TPgCatalogStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const char *const kFolderName = "tavelin";
const char *const kSharedStateDir = "/var/lib/tavelin";

// The freedesktop rules: an unset or empty variable takes the default, and a relative path in it is
// ignored (it would depend on the folder the program was started from).
QString DataHome(const TCatalogueLocationInputs &in)
{
    if (!in.dataHome.isEmpty() && QDir::isAbsolutePath(in.dataHome))
        return in.dataHome;
    if (in.homeDir.isEmpty() || !QDir::isAbsolutePath(in.homeDir))
        return QString();
    return in.homeDir + QStringLiteral("/.local/share");
}

QStringList DataDirs(const TCatalogueLocationInputs &in)
{
    QStringList dirs;
    for (const QString &d : in.dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(d))
            dirs << d;
    }
    if (in.dataDirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    return dirs;
}

QString FileIn(const QString &dir)
{
    return QDir::cleanPath(dir + QLatin1Char('/') + Tm_DataLibModule::GetDatabaseFileName());
}

} // namespace

QString UserCataloguePlace(const TCatalogueLocationInputs &inputs)
{
    const QString home = DataHome(inputs);
    return home.isEmpty() ? QString() : FileIn(home + QLatin1Char('/') + QLatin1String(kFolderName));
}

QString SharedCataloguePlace()
{
    return FileIn(QLatin1String(kSharedStateDir));
}

QStringList CatalogueSearchPlaces(const TCatalogueLocationInputs &inputs)
{
    QStringList places;
    auto add = [&places](const QString &path) {
        if (!path.isEmpty() && !places.contains(path))
            places << path;
    };
    if (!inputs.programDir.isEmpty())
        add(FileIn(inputs.programDir));
    // Taken as configured, not cleaned like a path.
    add(inputs.configuredCatalogue);
    add(UserCataloguePlace(inputs));
    add(SharedCataloguePlace());
    for (const QString &dir : DataDirs(inputs))
        add(FileIn(dir + QLatin1Char('/') + QLatin1String(kFolderName)));
    // A program installed under a prefix of its own (/opt/tavelin/bin) brings its data along.
    const QString programDir = QDir::cleanPath(inputs.programDir);
    if (QDir::isAbsolutePath(programDir) && QFileInfo(programDir).fileName() == QLatin1String("bin"))
        add(FileIn(programDir + QStringLiteral("/../share/") + QLatin1String(kFolderName)));
    return places;
}

QString ChooseCatalogue(const TCatalogueLocationInputs &inputs, const std::function<bool(const QString &)> &isFile)
{
    const bool server = TPgCatalogStore::IsServerLocation(inputs.configuredCatalogue);
    return FirstExistingCatalogue(CatalogueSearchPlaces(inputs), [&](const QString &place) {
        if (server && place == inputs.configuredCatalogue)
            return true;
        return isFile ? isFile(place) : QFileInfo(place).isFile();
    });
}

QString FirstExistingCatalogue(const QStringList &places, const std::function<bool(const QString &)> &isFile)
{
    for (const QString &place : places) {
        if (isFile ? isFile(place) : QFileInfo(place).isFile())
            return place;
    }
    return QString();
}

TCatalogueLocationInputs CurrentCatalogueLocationInputs()
{
    TCatalogueLocationInputs in;
    in.programDir = QCoreApplication::applicationDirPath();
    in.configuredCatalogue = CatalogLocation::Configured();
    in.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    in.homeDir = QDir::homePath();
    in.dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    return in;
}
