// tavelin-catalog import-mdb on the Jet fixture: every key, text and picture byte arrives, the
// program's own queries list and search the result, and a damaged or occupied path changes nothing.
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/FrameSearch.h"
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// The bytes of a damaged source file, made from the fixture's.
using TDamage = std::function<QByteArray(const QByteArray &)>;
Q_DECLARE_METATYPE(TDamage)

namespace {

const QString kFixtureDir = QStringLiteral(TAVELIN_SOURCE_DIR "/../shared/fixtures/jet");


QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

class TestImportMdb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void conversionReportsEveryAtlas();
    void keysAndTextsAreExact_data();
    void keysAndTextsAreExact();
    void pictureSlotsAreByteExact_data();
    void pictureSlotsAreByteExact();
    void programQueriesListAndSearch_data();
    void programQueriesListAndSearch();
    void newEntriesNeverReuseKeys();
    void keysOfDeletedLastRowsStayUsed();
    void checkNamesTheBadSlots();
    void damagedSourceLeavesNothing_data();
    void damagedSourceLeavesNothing();
    void existingDestinationIsRefused();
    void programsAdviceForAJetFileWorks();
    void wrongArgumentsAreRefused();
    void cutJetFileIsRefused();

private:
    // Why the fixture tests cannot run here, or empty when they can.
    QString missingFixture() const;
    QJsonArray rowsOf(const QString &table) const;

    QTemporaryDir m_dir;
    QByteArray m_fixture;
    QJsonObject m_manifest;
    QString m_converted;
    TestSupport::TProgramRun m_run;
};

QString TestImportMdb::missingFixture() const
{
#ifndef TAVELIN_HAVE_MDB
    return QStringLiteral("This build reads no Jet files (built without libmdb)");
#endif
    if (m_fixture.isEmpty())
        return QStringLiteral("The Jet fixture (shared/fixtures/jet beside the source tree) is not present");
    return QString();
}

QJsonArray TestImportMdb::rowsOf(const QString &table) const
{
    return m_manifest.value(QStringLiteral("tables")).toObject().value(table).toObject().value(QStringLiteral("rows")).toArray();
}

void TestImportMdb::initTestCase()
{
    QVERIFY(m_dir.isValid());
#ifndef TAVELIN_HAVE_MDB
    return;
#endif
    QFile mdb(kFixtureDir + QStringLiteral("/KVRJetLib.mdb"));
    QFile manifest(kFixtureDir + QStringLiteral("/manifest.json"));
    if (!mdb.open(QIODevice::ReadOnly) || !manifest.open(QIODevice::ReadOnly))
        return; // each test skips
    m_fixture = mdb.readAll();
    m_manifest = QJsonDocument::fromJson(manifest.readAll()).object();
    QVERIFY(!m_manifest.isEmpty());
    QCOMPARE(sha256(m_fixture), m_manifest.value(QStringLiteral("mdb_sha256")).toString());
    m_converted = m_dir.filePath(QStringLiteral("converted/KVRJetLib.mdb"));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("converted"))));
    m_run = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), mdb.fileName(), m_converted});
    QVERIFY2(m_run.code == 0, qPrintable(m_run.err));
    // Only the catalogue itself is left: no temporary or journal files beside it.
    QCOMPARE(QDir(m_dir.filePath(QStringLiteral("converted"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("KVRJetLib.mdb")});
}

void TestImportMdb::conversionReportsEveryAtlas()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        const qint64 rows = rowsOf(a.table).size();
        qint64 filled = 0;
        for (const QJsonValue &row : rowsOf(a.table))
            for (int k = 1; k <= a.slotCount; ++k) {
                const QJsonValue slot = row.toObject().value(CatalogSchema::SlotColumn(k));
                filled += slot.isObject() && slot.toObject().value(QStringLiteral("stored_len")).toInt() > 0;
            }
        // Summary on stdout: atlas, table, entries, filled slots.
        const QRegularExpression line(QStringLiteral("^%1\\s+%2\\s+%3\\s+%4\\s").arg(a.code, a.table).arg(rows).arg(filled),
                                      QRegularExpression::MultilineOption);
        QVERIFY2(line.match(m_run.out).hasMatch(), qPrintable(a.code + QStringLiteral(":\n") + m_run.out));
        // Progress on stderr ends each atlas with its totals.
        QVERIFY2(m_run.err.contains(QRegularExpression(QStringLiteral("%1\\s+%2\\s+%3 of %3 rows.*done").arg(a.code, a.table).arg(rows))),
                 qPrintable(m_run.err));
    }
    QVERIFY(m_run.out.contains(QStringLiteral("Jet 4")));
}

