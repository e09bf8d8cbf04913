// The server client library is loaded the first time a server catalogue is used, never by starting
// or by working with a catalogue file; once loaded, the server engine works through it.
#include "data/AtlasEntries.h"
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/TCatalogStore.h"
#include "platform/TavelinError.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

namespace {

bool clientLibraryLoaded()
{
    void *handle = ::dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        ::dlclose(handle);
    return handle != nullptr;
}

} // namespace

class ServerLibraryOnDemandTest : public QObject {
    Q_OBJECT
private slots:
    void loadedWithTheFirstServerCatalogueOnly();
};

void ServerLibraryOnDemandTest::loadedWithTheFirstServerCatalogueOnly()
{
    QVERIFY2(!clientLibraryLoaded(), "the client library was loaded before anything used it");

    // A catalogue file: opened, listed, written to and read back.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
    TestSupport::MakeCatalogue(path);
    TestSupport::AddEntry(path, QStringLiteral("ZXTP"), QStringLiteral("IMG_1.jpg"), QStringLiteral("胸部"),
                          {TestSupport::MakeJpeg(40, 30)});
    {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, path);
        TCatalogQuery query;
        TestSupport::PrepareQuery(query, connection,
                                  {CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql});
        query.Open();
        QCOMPARE(query.RecordCount(), 1);
        query.Append();
        query.SetFieldText(QStringLiteral("ItemName"), QStringLiteral("IMG_2.jpg"));
        query.Post();
        QCOMPARE(query.RecordCount(), 2);
    }
    QVERIFY2(!clientLibraryLoaded(), "working with a catalogue file loaded the server client library");

    // A server that is not there: the library is loaded, and what fails is the connection, named.
    try {
        CatalogStore::Open(QStringLiteral("postgresql:///atlas?host=/nonexistent/tavelin-socket&user=someone"));
        QFAIL("opened a server that does not exist");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("postgresql://someone@/nonexistent/tavelin-socket/atlas")),
                 qPrintable(e.message()));
    }
    QVERIFY(clientLibraryLoaded());
}

QTEST_GUILESS_MAIN(ServerLibraryOnDemandTest)
#include "test_server_library_on_demand.moc"
