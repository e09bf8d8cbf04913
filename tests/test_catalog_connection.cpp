#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/TCatalogueOpenAhead.h"
#include "data/UDataLibModule.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"
#include "support/SqliteShell.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>


namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString openError(const QString &path)
{
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    try {
        c.SetConnected(true);
    } catch (const TavelinError &e) {
        return e.message();
    }
    return QString();
}

QString listOpenError(const QString &path, const QString &sql)
{
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    c.SetConnected(true);
    TCatalogQuery q;
    q.SetConnection(&c);
    q.SQL() << sql;
    try {
        q.Open();
    } catch (const TavelinError &e) {
        return e.message();
    }
    return QString();
}

void execSql(const QString &path, const char *sql)
{
    const QString err = SqliteShell::Run(path, QString::fromUtf8(sql));
    if (!err.isEmpty())
        qWarning("%s", qPrintable(err));
}

} // namespace

class TestCatalogConnection : public QObject {
    Q_OBJECT
private slots:
    void connectionStringIsComposedFromTheCurrentDirectory()
    {
        QTemporaryDir a, b;
        const QString old = QDir::currentPath();
        QDir::setCurrent(a.path());
        const QString first = Tm_DataLibModule::BuildConnectionString();
        QDir::setCurrent(b.path());
        const QString second = Tm_DataLibModule::BuildConnectionString();
        QDir::setCurrent(old);
        const QString head = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=");
        const QString tail = QStringLiteral(
            "/KVRJetLib.mdb;Mode=Share Deny None;Jet OLEDB:Database Password=7310952;Jet OLEDB:SFP=False");
        QCOMPARE(first, head + QDir(a.path()).canonicalPath() + tail);
        QCOMPARE(second, head + QDir(b.path()).canonicalPath() + tail);
        QCOMPARE(Tm_DataLibModule::GetDatabaseFileName(), QStringLiteral("KVRJetLib.mdb"));
    }