void TestImportMdb::keysAndTextsAreExact_data()
{
    QTest::addColumn<QString>("code");
    for (const TAtlasDef &a : CatalogSchema::Atlases())
        QTest::newRow(qPrintable(a.code)) << a.code;
}

void TestImportMdb::keysAndTextsAreExact()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QFETCH(QString, code);
    const TAtlasDef &atlas = *CatalogSchema::FindAtlas(code);
    const QJsonArray rows = rowsOf(atlas.table);
    QVERIFY(!rows.isEmpty());
    const TRowSet count = TestSupport::SelectRows(m_converted, QStringLiteral("SELECT count(*) FROM %1").arg(atlas.table));
    QCOMPARE(count.Value(0, 0).toLongLong(), qint64(rows.size()));
    for (const QJsonValue &v : rows) {
        const QJsonObject row = v.toObject();
        const qint64 key = row.value(QStringLiteral("RecordSN")).toInteger();
        for (const TFieldDef &f : atlas.columns) {
            if (f.type != TFieldType::String && f.type != TFieldType::Memo)
                continue;
            const TRowSet st = TestSupport::SelectRows(
                m_converted, QStringLiteral("SELECT %1 FROM %2 WHERE RecordSN = :key").arg(f.name, atlas.table),
                {{QStringLiteral("key"), key}});
            QVERIFY2(st.RowCount() == 1, qPrintable(QStringLiteral("no row %1").arg(key)));
            const QJsonValue expected = row.value(f.name);
            const QString where = QStringLiteral("%1 RecordSN %2 %3").arg(atlas.table).arg(key).arg(f.name);
            if (expected.isNull()) {
                QVERIFY2(st.Value(0, 0).isNull(), qPrintable(where + QStringLiteral(" should be NULL")));
            } else {
                QVERIFY2(!st.Value(0, 0).isNull(), qPrintable(where + QStringLiteral(" is NULL")));
                const QString text = st.Value(0, 0).toString();
                QVERIFY2(text == expected.toString(),
                         qPrintable(QStringLiteral("%1: %2 characters, %3 expected").arg(where).arg(text.size()).arg(expected.toString().size())));
            }
        }
    }
}

void TestImportMdb::pictureSlotsAreByteExact_data()
{
    keysAndTextsAreExact_data();
}

void TestImportMdb::pictureSlotsAreByteExact()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QFETCH(QString, code);
    const TAtlasDef &atlas = *CatalogSchema::FindAtlas(code);
    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(m_converted));
    conn.SetConnected(true);
    TCatalogQuery pictures;
    pictures.SetConnection(&conn);
    pictures.SQL() << atlas.pictureSql;
    for (const QJsonValue &v : rowsOf(atlas.table)) {
        const QJsonObject row = v.toObject();
        const qint64 key = row.value(QStringLiteral("RecordSN")).toInteger();
        pictures.Close();
        pictures.SetParameter(QStringLiteral("SQLRecordSN"), key);
        pictures.Open();
        QCOMPARE(pictures.RecordCount(), 1);
        for (int k = 1; k <= atlas.slotCount; ++k) {
            const QString slot = CatalogSchema::SlotColumn(k);
            const QString where = QStringLiteral("%1 RecordSN %2 %3").arg(atlas.table).arg(key).arg(slot);
            const QJsonValue expected = row.value(slot);
            // NULL is no picture at all; a zero-length value is a picture holding no bytes.
            if (expected.isNull()) {
                QVERIFY2(pictures.FieldIsNull(slot), qPrintable(where + QStringLiteral(" should be NULL")));
                continue;
            }
            QVERIFY2(!pictures.FieldIsNull(slot), qPrintable(where + QStringLiteral(" has no picture")));
            const QJsonObject e = expected.toObject();

            TMemoryStream stored;
            pictures.BlobToStream(slot, stored);
            QCOMPARE(stored.Size(), e.value(QStringLiteral("stored_len")).toInteger());
            QVERIFY2(sha256(stored.Bytes()) == e.value(QStringLiteral("stored_sha256")).toString(), qPrintable(where));
            TMemoryStream stream;
            pictures.PictureToStream(slot, stream);
            QVERIFY2(sha256(stream.Bytes()) == e.value(QStringLiteral("plain_sha256")).toString(), qPrintable(where));
            QCOMPARE(stream.Bytes().startsWith("\xFF\xD8\xFF"), e.value(QStringLiteral("plain_is_jpeg")).toBool());
        }
    }
}

