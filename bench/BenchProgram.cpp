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
        // Statistics and the visibility map as a server that has been running a while has them,
        // and the load's pages written out: otherwise the checkpoint the load set off goes on
        // writing them in the background, spread over minutes, through the measures that follow.
        TPgConnection loaded(location);
        loaded.Exec("VACUUM ANALYZE");
        loaded.Exec("CHECKPOINT");
    }
    return location;
}

TBenchProgram::TBenchProgram(const QString &dir) : m_oldDir(QDir::currentPath())
{
    if (!QDir::setCurrent(dir))
        throw TavelinError(QStringLiteral("cannot enter %1").arg(dir));
    const QString server = qEnvironmentVariable("TAVELIN_BENCH_SERVER");
    // The server's copy, as start-up opens the server a workstation is pointed at; else the file
    // in dir, as start-up opens the one beside the program.
    Tm_DataLibModule::SetCatalogueLocation(server.isEmpty() ? QString() : ServerCopyOf(dir, server));
    m_module = std::make_unique<Tm_DataLibModule>();
    if (!m_module->m_ADOConnection_KVR->Connected()) {
        QDir::setCurrent(m_oldDir);
        Tm_DataLibModule::SetCatalogueLocation(QString());
        throw TavelinError(QStringLiteral("the catalogue in %1 did not open").arg(dir));
    }
    m_DataLibModule = m_module.get();
}

TBenchProgram::~TBenchProgram()
{
    m_module.reset(); // clears the global as it goes
    Tm_DataLibModule::SetCatalogueLocation(QString());
    QDir::setCurrent(m_oldDir);
}

QString TBenchProgram::CataloguePath(const QString &dir)
{
    return QDir(dir).filePath(QStringLiteral("KVRJetLib.mdb"));
}
