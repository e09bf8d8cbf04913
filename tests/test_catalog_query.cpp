#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/TDataSetGridModel.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/FrameSearch.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QFile>

#include <memory>

using TestSupport::AddEntry;

namespace {

// Bytes this process has read through read() and pread(), page cache or not (Linux).
qint64 bytesReadByProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

struct Catalogue {
    QTemporaryDir dir;
    QString path;
    TCatalogConnection conn;
    Catalogue()
    {
        path = dir.filePath("KVRJetLib.mdb");
        TestSupport::MakeCatalogue(path);
    }
    void connect()
    {
        conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
        conn.SetConnected(true);
    }
    std::unique_ptr<TCatalogQuery> query(const QStringList &sql)
    {
        auto q = std::make_unique<TCatalogQuery>();
        q->SetConnection(&conn);
        q->SQL() = sql;
        return q;
    }
};

} // namespace

class TestCatalogQuery : public QObject {
    Q_OBJECT
private slots:
    void everyAtlasListsAndLoadsItsPictures()
    {
        Catalogue c;
        const QByteArray jpeg = TestSupport::MakeJpeg(40, 30);
        QHash<QString, int> keys;
        for (const TAtlasDef &a : CatalogSchema::Atlases())
            keys[a.code] = AddEntry(c.path, a.code, "name-" + a.code, "other", {std::nullopt, jpeg});
        c.connect();
        for (const TAtlasDef &a : CatalogSchema::Atlases()) {
            auto list = c.query({a.listSql});
            list->Open();
            QCOMPARE(list->RecordCount(), 1);
            QCOMPARE(list->FieldAsString(a.nameColumn), "name-" + a.code);
            auto pics = c.query({a.pictureSql});
            pics->SetParameter("SQLRecordSN", list->FieldAsInteger("RecordSN"));
            pics->Open();
            QCOMPARE(pics->RecordCount(), 1);
            TMemoryStream s;
            pics->BlobToStream("pic1", s);
            QCOMPARE(s.Size(), 0); // NULL appends nothing
            pics->BlobToStream("pic2", s);
            // Stored as the atlas keeps its pictures: the built-in atlases transformed.
            QCOMPARE(s.Bytes() != jpeg, a.code != QLatin1String("ZXTP"));
            TMemoryStream plain;
            pics->PictureToStream("pic2", plain);
            QCOMPARE(plain.Bytes(), jpeg);
        }
    }

    void parameterSelectsTheOneRowAndUnsetSelectsNone()
    {
        Catalogue c;
        for (int i = 0; i < 5; ++i)
            AddEntry(c.path, "ZYZJ", QString::number(i), "t");
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZYZJ")->pictureSql});
        q->Open();
        QCOMPARE(q->RecordCount(), 0); // the parameter holds NULL until set
        q->Close();
        q->SetParameter("SQLRecordSN", qint32(3));
        q->Open();
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(q->FieldAsInteger("RecordSN"), 3);
    }

    void listOverLargePicturesReadsNoPictureBytes()
    {
        Catalogue c;
        const QByteArray big(1024 * 1024, 'p');
        for (int i = 0; i < 12; ++i)
            AddEntry(c.path, "ZXTP", QString::number(i), "cat", {big, big});
        c.connect();
        // A fresh connection's page cache is empty: every page it needs is read from the file.
        const qint64 before = bytesReadByProcess();
        auto q = c.query(TestSupport::SearchStatementFor("ZXTP", "CAT"));
        q->Open();
        QCOMPARE(q->RecordCount(), 12);
        const qint64 read = bytesReadByProcess() - before;
        // 24 MiB of pictures; the list and its search read only a handful of pages.
        QVERIFY2(read >= 0 && read < 2 * 1024 * 1024, qPrintable(QString::number(read)));
        TMemoryStream s;
        q->SetRecNo(5);
        q->BlobToStream("pic2", s);
        QCOMPARE(s.Bytes(), big);
    }