void TestImportMdb::programQueriesListAndSearch_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("ZY all") << "ZY" << QString();
    QTest::newRow("ZY name") << "ZY" << QStringLiteral("枸杞");
    QTest::newRow("ZY Latin other name, any case") << "ZY" << QStringLiteral("gc");
    QTest::newRow("ZY deep in the long memo") << "ZY" << QStringLiteral("Lycium barbarum");
    QTest::newRow("ZYZJ all") << "ZYZJ" << QString();
    QTest::newRow("ZYZJ category") << "ZYZJ" << QStringLiteral("手阳明");
    QTest::newRow("ZYWZ all") << "ZYWZ" << QString();
    QTest::newRow("ZYWZ name") << "ZYWZ" << QStringLiteral("红舌");
    QTest::newRow("XYJP all") << "XYJP" << QString();
    QTest::newRow("XYJP category") << "XYJP" << QStringLiteral("骨骼");
    QTest::newRow("XYLC all") << "XYLC" << QString();
    QTest::newRow("XYLC category") << "XYLC" << QStringLiteral("眼科");
    QTest::newRow("ZXTP all") << "ZXTP" << QString();
    QTest::newRow("ZXTP end of a 50-character name") << "ZXTP" << QStringLiteral("ABCDEFGH");
    QTest::newRow("ZXTP nothing") << "ZXTP" << QStringLiteral("不存在");
}

void TestImportMdb::programQueriesListAndSearch()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QFETCH(QString, code);
    QFETCH(QString, text);
    const TAtlasDef &atlas = *CatalogSchema::FindAtlas(code);
    QSet<qint64> expected;
    QHash<qint64, QJsonObject> byKey;
    for (const QJsonValue &v : rowsOf(atlas.table)) {
        const QJsonObject row = v.toObject();
        const qint64 key = row.value(QStringLiteral("RecordSN")).toInteger();
        byKey.insert(key, row);
        if (text.isEmpty() || row.value(atlas.nameColumn).toString().contains(text, Qt::CaseInsensitive)
            || row.value(atlas.otherColumn).toString().contains(text, Qt::CaseInsensitive))
            expected.insert(key);
    }

    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(m_converted));
    conn.SetConnected(true);
    TCatalogQuery list;
    list.SetConnection(&conn);
    list.SQL() = TestSupport::SearchStatementFor(atlas.code, text);
    list.Open();
    QSet<qint64> found;
    for (int r = 0; r < list.RecordCount(); ++r) {
        list.SetRecNo(r);
        const qint64 key = list.FieldAsInteger(QStringLiteral("RecordSN"));
        found.insert(key);
        QVERIFY(byKey.contains(key));
        QCOMPARE(list.FieldAsString(atlas.nameColumn), byKey[key].value(atlas.nameColumn).toString());
        QCOMPARE(list.FieldAsString(atlas.otherColumn), byKey[key].value(atlas.otherColumn).toString());
    }
    QCOMPARE(found, expected);
}

void TestImportMdb::newEntriesNeverReuseKeys()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // A copy, so the other tests keep the conversion as it came.
    const QString copy = m_dir.filePath(QStringLiteral("appended.mdb"));
    QVERIFY(QFile::copy(m_converted, copy));
    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(copy));
    conn.SetConnected(true);
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        qint64 maxKey = 0;
        for (const QJsonValue &v : rowsOf(a.table))
            maxKey = qMax(maxKey, v.toObject().value(QStringLiteral("RecordSN")).toInteger());
        TCatalogQuery q;
        q.SetConnection(&conn);
        q.SQL() << QStringLiteral("select * from %1 where 0").arg(a.table);
        q.Open();
        q.Append();
        q.SetFieldText(a.nameColumn, QStringLiteral("新条目"));
        q.Post();
        QVERIFY2(q.FieldAsInteger(QStringLiteral("RecordSN")) > maxKey, qPrintable(a.code));
    }
}

