#include "bench/BenchProgram.h"

#include "data/TCatalogConnection.h"
#include "data/TCatalogStore.h"
#include "data/UDataLibModule.h"
#include "data/postgres/TPgConnection.h"
#include "platform/TavelinError.h"
#include "cli/CatalogCommands.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrlQuery>

#include <cstdio>

QString TBenchProgram::ServerCopyOf(const QString &dir, const QString &server)
{
    const QString db = QStringLiteral("bench_")
                       + QString::fromLatin1(QCryptographicHash::hash(QDir(dir).absolutePath().toUtf8(),
                                                                       QCryptographicHash::Sha1)
                                                 .toHex()
                                                 .left(12));
    QUrl url(server);
    url.setPath(QLatin1Char('/') + db);
    const QString location = url.toString();
    TPgConnection maintenance(server);
    PgParameters p;
    p.AddText(db);
    PgResultPtr r = maintenance.Exec("SELECT 1 FROM pg_database WHERE datname = $1", p);
    if (PQntuples(r.get()) == 0) {
        std::fprintf(stderr, "bench: loading %s into the server\n", qPrintable(dir));
        maintenance.Exec(QByteArray("CREATE DATABASE ") + db.toLatin1());
        auto source = CatalogStore::Open(CataloguePath(dir));
        CatalogStore::Create(location, [&](TCatalogStore &dest) { CatalogTool::CopyEntries(*source, dest, false); });
        // Statistics and the visibility map as a server that has been running a while has them.
        TPgConnection(location).Exec("VACUUM ANALYZE");
    }
    return location;
}

TBenchProgram::TBenchProgram(const QString &dir) : m_oldDir(QDir::currentPath())
{
    if (!QDir::setCurrent(dir))
        throw TavelinError(QStringLiteral("cannot enter %1").arg(dir));
    const QString server = qEnvironmentVariable("TAVELIN_BENCH_SERVER");
    if (!server.isEmpty()) {
        // The workstation setting, in a settings folder of the measure's own.
        const QString config = QDir(dir).filePath(QStringLiteral(".server-config"));
        QDir().mkpath(config + QStringLiteral("/tavelin"));
        QFile f(config + QStringLiteral("/tavelin/tavelin.conf"));
        if (!f.open(QIODevice::WriteOnly))
            throw TavelinError(QStringLiteral("cannot write %1").arg(f.fileName()));
        f.write(QStringLiteral("[catalogue]\nlocation=%1\n").arg(ServerCopyOf(dir, server)).toUtf8());
        f.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    }
    m_module = std::make_unique<Tm_DataLibModule>();
    if (!m_module->m_ADOConnection_KVR->Connected()) {
        QDir::setCurrent(m_oldDir);
        throw TavelinError(QStringLiteral("the catalogue in %1 did not open").arg(dir));
    }
    m_DataLibModule = m_module.get();
}

TBenchProgram::~TBenchProgram()
{
    m_module.reset(); // clears the global as it goes
    QDir::setCurrent(m_oldDir);
}

QString TBenchProgram::CataloguePath(const QString &dir)
{
    return QDir(dir).filePath(QStringLiteral("KVRJetLib.mdb"));
}