    void likeSearchMatchesAsTheSearchBoxNeeds_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("initials, either case") << "GC" << QStringList{"甘草"};
        QTest::newRow("chinese as it is") << "黄" << QStringList{"黄芪", "大黄"};
        QTest::newRow("underscore is one character") << "大_" << QStringList{"大黄"};
        QTest::newRow("quote matched as itself") << "O'B" << QStringList{"O'Brien"};
        QTest::newRow("leading blank counts") << " A" << QStringList{"X A"};
        QTest::newRow("no match") << "ZZZ" << QStringList{};
    }
    void likeSearchMatchesAsTheSearchBoxNeeds()
    {
        QFETCH(QString, value);
        QFETCH(QStringList, expected);
        Catalogue c;
        AddEntry(c.path, "ZY", QStringLiteral("甘草"), QStringLiteral("国老 gc"));
        AddEntry(c.path, "ZY", QStringLiteral("黄芪"), QStringLiteral("HQ"));
        AddEntry(c.path, "ZY", QStringLiteral("大黄"), QStringLiteral("DH"));
        AddEntry(c.path, "ZY", QStringLiteral("O'Brien"), QString());
        AddEntry(c.path, "ZY", QStringLiteral("X A"), QString());
        AddEntry(c.path, "ZY", QStringLiteral("XA"), QString());
        c.connect();
        auto q = c.query(TestSupport::SearchStatementFor("ZY", value));
        q->Open();
        QStringList got;
        for (int i = 0; i < q->RecordCount(); ++i) {
            q->SetRecNo(i);
            got << q->FieldAsString("DrugName");
        }
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
    }

    void memoIsReadWhole()
    {
        Catalogue c;
        QString memo;
        for (int i = 0; i < 7000; ++i)
            memo += QStringLiteral("国老GC\r\n");
        AddEntry(c.path, "ZY", QStringLiteral("甘草"), memo);
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZY")->listSql});
        q->Open();
        QCOMPARE(q->FieldAsString("OtherName"), memo);
    }

    void writesAreStoredAndKeysNeverReused()
    {
        Catalogue c;
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZXTP")->listSql});
        q->Open();
        const QString sixty = QString(60, QChar(0x56FE)); // 60 times 图
        QList<int> keys;
        for (int i = 0; i < 3; ++i) {
            q->Append();
            q->SetFieldText("TypeName", "cat");
            q->SetFieldText("ItemName", i == 0 ? sixty : QString::number(i));
            TMemoryStream s;
            if (i != 2)
                s.Write(QByteArray("bytes") + QByteArray::number(i));
            q->BlobFromStream("pic1", s); // the third stream is empty: an empty picture, not NULL
            q->Post();
            keys << q->FieldAsInteger("RecordSN");
        }
        QCOMPARE(keys, (QList<int>{1, 2, 3}));
        QCOMPARE(q->RecordCount(), 3);
        QCOMPARE(q->RecNo(), 2);
        q->Delete();
        QCOMPARE(q->RecordCount(), 2);
        q->Append();
        q->SetFieldText("ItemName", "after delete");
        q->Post();
        QCOMPARE(q->FieldAsInteger("RecordSN"), 4);
        q->SetRecNo(1);
        q->Edit();
        q->SetFieldText("TypeName", QString());
        q->Post();

        // What another connection sees: exactly what was posted.
        TCatalogConnection other;
        other.SetConnectionString(TCatalogConnection::ConnectionStringForFile(c.path));
        other.SetConnected(true);
        TCatalogQuery r;
        r.SetConnection(&other);
        r.SQL() << CatalogSchema::FindAtlas("ZXTP")->listSql;
        r.Open();
        QCOMPARE(r.RecordCount(), 3);
        QCOMPARE(r.FieldAsString("ItemName"), QString(50, QChar(0x56FE)));
        TMemoryStream s;
        r.BlobToStream("pic1", s);
        QCOMPARE(s.Bytes(), QByteArray("bytes0"));
        r.SetRecNo(1);
        QCOMPARE(r.FieldAsString("TypeName"), QString());
        QVERIFY(!r.FieldIsNull("pic1"));
        r.SetRecNo(2);
        QVERIFY(r.FieldIsNull("pic1"));
    }

    void cutKeepsCharactersNotUnits()
    {
        const QString face = QString::fromUcs4(U"\U0001F600");
        QCOMPARE(TCatalogQuery::CutToCharacters(QString(49, 'a') + face + "b", 50), QString(49, 'a') + face);
        QCOMPARE(TCatalogQuery::CutToCharacters(QStringLiteral("甘草"), 50), QStringLiteral("甘草"));
    }

    void aFailedPartOfALargerChangeUndoesOnlyItself()
    {
        Catalogue c;
        c.connect();
        TCatalogStore &store = c.conn.Store();
        const TAtlasDef &atlas = *CatalogSchema::FindAtlas("ZYZJ");
        {
            TStoreTransaction whole(store);
            TEntryValues kept{{"ItemName", QStringLiteral("kept")}};
            store.InsertEntry(atlas.table, kept);
            try {
                TStoreTransaction part(store);
                TEntryValues undone{{"ItemName", QStringLiteral("undone")}};
                store.InsertEntry(atlas.table, undone);
                throw TavelinError(QStringLiteral("this part fails"));
            } catch (const TavelinError &) {
            }
            whole.Commit();
        }
        auto q = c.query({atlas.listSql});
        q->Open();
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(q->FieldAsString("ItemName"), QStringLiteral("kept"));
    }

    void aChangeWhosePartLostTheTransactionIsNotReportedSaved()
    {
        Catalogue c;
        c.connect();
        TCatalogStore &store = c.conn.Store();
        const TAtlasDef &atlas = *CatalogSchema::FindAtlas("ZYZJ");
        bool refused = false;
        {
            TStoreTransaction whole(store);
            TEntryValues first{{"ItemName", QStringLiteral("first")}};
            store.InsertEntry(atlas.table, first);
            {
                TStoreTransaction part(store);
                // What SQLite does by itself after a full disk: the whole transaction ends.
                store.Execute(QStringLiteral("ROLLBACK"));
            }
            try {
                whole.Commit();
            } catch (const TavelinError &) {
                refused = true;
            }
        }
        QVERIFY(refused);
        auto q = c.query({atlas.listSql});
        q->Open();
        QCOMPARE(q->RecordCount(), 0);
        // The store is usable again afterwards.
        TEntryValues later{{"ItemName", QStringLiteral("later")}};
        store.InsertEntry(atlas.table, later);
        q->Close();
        q->Open();
        QCOMPARE(q->RecordCount(), 1);
    }

    void deletingARowRemovesItsPictures()
    {
        Catalogue c;
        AddEntry(c.path, "ZY", "a", "b", {QByteArray(5000, 'x'), QByteArray(5000, 'y')});
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZY")->listSql});
        q->Open();
        QCOMPARE(c.conn.Store().StoredPictureCount(), qint64(2));
        q->Delete();
        QCOMPARE(c.conn.Store().StoredPictureCount(), qint64(0));
    }

    // A list told which fields it shows reads the rest of a row later, by RecordSN. Whatever was
    // done through it, it must read exactly what a fresh list reading every field reads.
    void fieldsReadLaterMatchAFullRead_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("search");
        QTest::newRow("as stored") << "" << QStringList{};
        QTest::newRow("searched") << "" << QStringList{" Where TypeName Like '%B%'", " Or ItemName Like '%B%'"};
        QTest::newRow("listed field edited") << "edit name" << QStringList{};
        QTest::newRow("picture replaced") << "replace picture" << QStringList{};
        QTest::newRow("row deleted") << "delete" << QStringList{};
        QTest::newRow("row appended") << "append" << QStringList{};
    }
    void fieldsReadLaterMatchAFullRead()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, search);
        Catalogue c;
        for (int i = 0; i < 4; ++i)
            AddEntry(c.path, "ZXTP", QStringLiteral("name-%1").arg(i), i % 2 ? "B" : "A",
                     {QByteArray("first-") + QByteArray::number(i), i == 2 ? std::nullopt
                                                                           : std::optional(QByteArray(300 + i, char('a' + i)))});
        c.connect();
        const QStringList sql = QStringList{CatalogSchema::FindAtlas("ZXTP")->listSql} + search;
        auto later = c.query(sql);
        later->SetListedFields({"TypeName", "ItemName"});
        later->Open();
        // Reading row 1's later fields before the change: what is kept must follow the change.
        later->SetRecNo(1);
        QVERIFY(!later->FieldIsNull("pic1"));
        if (change == "edit name") {
            later->Edit();
            later->SetFieldText("ItemName", "renamed");
            later->Post();
        } else if (change == "replace picture") {
            later->Edit();
            TMemoryStream s;
            s.Write(QByteArray("replaced"));
            later->BlobFromStream("pic2", s);
            later->Post();
        } else if (change == "delete") {
            later->SetRecNo(0);
            later->Delete();
        } else if (change == "append") {
            later->Append();
            later->SetFieldText("ItemName", "appended");
            TMemoryStream s;
            s.Write(QByteArray("new picture"));
            later->BlobFromStream("pic3", s);
            later->Post();
        }

        auto full = c.query(sql);
        full->Open();
        QCOMPARE(later->RecordCount(), full->RecordCount());
        QVERIFY(full->RecordCount() > 0);
        for (int r = 0; r < full->RecordCount(); ++r) {
            later->SetRecNo(r);
            full->SetRecNo(r);
            for (const TQueryField &f : full->Fields()) {
                QCOMPARE(later->FieldValue(f.name), full->FieldValue(f.name));
                if (f.type == TFieldType::Blob) {
                    TMemoryStream a, b;
                    later->BlobToStream(f.name, a);
                    full->BlobToStream(f.name, b);
                    QCOMPARE(a.Bytes(), b.Bytes());
                }
            }
        }
    }

    void fieldsReadLaterOfAnEntryRemovedElsewhereReadAsEmpty()
    {
        Catalogue c;
        AddEntry(c.path, "ZXTP", "kept", "t", {QByteArray("kept picture")});
        const int removed = AddEntry(c.path, "ZXTP", "removed", "t", {QByteArray("removed picture")});
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZXTP")->listSql});
        q->SetListedFields({"ItemName"});
        q->Open();
        TCatalogConnection other;
        other.SetConnectionString(TCatalogConnection::ConnectionStringForFile(c.path));
        other.SetConnected(true);
        QVERIFY(other.Store().DeleteEntry("KVR_ZXTPPicture", removed));

        q->SetRecNo(1);
        QCOMPARE(q->FieldAsString("ItemName"), QStringLiteral("removed")); // read with the list
        QVERIFY(q->FieldIsNull("pic1"));
        TMemoryStream s;
        q->BlobToStream("pic1", s);
        QCOMPARE(s.Size(), 0);
        q->SetRecNo(0);
        q->BlobToStream("pic1", s);
        QCOMPARE(s.Bytes(), QByteArray("kept picture"));
    }

    void gridModelFollowsTheQueryAndHoldsStillWhileSuspended()
    {
        Catalogue c;
        for (int i = 0; i < 4; ++i)
            AddEntry(c.path, "ZYZJ", QString("item%1").arg(i), "t");
        c.connect();
        auto q = c.query({CatalogSchema::FindAtlas("ZYZJ")->listSql});
        TDataSetGridModel model(q.get(), {{"TypeName", "类别名称", 60}, {"ItemName", "图片名称", 140}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        q->Open();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("图片名称"));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("item2"));

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        q->DisableControls();
        q->Close();
        q->SQL() = TestSupport::SearchStatementFor("ZYZJ", "item3");
        q->Open();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(model.rowCount(), 4); // what the grid was told stays until resumed
        q->EnableControls();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(q->RecNo(), 0);

        q->Append();
        q->SetFieldText("ItemName", "new");
        q->Post();
        QCOMPARE(model.rowCount(), 2);
        q->Delete();
        QCOMPARE(model.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCatalogQuery)
#include "test_catalog_query.moc"