void TestImportMdb::keysOfDeletedLastRowsStayUsed()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // Jet remembers the last AutoNumber it handed out in the table definition, also when that row
    // was deleted since. Make it say 9 for the acupuncture table (keys 1, 3, 4, 5 remain).
    const int page = 4096, tdefPage = 27, autoNumberAt = tdefPage * page + 20;
    QByteArray bytes = m_fixture;
    QCOMPARE(int(bytes[tdefPage * page]), 2); // a table definition page
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + tdefPage * page + 16), 4); // its row count
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + autoNumberAt), 5);
    qToLittleEndian<qint32>(9, bytes.data() + autoNumberAt);
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src.mdb"));
    const QString dest = dir.filePath(QStringLiteral("dest.mdb"));
    QFile f(src);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), src, dest});
    QVERIFY2(run.code == 0, qPrintable(run.err));

    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(dest));
    conn.SetConnected(true);
    TCatalogQuery q;
    q.SetConnection(&conn);
    q.SQL() << QStringLiteral("select * from KVR_ZYZJPicture where 0");
    q.Open();
    q.Append();
    q.SetFieldText(QStringLiteral("ItemName"), QStringLiteral("云门"));
    q.Post();
    QCOMPARE(q.FieldAsInteger(QStringLiteral("RecordSN")), 10);
}

void TestImportMdb::checkNamesTheBadSlots()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // The fixture holds exactly two slots that are no JPEG once read as the program reads them.
    QStringList expected;
    for (const TAtlasDef &a : CatalogSchema::Atlases())
        for (const QJsonValue &v : rowsOf(a.table))
            for (int k = 1; k <= a.slotCount; ++k) {
                const QJsonObject slot = v.toObject().value(CatalogSchema::SlotColumn(k)).toObject();
                if (!slot.isEmpty() && slot.value(QStringLiteral("stored_len")).toInt() > 0
                    && !slot.value(QStringLiteral("plain_is_jpeg")).toBool())
                    expected << QStringLiteral("%1 RecordSN %2 pic%3")
                                    .arg(a.code)
                                    .arg(v.toObject().value(QStringLiteral("RecordSN")).toInteger())
                                    .arg(k);
            }
    QCOMPARE(expected, (QStringList{QStringLiteral("XYLC RecordSN 1 pic2"), QStringLiteral("ZXTP RecordSN 4 pic1")}));
    // The summary runs tavelin-catalog verify on the new catalogue: "ATLAS RECORDSN SLOT: why".
    QStringList reported;
    const QRegularExpression bad(QStringLiteral("^([A-Z]+) (\\d+) (\\d): "), QRegularExpression::MultilineOption);
    for (auto it = bad.globalMatch(m_run.out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        reported << QStringLiteral("%1 RecordSN %2 pic%3").arg(m.captured(1), m.captured(2), m.captured(3));
    }
    QCOMPARE(reported, expected);
    QVERIFY2(m_run.err.contains(QStringLiteral("2 of 50 pictures unreadable")), qPrintable(m_run.err));
}

void TestImportMdb::damagedSourceLeavesNothing_data()
{
    // damage: the source file's bytes made from the fixture's; written: false when there is no file.
    QTest::addColumn<TDamage>("damage");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message");
    constexpr int page = 4096;
    const auto cutTo = [](qsizetype size) { return TDamage([=](const QByteArray &b) { return b.left(size); }); };
    const auto wipeLongValuePage = [](QByteArray bytes) {
        QVector<int> lval;
        for (int p = 0; p < bytes.size() / page; ++p)
            if (bytes[p * page] == 1 && bytes.mid(p * page + 4, 4) == "LVAL")
                lval << p;
        if (lval.size() <= 100)
            return bytes; // not the fixture's layout: the import then succeeds and the test fails
        const int p = lval[lval.size() / 2];
        std::fill(bytes.begin() + p * page, bytes.begin() + (p + 1) * page, '\0');
        return bytes;
    };
    const auto random = [](const QByteArray &) {
        QRandomGenerator gen(7310952);
        QByteArray bytes(64 * page, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(gen.bounded(256));
        return bytes;
    };
    const auto none = [](const QByteArray &) { return QByteArray(); };
    QTest::newRow("cut in the middle of a page") << cutTo(2000000) << true << "truncated";
    QTest::newRow("cut after the table pages") << cutTo(50 * page) << true << "KVR_ZYPicture";
    QTest::newRow("last pages missing") << TDamage([](const QByteArray &b) { return b.chopped(2 * page); }) << true
                                        << "KVR_ZXTPPicture, row RecordSN 3, column pic1";
    QTest::newRow("a long-value page wiped") << TDamage(wipeLongValuePage) << true
                                             << "KVR_ZYPicture, row RecordSN 6, column pic1";
    QTest::newRow("random bytes") << TDamage(random) << true << "not a Jet database";
    QTest::newRow("empty file") << TDamage(none) << true << "not a Jet database";
    QTest::newRow("missing file") << TDamage(none) << false << "does not exist";
}

void TestImportMdb::damagedSourceLeavesNothing()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QFETCH(TDamage, damage);
    QFETCH(bool, written);
    QFETCH(QString, message);
    const QByteArray bytes = damage(m_fixture);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString src = dir.filePath(QStringLiteral("KVRJetLib.jet.mdb"));
    if (written) {
        QFile f(src);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    const QString dest = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), src, dest});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("Nothing was written")), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(dest));
    // No temporary file is left behind either.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, written ? QStringList{QStringLiteral("KVRJetLib.jet.mdb")} : QStringList());
}