    void dataModuleOpensTheFileBesideTheCurrentDirectory()
    {
        QTemporaryDir dir;
        TestSupport::MakeCatalogue(dir.filePath("KVRJetLib.mdb"));
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QStringList reports;
        SetStandardErrorSink([&](const QString &m) { reports << m; });
        {
            Tm_DataLibModule module;
            QVERIFY(module.m_ADOConnection_KVR->Connected());
            module.m_ADOConnection_KVR->SetConnected(true); // a second connect changes nothing
            QVERIFY(module.m_ADOConnection_KVR->Connected());
        }
        QVERIFY(reports.isEmpty());
        // Without the file: one report during creation, the connection stays closed.
        QDir::setCurrent(QDir::tempPath());
        QTemporaryDir empty;
        QDir::setCurrent(empty.path());
        {
            Tm_DataLibModule module;
            QVERIFY(!module.m_ADOConnection_KVR->Connected());
        }
        QDir::setCurrent(old);
        SetStandardErrorSink(nullptr);
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains(QStringLiteral("不存在")), qPrintable(reports[0]));
        QVERIFY(!QFile::exists(empty.filePath("KVRJetLib.mdb"))); // never created by opening
    }

    void foreignFilesFailWithAClearMessage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QByteArray jet(4096, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QByteArray random(8192, '\0');
        for (int i = 0; i < random.size(); ++i)
            random[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("zero bytes") << QByteArray() << "是空的";
        QTest::newRow("random bytes") << random << "不是 Tavelin 图库";
        QTest::newRow("jet header") << jet << "tavelin-catalog import-mdb";
    }
    void foreignFilesFailWithAClearMessage()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("KVRJetLib.mdb");
        writeFile(path, content);
        const QByteArray before = fileHash(path);
        const QString err = openError(path);
        QVERIFY2(err.contains(expected), qPrintable(err));
        QCOMPARE(fileHash(path), before);
    }

    // A catalogue opened ahead is what the connection asking for the same file gets, error and all;
    // an opening started for another file is not taken in its place.
    void connectionTakesTheCatalogueOpenedAheadForItsFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("aheadFor");
        for (const char *file : {"good", "missing", "empty"})
            for (const char *ahead : {"same", "other"})
                QTest::newRow(qPrintable(QStringLiteral("%1, ahead for the %2 file").arg(file, ahead))) << file << ahead;
    }
    void connectionTakesTheCatalogueOpenedAheadForItsFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, aheadFor);
        QTemporaryDir dir;
        const QString path = dir.filePath("KVRJetLib.mdb");
        const QString other = dir.filePath("other.mdb");
        TestSupport::MakeCatalogue(other);
        TestSupport::AddEntry(other, "ZXTP", "in the other file", "t");
        if (file == "good") {
            TestSupport::MakeCatalogue(path);
            TestSupport::AddEntry(path, "ZXTP", "in this file", "t");
        } else if (file == "empty") {
            writeFile(path, QByteArray());
        }
        const QString plainError = openError(path);

        TCatalogueOpenAhead::Start(aheadFor == "same" ? path : other);
        TCatalogConnection c;
        c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
        QString error;
        try {
            c.SetConnected(true);
        } catch (const TavelinError &e) {
            error = e.message();
        }
        TCatalogueOpenAhead::Discard();
        QCOMPARE(error, plainError);
        QCOMPARE(c.Connected(), file == "good");
        if (file == "good") {
            QCOMPARE(QFileInfo(c.Store().Location()).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
            TCatalogQuery q;
            q.SetConnection(&c);
            q.SQL() << "select ItemName from KVR_ZXTPPicture";
            q.Open();
            QCOMPARE(q.FieldAsString("ItemName"), QStringLiteral("in this file"));
        }
        // Taken or discarded, nothing is left for a later connection to take.
        QVERIFY(!TCatalogueOpenAhead::Take(path));
    }

    void truncatedCatalogueFailsOrBrowsesWithoutCrash()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.mdb");
        TestSupport::MakeCatalogue(good);
        TestSupport::AddEntry(good, "ZY", QStringLiteral("甘草"), "GC", {TestSupport::MakeJpeg(300, 200)});
        QFile f(good);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        const QString cut = dir.filePath("cut.mdb");
        writeFile(cut, all.left(all.size() / 2));
        QString err = openError(cut);
        if (err.isEmpty())
            err = listOpenError(cut, "select DrugName, OtherName, RecordSN from KVR_ZYPicture");
        QVERIFY2(err.isEmpty() || err.contains("KVR_ZYPicture") || err.contains(QStringLiteral("损坏")), qPrintable(err));
    }

    void missingTableOpensButItsListFailsNamingIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.mdb");
        execSql(path, "CREATE TABLE other(a)");
        QVERIFY(openError(path).isEmpty());
        const QString err = listOpenError(path, "select DrugName, OtherName, RecordSN from KVR_ZYPicture");
        QVERIFY2(err.contains(QStringLiteral("没有表 KVR_ZYPicture")), qPrintable(err));
    }

    void missingOrMistypedColumnFailsNamingIt_data()
    {
        QTest::addColumn<QString>("create");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing column") << "CREATE TABLE KVR_ZYPicture(RecordSN INTEGER PRIMARY KEY, DrugName VARCHAR(50))"
                                        << "表 KVR_ZYPicture 中没有列 OtherName";
        QTest::newRow("text as integer")
            << "CREATE TABLE KVR_ZYPicture(RecordSN INTEGER PRIMARY KEY, DrugName INTEGER, OtherName TEXT)"
            << "KVR_ZYPicture.DrugName 的类型是 INTEGER,应为文本";
        QTest::newRow("key as text")
            << "CREATE TABLE KVR_ZYPicture(RecordSN TEXT, DrugName VARCHAR(50), OtherName TEXT)"
            << "KVR_ZYPicture.RecordSN 的类型是 TEXT,应为整数";
    }
    void missingOrMistypedColumnFailsNamingIt()
    {
        QFETCH(QString, create);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.mdb");
        execSql(path, create.toUtf8().constData());
        const QString err = listOpenError(path, "select DrugName, OtherName, RecordSN from KVR_ZYPicture");
        QVERIFY2(err.contains(expected), qPrintable(err));
    }

    void pictureColumnOfAnotherTypeFails()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.mdb");
        execSql(path, "CREATE TABLE KVR_ZXTPPicture(RecordSN INTEGER PRIMARY KEY, TypeName VARCHAR(50), ItemName "
                      "VARCHAR(50), MemoContent VARCHAR(250), pic1 TEXT, pic2 PICTURE, pic3 PICTURE, pic4 PICTURE)");
        const QString err = listOpenError(
            path, "select pic1,pic2,pic3,pic4,RecordSN,TypeName,ItemName,MemoContent from KVR_ZXTPPicture");
        QVERIFY2(err.contains("KVR_ZXTPPicture.pic1") && err.contains(QStringLiteral("应为图片")), qPrintable(err));
    }

    void readOnlyCatalogueBrowsesAndRefusesWrites_data()
    {
        QTest::addColumn<bool>("lockFolder");
        QTest::newRow("file without write permission") << false;
        QTest::newRow("folder without write permission") << true;
    }
    void readOnlyCatalogueBrowsesAndRefusesWrites()
    {
        // Write permission is honoured as the user set it, also for root, who could write anyway.
        QFETCH(bool, lockFolder);
        QTemporaryDir dir;
        const QString folder = dir.filePath("cat");
        QDir().mkpath(folder);
        const QString path = folder + "/ro.mdb";
        TestSupport::MakeCatalogue(path);
        TestSupport::AddEntry(path, "ZXTP", "pic", "cat", {QByteArray("abc")});
        const auto ro = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const QString locked = lockFolder ? folder : path;
        const auto oldPerm = QFile::permissions(locked);
        QFile::setPermissions(locked, lockFolder ? (ro | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther) : ro);
        const QByteArray before = fileHash(path);
        {
            TCatalogConnection c;
            c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
            c.SetConnected(true);
            QVERIFY(c.ReadOnly());
            TCatalogQuery q;
            q.SetConnection(&c);
            q.SQL() << "select pic1,pic2,pic3,pic4,RecordSN,TypeName,ItemName,MemoContent from KVR_ZXTPPicture";
            q.Open();
            QCOMPARE(q.RecordCount(), 1);
            QCOMPARE(q.FieldAsString("ItemName"), QStringLiteral("pic"));
            QVERIFY_THROWS_EXCEPTION(TavelinError, q.Append());
            QVERIFY_THROWS_EXCEPTION(TavelinError, q.Delete());
            try {
                q.Edit();
                QFAIL("edit of a read-only catalogue was accepted");
            } catch (const TavelinError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("只读")), qPrintable(e.message()));
            }
            QCOMPARE(q.RecordCount(), 1);
        }
        QCOMPARE(fileHash(path), before);
        QFile::setPermissions(locked, oldPerm);
    }
};

QTEST_GUILESS_MAIN(TestCatalogConnection)
#include "test_catalog_connection.moc"