void TestImportMdb::existingDestinationIsRefused()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString dest = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
    {
        QFile f(dest);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), kFixtureDir + QStringLiteral("/KVRJetLib.mdb"), dest});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(QStringLiteral("already exists")), qPrintable(run.err));
    QFile f(dest);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("precious"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("KVRJetLib.mdb")});
}

void TestImportMdb::programsAdviceForAJetFileWorks()
{
    if (const QString why = missingFixture(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // The program finds a Jet file where its catalogue belongs and says which commands convert it;
    // doing exactly that gives a catalogue it opens.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(m_fixture);
    }
    QString advice;
    try {
        TCatalogConnection conn;
        conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
        conn.SetConnected(true);
        QFAIL("a Jet file opened as a catalogue");
    } catch (const TavelinError &e) {
        advice = e.message();
    }
    const QRegularExpression mv(QStringLiteral("^\\s*mv \"([^\"]+)\" \"([^\"]+)\"$"), QRegularExpression::MultilineOption);
    const QRegularExpression import(QStringLiteral("^\\s*tavelin-catalog (import-mdb) \"([^\"]+)\" \"([^\"]+)\"$"),
                                    QRegularExpression::MultilineOption);
    const QRegularExpressionMatch move = mv.match(advice);
    const QRegularExpressionMatch convert = import.match(advice);
    QVERIFY2(move.hasMatch() && convert.hasMatch(), qPrintable(advice));
    QVERIFY(QFile::rename(move.captured(1), move.captured(2)));
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool({convert.captured(1), convert.captured(2), convert.captured(3)});
    QVERIFY2(run.code == 0, qPrintable(run.err));

    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    conn.SetConnected(true);
    TCatalogQuery list;
    list.SetConnection(&conn);
    list.SQL() << CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql;
    list.Open();
    QCOMPARE(list.RecordCount(), rowsOf(QStringLiteral("KVR_ZYPicture")).size());
}

void TestImportMdb::wrongArgumentsAreRefused()
{
    QTemporaryDir dir;
    QCOMPARE(TestSupport::RunCatalogTool({QStringLiteral("import-mdb")}).code, 2);
    QCOMPARE(TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), dir.filePath(QStringLiteral("a"))}).code, 2);
    const TestSupport::TProgramRun three = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QCOMPARE(three.code, 2);
    QVERIFY(three.err.contains(QStringLiteral("usage")));
}

void TestImportMdb::cutJetFileIsRefused()
{
    // A file that begins like a Jet database and stops after its first page. A build with the Jet
    // reader finds it cut short; one without says it reads no Jet files. Either way the input is
    // refused as unusable and no catalogue is left behind.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("cut.mdb"));
    QByteArray page("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21);
    page.resize(4096, '\0');
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(page);
    }
    const QString destination = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool({QStringLiteral("import-mdb"), source, destination});
    QCOMPARE(run.code, 2);
#ifdef TAVELIN_HAVE_MDB
    const QString said = QStringLiteral("truncated or damaged");
#else
    const QString said = QStringLiteral("this build cannot read Jet files");
#endif
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("cut.mdb")});
}

QTEST_GUILESS_MAIN(TestImportMdb)
#include "test_import_mdb.moc"
