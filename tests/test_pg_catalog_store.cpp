// The catalogue store on a PostgreSQL server, against a throwaway server: the program's statements
// in the server's dialect, LIKE exactly as the catalogue file has it, pictures, keys, transactions,
// privileges, and a server that goes away.
#include "data/CatalogSchema.h"
#include "data/TRowSet.h"
#include "data/postgres/PgLikeMatch.h"
#include "data/postgres/PgStatementTranslation.h"
#include "data/postgres/TPgCatalogStore.h"
#include "data/postgres/TPgConnection.h"
#include "picture/ContentHash.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/FrameSearch.h"
#include "support/TestPgServer.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::TestPgServer;

namespace {

// Writes with values given in place (the store hands references back through them).
qint64 insertEntry(TCatalogStore &store, const QString &table, TEntryValues values, std::optional<qint64> key = {})
{
    return store.InsertEntry(table, values, key);
}
bool updateEntry(TCatalogStore &store, const QString &table, qint64 key, TEntryValues values)
{
    return store.UpdateEntry(table, key, values);
}

QString knownIdentifier(const QString &word)
{
    static const QStringList known{QStringLiteral("KVR_ZYPicture"), QStringLiteral("DrugName"),
                                   QStringLiteral("OtherName"), QStringLiteral("RecordSN"), QStringLiteral("pic1")};
    for (const QString &k : known)
        if (k.compare(word, Qt::CaseInsensitive) == 0)
            return k;
    return {};
}

// The entries a search statement finds (their RecordSN).
QSet<qint64> keysFound(TCatalogStore &store, const QString &sql)
{
    TRowSet rows;
    store.Select(sql, {}, rows);
    QSet<qint64> keys;
    for (int r = 0; r < rows.RowCount(); ++r)
        keys.insert(rows.Value(r, 2).toLongLong()); // the herb list's third column: RecordSN
    return keys;
}

QByteArray everyByte()
{
    QByteArray b;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 256; ++i)
            b.append(char(i));
    return b;
}

} // namespace

class PgCatalogStoreTest : public QObject {
    Q_OBJECT

private:
    TestPgServer m_server;
    int m_databases = 0;

    // A new database holding a new, empty catalogue; returns its URL.
    QString newCatalogue()
    {
        const QString db = m_server.CreateDatabase(QStringLiteral("store_%1").arg(++m_databases));
        TPgCatalogStore::Create(m_server.Url(db));
        return m_server.Url(db);
    }
    QString databaseOf(const QString &url) { return QUrl(url).path().mid(1); }
    qint64 pictureRows(TPgCatalogStore &store) { return store.StoredPictureCount(); }

private slots:
    void initTestCase();

    void translation_data();
    void translation();
    void translationRefusesWhatItCannotSpeak_data();
    void translationRefusesWhatItCannotSpeak();

    void likeAsTheCatalogueFile_data();
    void likeAsTheCatalogueFile();
    void likeHereAsTheServer();
    void searchesAnsweredFromAKeptList();

    void entriesPicturesAndStatements();
    void keysKeptAndIssuedAbove();
    void replacingAndDeletingFreePictureBytes();
    void pictureDigestsNeverOutliveTheirBytes_data();
    void pictureDigestsNeverOutliveTheirBytes();
    void transactionsRollBack();
    void columnsAsTheCatalogueSpeaksOfThem();
    void anotherWorkstationsChangesShowOnTheNextQuery();
    void listsInRecordSNOrderWhateverWasChanged();
    void keptListsFollowEveryChange_data();
    void keptListsFollowEveryChange();
    void aKeptListIsNotReadAgain();
    void foldedCopiesOutOfSightAndInStep();
    void statementsMadeAgainWhenTheServerDropsThem_data();
    void statementsMadeAgainWhenTheServerDropsThem();

    void privilegesDecideReadOnly();
    void openFailuresNameTheServer();
    void createRefusesAnExistingCatalogue();
    void lostConnectionReportedOnceThenReconnects();
    void lostConnectionInsideAChangeIsNotSilentlyReplaced();
    void messagesAPersonSees_data();
    void messagesAPersonSees();
};

void PgCatalogStoreTest::initTestCase()
{
    if (const QString missing = m_server.StartWhereInstalled(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
}

void PgCatalogStoreTest::translation_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("parameters"); // "=literal" or ":name", "(folded)" when sent in lower case,
                                                 // "(pattern)" when sent with backslashes doubled
    QTest::addColumn<QStringList>("foldedCopies"); // columns whose folded copy the catalogue keeps

    // A list without an order of its own comes in RecordSN order, as a catalogue file lists it.
    QTest::newRow("list statement") << "select DrugName, OtherName, RecordSN from KVR_ZYPicture"
                                    << "select \"DrugName\", \"OtherName\", \"RecordSN\" from \"KVR_ZYPicture\" "
                                       "ORDER BY \"RecordSN\""
                                    << QStringList{} << QStringList{};
    QTest::newRow("search statement, distinct")
        << "select distinct RecordSN,DrugName from KVR_ZYPicture where DrugName like 'A'"
        << "select distinct \"RecordSN\",\"DrugName\" from \"KVR_ZYPicture\" where lower((\"DrugName\") COLLATE \"C\") "
           "LIKE ($1::text) ORDER BY \"RecordSN\""
        << QStringList{"=a (pattern)"} << QStringList{};
    QTest::newRow("an order of its own kept")
        << "select RecordSN from KVR_ZYPicture order by DrugName"
        << "select \"RecordSN\" from \"KVR_ZYPicture\" order by \"DrugName\"" << QStringList{} << QStringList{};
    QTest::newRow("an aggregate of RecordSN") << "select max(RecordSN) from KVR_ZYPicture"
                                              << "select max(\"RecordSN\") from \"KVR_ZYPicture\"" << QStringList{}
                                              << QStringList{};
    QTest::newRow("RecordSN in an expression, a limit")
        << "select RecordSN + 1, (select RecordSN from KVR_ZYPicture limit 1) from KVR_ZYPicture"
        << "select \"RecordSN\" + 1, (select \"RecordSN\" from \"KVR_ZYPicture\" limit 1) from \"KVR_ZYPicture\""
        << QStringList{} << QStringList{};
    QTest::newRow("grouped") << "select RecordSN from KVR_ZYPicture group by RecordSN"
                             << "select \"RecordSN\" from \"KVR_ZYPicture\" group by \"RecordSN\"" << QStringList{}
                             << QStringList{};
    QTest::newRow("identifiers in any case")
        << "SELECT drugname FROM kvr_zypicture" << "SELECT \"DrugName\" FROM \"KVR_ZYPicture\"" << QStringList{}
        << QStringList{};
    QTest::newRow("search lines with a doubled quote")
        << "select DrugName from KVR_ZYPicture\r\n Where DrugName Like '%O''B%'\r\n Or OtherName Like '%O''B%'"
        << "select \"DrugName\" from \"KVR_ZYPicture\" Where lower((\"DrugName\") COLLATE \"C\") LIKE "
           "($1::text) Or lower((\"OtherName\") COLLATE \"C\") LIKE ($2::text)"
        << QStringList{"=%o'b% (pattern)", "=%o'b% (pattern)"} << QStringList{};
    QTest::newRow("search lines, the columns' folded copies kept")
        << "select DrugName from KVR_ZYPicture\r\n Where DrugName Like '%ÉA_%'\r\n Or OtherName Like '%ÉA_%'"
        << "select \"DrugName\" from \"KVR_ZYPicture\" Where \"DrugName (folded)\" LIKE ($1::text) "
           "Or \"OtherName (folded)\" LIKE ($2::text)"
        << QStringList{"=%Éa_% (pattern)", "=%Éa_% (pattern)"} << QStringList{"DrugName", "OtherName"};
    QTest::newRow("a copy of one column only")
        << "select 1 where OtherName like 'A' or DrugName like 'B'"
        << "select 1 where lower((\"OtherName\") COLLATE \"C\") LIKE ($1::text) or "
           "\"DrugName (folded)\" LIKE ($2::text)"
        << QStringList{"=a (pattern)", "=b (pattern)"} << QStringList{"DrugName"};
    QTest::newRow("a column as the pattern, a text on the left")
        << "select 1 where 'X' like DrugName"
        << "select 1 where lower((($1::text)) COLLATE \"C\") LIKE \"DrugName (folded)\" ESCAPE ''"
        << QStringList{"=X"} << QStringList{"DrugName"};
    QTest::newRow("named parameter, used twice")
        << "select pic1, RecordSN from KVR_ZYPicture where RecordSN = :SQLRecordSN or RecordSN = :sqlrecordsn"
        << "select \"pic1\", \"RecordSN\" from \"KVR_ZYPicture\" where \"RecordSN\" = $1 or \"RecordSN\" = $1 "
           "ORDER BY \"RecordSN\""
        << QStringList{":SQLRecordSN"} << QStringList{};
    QTest::newRow("a parameter as a pattern and as a value")
        << "select 1 where DrugName = :v or OtherName like :V"
        << "select 1 where \"DrugName\" = $1 or lower((\"OtherName\") COLLATE \"C\") LIKE ($2::text)"
        << QStringList{":v", ":V (folded) (pattern)"} << QStringList{};
    QTest::newRow("not like, explicit escape kept")
        << "select 1 where DrugName not like :p escape '!'"
        << "select 1 where \"DrugName (folded)\" not LIKE ($1::text) escape ($2::text)"
        << QStringList{":p (folded)", "=!"} << QStringList{"DrugName"};
    QTest::newRow("a value never enters the text")
        << "select 1 where DrugName = 'x''; drop table KVR_ZYPicture; --'"
        << "select 1 where \"DrugName\" = ($1::text)" << QStringList{"=x'; drop table KVR_ZYPicture; --"}
        << QStringList{"DrugName"};
    QTest::newRow("a bare number as the condition")
        << "select * from KVR_ZYPicture where 0 order by RecordSN"
        << "select * from \"KVR_ZYPicture\" where (0 <> 0) order by \"RecordSN\"" << QStringList{} << QStringList{};
    QTest::newRow("a number compared stays")
        << "select 1 where RecordSN = 0 or 1 = RecordSN" << "select 1 where \"RecordSN\" = 0 or 1 = \"RecordSN\""
        << QStringList{} << QStringList{};
    QTest::newRow("cast and comment") << "select RecordSN::text -- :NotAParameter\nfrom KVR_ZYPicture"
                                      << "select \"RecordSN\"::text  from \"KVR_ZYPicture\"" << QStringList{}
                                      << QStringList{};
}

void PgCatalogStoreTest::translation()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QFETCH(QStringList, parameters);
    QFETCH(QStringList, foldedCopies);
    const TPgStatement st = PgStatementTranslation::Translate(sql, knownIdentifier, [&](const QString &column) {
        return foldedCopies.contains(column) ? column + QStringLiteral(" (folded)") : QString();
    });
    QCOMPARE(QString::fromUtf8(st.sql).simplified(), expected.simplified());
    QStringList got;
    for (const TPgParameterSource &p : st.parameters)
        got << (p.literal ? QLatin1Char('=') : QLatin1Char(':')) + p.text + (p.folded ? QStringLiteral(" (folded)") : QString())
                   + (p.pattern ? QStringLiteral(" (pattern)") : QString());
    QCOMPARE(got, parameters);
}

void PgCatalogStoreTest::translationRefusesWhatItCannotSpeak_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("unclosed text") << "select 1 where DrugName = 'abc";
    QTest::newRow("unclosed name") << "select \"DrugName from KVR_ZYPicture";
    QTest::newRow("like on an expression") << "select 1 where (DrugName) like 'a'";
    QTest::newRow("like at the end") << "select 1 where DrugName like";
}

void PgCatalogStoreTest::translationRefusesWhatItCannotSpeak()
{
    QFETCH(QString, sql);
    QVERIFY_THROWS_EXCEPTION(TavelinError, PgStatementTranslation::Translate(sql, knownIdentifier));
}

void PgCatalogStoreTest::likeAsTheCatalogueFile_data()
{
    QTest::addColumn<QString>("searchText"); // as the search box hands it over (upper-cased)
    // How the server catalogue keeps the searched columns' folded copies: as made now; not at all
    // (made by an older version); a plain column of that name nobody keeps up to date.
    QTest::addColumn<QString>("copies");
    const QList<std::pair<const char *, const char *>> searches{
        {"ASCII letters ignore case", "GANC"},
        {"accented letters keep case", "É"},
        {"German sharp s is not SS", "SS"},
        {"Greek keeps case", "Σ"},
        {"backslash is an ordinary character", "A\\_B"},
        {"underscore is one character", "A_C"},
        {"percent in the text is a wildcard", "5%"},
        {"a quote", "O'B"},
        {"Chinese", "甘草"},
        {"one Chinese character and a wildcard", "甘_"},
    };
    for (const char *copies : {"kept", "none", "stale"})
        for (const auto &[name, text] : searches)
            QTest::addRow("%s, folded copies %s", name, copies) << QString::fromUtf8(text) << QString::fromLatin1(copies);
}

void PgCatalogStoreTest::likeAsTheCatalogueFile()
{
    QFETCH(QString, searchText);
    QFETCH(QString, copies);
    // The same entries on the server and in a catalogue file, added in the same order: both give
    // them the same numbers.
    static QHash<QString, QString> urls;
    static QTemporaryDir fileDir;
    const QString file = fileDir.filePath(QStringLiteral("KVRJetLib.mdb"));
    static const QStringList values{"Gancao", "gancao root", "GANCAO", "école", "ÉCOLE", "straße", "STRASSE", "σίγμα",
                                    "ΣΊΓΜΑ", "a\\_b", "A\\xB", "a_b", "abc", "AXC", "50%", "5 percent", "O'Brien",
                                    "o'b", "甘草", "甘草片", "甘", "", "a%b"};
    if (!QFile::exists(file))
        CatalogStore::Create(file);
    QString &url = urls[copies];
    if (url.isEmpty()) {
        url = newCatalogue();
        auto server = TPgCatalogStore::Open(url);
        auto fileStore = CatalogStore::Open(file);
        const bool fillFile = urls.size() == 1;
        for (qsizetype i = 0; i < values.size(); ++i) {
            // The names in DrugName, and once more in OtherName of another entry.
            const TEntryValues entry{{"DrugName", values[i]}, {"OtherName", values[values.size() - 1 - i]}};
            const qint64 key = insertEntry(*server, QStringLiteral("KVR_ZYPicture"), entry);
            if (fillFile)
                QCOMPARE(insertEntry(*fileStore, QStringLiteral("KVR_ZYPicture"), entry), key);
        }
        const QString db = databaseOf(url);
        if (copies != QLatin1String("kept"))
            m_server.Exec(QStringLiteral("ALTER TABLE \"KVR_ZYPicture\" DROP COLUMN \"DrugName (folded)\", "
                                         "DROP COLUMN \"OtherName (folded)\""),
                          db);
        if (copies == QLatin1String("stale"))
            m_server.Exec(QStringLiteral("ALTER TABLE \"KVR_ZYPicture\" ADD COLUMN \"DrugName (folded)\" text, "
                                         "ADD COLUMN \"OtherName (folded)\" text"),
                          db);
    }
    // The search as the frame builds it, answered by the server and by the catalogue file.
    const QString sql = TestSupport::SearchStatementFor(QStringLiteral("ZY"), searchText).join(QStringLiteral("\r\n"));
    const QSet<qint64> expected = keysFound(*CatalogStore::Open(file), sql);
    QVERIFY2(!expected.isEmpty() && expected.size() < values.size(), "every text here matches some entries, not all");
    auto server = TPgCatalogStore::Open(url);
    QCOMPARE(keysFound(*server, sql), expected);
    // Once the workstation keeps the list, the same search is answered from it.
    TRowSet list;
    server->Select(CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql, {}, list);
    QCOMPARE(keysFound(*server, sql), expected);
}

void PgCatalogStoreTest::likeHereAsTheServer()
{
    // Random texts and patterns of letters in both cases, wildcards, backslashes, and characters
    // of two, three and four bytes, each pair asked of the server and of the matching done here.
    TPgConnection server(newCatalogue());
    const QStringList textChars{"a", "A", "b", "%", "_", "\\", "é", "É", "甘", "𝄞"};
    const QStringList patternChars{"a", "B", "%", "%", "_", "\\", "é", "甘", "𝄞"};
    QRandomGenerator random(20261211);
    const auto make = [&](const QStringList &chars, int longest) {
        QStringList s;
        for (int n = int(random.bounded(longest + 1)); n > 0; --n)
            s << chars[int(random.bounded(int(chars.size())))];
        return s;
    };
    // Half the patterns are the text itself with some characters made wildcards, some letters'
    // case changed and a wildcard run put in: otherwise hardly any would match.
    const auto likeness = [&](QStringList text) {
        for (QString &c : text) {
            const int roll = int(random.bounded(6));
            c = roll == 0 ? QStringLiteral("_") : roll == 1 ? c.toUpper() : c;
        }
        text.insert(int(random.bounded(int(text.size()) + 1)), QStringLiteral("%"));
        if (random.bounded(3) == 0 && !text.isEmpty())
            text.removeAt(int(random.bounded(int(text.size()))));
        return text.join(QString());
    };
    int matched = 0;
    for (int i = 0; i < 3000; ++i) {
        const QStringList chars = make(textChars, 6);
        const QString text = chars.join(QString());
        const QString pattern = i % 2 ? likeness(chars) : make(patternChars, 5).join(QString());
        TPgParameterSource asPattern;
        asPattern.folded = asPattern.pattern = true;
        PgParameters p;
        p.AddText(text);
        p.AddText(PgStatementTranslation::AsSent(asPattern, pattern));
        PgResultPtr r = server.ExecPrepared("SELECT lower(($1::text) COLLATE \"C\") LIKE ($2::text)", p, 0, true);
        const bool there = *PQgetvalue(r.get(), 0, 0) == 't';
        const bool here = PgLikeMatch::Matches(text.toUtf8(), PgStatementTranslation::FoldAscii(pattern).toUtf8());
        if (here != there)
            QFAIL(qPrintable(QStringLiteral("'%1' LIKE '%2': the server says %3").arg(text, pattern).arg(there)));
        matched += there;
    }
    QVERIFY(matched > 300 && matched < 2700); // both answers come up often
}

void PgCatalogStoreTest::searchesAnsweredFromAKeptList()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    for (const char *name : {"Gancao", "Huangqi", "Gouqi"})
        insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QString::fromLatin1(name)}});
    const QString list = CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql;
    const QString search = TestSupport::SearchStatementFor(QStringLiteral("ZY"), QStringLiteral("G")).join(QStringLiteral("\r\n"));
    store->Execute(QStringLiteral("SET lock_timeout = 300"));
    TRowSet rows;
    store->Select(list, {}, rows);

    // Another session holds the table against every reader, with an entry added and not
    // committed: the search is answered from the kept list, as the table stands for others.
    TPgConnection other(url);
    other.Exec("BEGIN");
    other.Exec("INSERT INTO \"KVR_ZYPicture\" (\"DrugName\") VALUES ('Gegen')");
    other.Exec("LOCK TABLE \"KVR_ZYPicture\" IN ACCESS EXCLUSIVE MODE");
    QCOMPARE(keysFound(*store, search).size(), 3); // a G in each name
    // A condition of another shape is the server's to answer.
    QVERIFY_THROWS_EXCEPTION(TavelinError, store->Select(search + QStringLiteral(" and RecordSN > 0"), {}, rows));
    other.Exec("COMMIT");
    // Changed since: asked of the server (and the list is read again when it is opened).
    QCOMPARE(keysFound(*store, search).size(), 4);
    store->Select(list, {}, rows);
    QCOMPARE(keysFound(*store, search).size(), 4);
}

void PgCatalogStoreTest::entriesPicturesAndStatements()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    QVERIFY(!store->ReadOnly());
    const QByteArray bytes = everyByte();
    TEntryValues values{{"DrugName", QStringLiteral("甘草")},
                        {"OtherName", QStringLiteral("国老")},
                        {"pic1", QVariant()},
                        {"pic2", bytes},
                        {"pic3", QByteArray("", 0)}};
    const qint64 a = store->InsertEntry(QStringLiteral("KVR_ZYPicture"), values);
    QCOMPARE(values[3].second.typeId(), QMetaType::LongLong); // the picture handed back as its reference
    QVERIFY(!values[2].second.isValid());
    const qint64 b = insertEntry(*store, QStringLiteral("kvr_zypicture"), {{"drugname", QStringLiteral("黄芪")}});
    QCOMPARE(b, a + 1);

    TRowSet rows;
    store->Select(CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql, {}, rows);
    QCOMPARE(rows.ColumnCount(), 3);
    QCOMPARE(rows.RowCount(), 2);

    const QString pictureSql = CatalogSchema::FindAtlas(QStringLiteral("ZY"))->pictureSql;
    store->Select(pictureSql, {{QStringLiteral("SQLRecordSN"), int(a)}}, rows);
    QCOMPARE(rows.RowCount(), 1);
    QCOMPARE(rows.Value(0, 7).toLongLong(), a);
    QVERIFY(rows.Value(0, 0).isNull());          // an empty slot
    QVERIFY(!rows.Value(0, 1).isNull());         // a reference, not the bytes
    QCOMPARE(rows.Value(0, 1).typeId(), QMetaType::LongLong);

    TMemoryStream s;
    s.Write(QByteArray("head"));
    store->ReadPicture(rows.Value(0, 1).toLongLong(), s);
    QCOMPARE(s.Bytes(), QByteArray("head") + bytes); // appended at the position, every byte kept
    TMemoryStream empty;
    store->ReadPicture(rows.Value(0, 2).toLongLong(), empty);
    QCOMPARE(empty.Size(), 0);

    // A parameter given as text, as a grid might hand it over, selects the same row.
    store->Select(pictureSql, {{QStringLiteral("sqlrecordsn"), QString::number(b)}}, rows);
    QCOMPARE(rows.RowCount(), 1);
    QCOMPARE(rows.Value(0, 7).toLongLong(), b);
    // An unset parameter is NULL and selects nothing.
    store->Select(pictureSql, {}, rows);
    QCOMPARE(rows.RowCount(), 0);
}

void PgCatalogStoreTest::keysKeptAndIssuedAbove()
{
    auto store = TPgCatalogStore::Open(newCatalogue());
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    QCOMPARE(insertEntry(*store, t, {{"ItemName", "kept"}}, 1000), qint64(1000));
    QCOMPARE(insertEntry(*store, t, {{"ItemName", "next"}}), qint64(1001));
    store->RaiseKeySequence(t, 5000);
    QCOMPARE(insertEntry(*store, t, {{"ItemName", "above"}}), qint64(5001));
    store->RaiseKeySequence(t, 10); // never lowers
    QCOMPARE(insertEntry(*store, t, {{"ItemName", "still above"}}), qint64(5002));
    QVERIFY(store->DeleteEntry(t, 5002));
    QCOMPARE(store->LastIssuedKey(t), qint64(5002)); // a deleted entry's number stays issued
    QVERIFY_THROWS_EXCEPTION(TavelinError, insertEntry(*store, t, {{"ItemName", "twice"}}, 1000));
    // Another table keeps its own numbers.
    QCOMPARE(insertEntry(*store, QStringLiteral("KVR_XYJPPicture"), {{"ItemName", "first"}}), qint64(1));
}

void PgCatalogStoreTest::replacingAndDeletingFreePictureBytes()
{
    auto store = TPgCatalogStore::Open(newCatalogue());
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    const qint64 key = insertEntry(*store, t, {{"ItemName", "x"}, {"pic1", QByteArray("one")}, {"pic2", QByteArray("two")}});
    const qint64 other = insertEntry(*store, t, {{"ItemName", "y"}, {"pic1", QByteArray("keep")}});
    QCOMPARE(pictureRows(*store), qint64(3));

    QVERIFY(updateEntry(*store, t, key, {{"pic1", QByteArray("uno")}, {"ItemName", "renamed"}}));
    QCOMPARE(pictureRows(*store), qint64(3));
    QVERIFY(updateEntry(*store, t, key, {{"pic2", QVariant()}}));
    QCOMPARE(pictureRows(*store), qint64(2));

    TRowSet rows;
    store->Select(QStringLiteral("select pic1, ItemName from KVR_ZXTPPicture where RecordSN = :k"), {{"k", key}}, rows);
    QCOMPARE(rows.Value(0, 1).toString(), QStringLiteral("renamed"));
    TMemoryStream s;
    store->ReadPicture(rows.Value(0, 0).toLongLong(), s);
    QCOMPARE(s.Bytes(), QByteArray("uno"));

    QVERIFY(store->DeleteEntry(t, key));
    QCOMPARE(pictureRows(*store), qint64(1));
    QVERIFY(!store->DeleteEntry(t, key));
    QVERIFY(!updateEntry(*store, t, key, {{"ItemName", "gone"}}));
    QVERIFY(!updateEntry(*store, t, key, {{"pic1", QByteArray("orphan?")}}));
    QCOMPARE(pictureRows(*store), qint64(1)); // a refused update stored no bytes
    QVERIFY(store->DeleteEntry(t, other));
    QCOMPARE(pictureRows(*store), qint64(0));
}

// The store writes each picture's hash with its bytes; another program writing the bytes without it
// (psql, an older version) leaves no hash, and without the trigger that sees to that none is trusted.
void PgCatalogStoreTest::pictureDigestsNeverOutliveTheirBytes_data()
{
    QTest::addColumn<QString>("change"); // %id: the first picture
    QTest::addColumn<bool>("changedKept");
    QTest::addColumn<bool>("otherKept");
    QTest::newRow("as written") << "" << true << true;
    QTest::newRow("bytes rewritten") << "UPDATE \"KVR_PictureData\" SET \"Bytes\" = '\\x0102'::bytea WHERE \"PictureID\" = %id"
                                     << false << true;
    QTest::newRow("bytes rewritten, old hash copied along")
        << "UPDATE \"KVR_PictureData\" SET \"Bytes\" = '\\x0102'::bytea, \"BytesHash\" = \"BytesHash\" WHERE \"PictureID\" = %id"
        << false << true;
    QTest::newRow("hash cleared") << "UPDATE \"KVR_PictureData\" SET \"BytesHash\" = NULL WHERE \"PictureID\" = %id" << false
                                  << true;
    QTest::newRow("trigger disabled") << "ALTER TABLE \"KVR_PictureData\" DISABLE TRIGGER \"KVR_PictureData_bytes_written\""
                                      << false << false;
    QTest::newRow("older catalogue without the column")
        << "DROP TRIGGER \"KVR_PictureData_bytes_written\" ON \"KVR_PictureData\"; "
           "ALTER TABLE \"KVR_PictureData\" DROP COLUMN \"BytesHash\""
        << false << false;
}

void PgCatalogStoreTest::pictureDigestsNeverOutliveTheirBytes()
{
    QFETCH(QString, change);
    QFETCH(bool, changedKept);
    QFETCH(bool, otherKept);
    const QString url = newCatalogue();
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    const QByteArray one = everyByte(), two("second picture");
    qint64 first = 0, second = 0;
    {
        auto store = TPgCatalogStore::Open(url);
        const qint64 key = insertEntry(*store, t, {{"ItemName", "x"}, {"pic1", one}, {"pic2", two}});
        TRowSet rows;
        store->Select(QStringLiteral("select pic1, pic2 from KVR_ZXTPPicture where RecordSN = :k"), {{"k", key}}, rows);
        first = rows.Value(0, 0).toLongLong();
        second = rows.Value(0, 1).toLongLong();
    }
    if (!change.isEmpty()) {
        TPgConnection other(url);
        for (const QString &statement : change.split(QStringLiteral("; ")))
            other.Exec(QString(statement).replace(QStringLiteral("%id"), QString::number(first)).toUtf8());
    }
    auto store = TPgCatalogStore::Open(url);
    const QHash<qint64, TPictureDigest> digests = store->PictureDigests({first, second, first + second + 100});
    QCOMPARE(digests.contains(first), changedKept);
    QCOMPARE(digests.contains(second), otherKept);
    QVERIFY(!digests.contains(first + second + 100));
    if (changedKept)
        QCOMPARE(digests.value(first), (TPictureDigest{one.size(), ContentHash::Of(one)}));
    if (otherKept)
        QCOMPARE(digests.value(second), (TPictureDigest{two.size(), ContentHash::Of(two)}));
    // Whatever the table holds, the store still writes and reads pictures.
    const qint64 key = insertEntry(*store, t, {{"ItemName", "y"}, {"pic1", two}});
    TRowSet rows;
    store->Select(QStringLiteral("select pic1 from KVR_ZXTPPicture where RecordSN = :k"), {{"k", key}}, rows);
    TMemoryStream s;
    store->ReadPicture(rows.Value(0, 0).toLongLong(), s);
    QCOMPARE(s.Bytes(), two);
}

void PgCatalogStoreTest::transactionsRollBack()
{
    auto store = TPgCatalogStore::Open(newCatalogue());
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    TRowSet rows;
    auto count = [&] {
        store->Select(QStringLiteral("select count(*) from KVR_ZXTPPicture"), {}, rows);
        return rows.Value(0, 0).toLongLong();
    };
    {
        TStoreTransaction outer(*store);
        insertEntry(*store, t, {{"ItemName", "a"}, {"pic1", QByteArray("bytes")}});
        {
            TStoreTransaction inner(*store);
            insertEntry(*store, t, {{"ItemName", "b"}});
            inner.Commit();
        }
        // outer goes out of scope uncommitted, as when an exception passes
    }
    QCOMPARE(count(), qint64(0));
    QCOMPARE(pictureRows(*store), qint64(0));
    {
        TStoreTransaction outer(*store);
        insertEntry(*store, t, {{"ItemName", "a"}});
        try {
            insertEntry(*store, t, {{"NoSuchColumn", "b"}});
        } catch (const TavelinError &) {
        }
        outer.Commit();
    }
    QCOMPARE(count(), qint64(1)); // the failed write was undone by itself, the change went on
    {
        TStoreTransaction outer(*store);
        insertEntry(*store, t, {{"ItemName", "c"}});
        {
            TStoreTransaction inner(*store);
            insertEntry(*store, t, {{"ItemName", "d"}});
            // rolled back: only its own part is undone
        }
        insertEntry(*store, t, {{"ItemName", "e"}});
        outer.Commit();
    }
    store->Select(QStringLiteral("select ItemName from KVR_ZXTPPicture order by RecordSN"), {}, rows);
    QCOMPARE(rows.RowCount(), 3);
    QCOMPARE(rows.Value(1, 0).toString(), QStringLiteral("c"));
    QCOMPARE(rows.Value(2, 0).toString(), QStringLiteral("e"));
}

void PgCatalogStoreTest::columnsAsTheCatalogueSpeaksOfThem()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        QVERIFY(store->TableExists(a.table));
        QVERIFY(store->TableExists(a.table.toLower()));
        const QVector<TStoreColumn> cols = store->TableColumns(a.table);
        QCOMPARE(cols.size(), a.columns.size());
        for (int i = 0; i < cols.size(); ++i) {
            QCOMPARE(cols[i].name, a.columns[i].name);
            switch (a.columns[i].type) {
            case TFieldType::Integer: QCOMPARE(cols[i].declaredType, QStringLiteral("INTEGER")); break;
            case TFieldType::String: QCOMPARE(cols[i].declaredType, QStringLiteral("VARCHAR(%1)").arg(a.columns[i].size)); break;
            case TFieldType::Memo: QCOMPARE(cols[i].declaredType, QStringLiteral("TEXT")); break;
            case TFieldType::Blob: QCOMPARE(cols[i].declaredType, QStringLiteral("PICTURE")); break;
            }
        }
    }
    m_server.Exec(QStringLiteral("CREATE VIEW \"SomeView\" AS SELECT 1 AS x"), databaseOf(url));
    auto again = TPgCatalogStore::Open(url);
    QVERIFY(!again->TableExists(QStringLiteral("SomeView"))); // a view is not a table
    QVERIFY(!again->TableExists(QStringLiteral("KVR_Nothing")));
}

void PgCatalogStoreTest::anotherWorkstationsChangesShowOnTheNextQuery()
{
    const QString url = newCatalogue();
    auto browsing = TPgCatalogStore::Open(url);
    auto editing = TPgCatalogStore::Open(url);
    const QString list = CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql;
    TRowSet rows;
    browsing->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 0);
    const qint64 key = insertEntry(*editing, QStringLiteral("KVR_ZXTPPicture"), {{"ItemName", "new"}});
    browsing->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 1);
    updateEntry(*editing, QStringLiteral("KVR_ZXTPPicture"), key, {{"ItemName", "renamed"}});
    browsing->Select(list, {}, rows);
    QCOMPARE(rows.Value(0, 6).toString(), QStringLiteral("renamed"));
    editing->DeleteEntry(QStringLiteral("KVR_ZXTPPicture"), key);
    browsing->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 0);
}

void PgCatalogStoreTest::listsInRecordSNOrderWhateverWasChanged()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    QVector<qint64> keys;
    for (const char *name : {"AB one", "AB two", "AB three", "AB four", "AB five"})
        keys << insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QString::fromLatin1(name)}});
    // Renamed here and by another program, one removed and one added: the server moves changed
    // rows elsewhere in the table.
    QVERIFY(updateEntry(*store, QStringLiteral("KVR_ZYPicture"), keys[0], {{"DrugName", QStringLiteral("AB first")}}));
    m_server.Exec(QStringLiteral("UPDATE \"KVR_ZYPicture\" SET \"OtherName\" = 'ab' WHERE \"RecordSN\" IN (%1, %2)")
                      .arg(keys[1])
                      .arg(keys[3]),
                  databaseOf(url));
    QVERIFY(store->DeleteEntry(QStringLiteral("KVR_ZYPicture"), keys[2]));
    keys.remove(2);
    keys << insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("AB six")}});
    const TAtlasDef *herbs = CatalogSchema::FindAtlas(QStringLiteral("ZY"));
    for (const QString &sql : {herbs->listSql, TestSupport::SearchStatementFor(QStringLiteral("ZY"), QStringLiteral("AB"))
                                                    .join(QStringLiteral("\r\n"))}) {
        TRowSet rows;
        store->Select(sql, {}, rows);
        QVector<qint64> listed;
        for (int r = 0; r < rows.RowCount(); ++r)
            listed << rows.Value(r, 2).toLongLong();
        QCOMPARE(listed, keys);
    }
}

void PgCatalogStoreTest::keptListsFollowEveryChange_data()
{
    // After a workstation read the lists, a change by ...; its next reading must be what a
    // workstation that never read them reads.
    QTest::addColumn<QString>("change");
    QTest::newRow("another workstation: an entry added") << "insert";
    QTest::newRow("another workstation: an entry renamed") << "update";
    QTest::newRow("another workstation: an entry removed") << "delete";
    QTest::newRow("a program knowing nothing of the log: renamed") << "UPDATE \"KVR_ZXTPPicture\" SET \"ItemName\" = 'x'";
    QTest::newRow("a program knowing nothing of the log: emptied") << "TRUNCATE \"KVR_ZXTPPicture\", \"KVR_ZYPicture\"";
    QTest::newRow("unlogged, the trigger disabled first")
        << "ALTER TABLE \"KVR_ZYPicture\" DISABLE TRIGGER \"KVR_change_noted\"; "
           "UPDATE \"KVR_ZYPicture\" SET \"DrugName\" = 'x'";
    QTest::newRow("unlogged, the trigger dropped first")
        << "DROP TRIGGER \"KVR_change_noted\" ON \"KVR_ZXTPPicture\"; DELETE FROM \"KVR_ZXTPPicture\"";
    QTest::newRow("a column added") << "ALTER TABLE \"KVR_ZYPicture\" ADD COLUMN \"Extra\" integer DEFAULT 7";
    QTest::newRow("a catalogue without the log")
        << "DROP FUNCTION \"KVR_change_noted\"() CASCADE; DROP TABLE \"KVR_Changes\"; "
           "UPDATE \"KVR_ZXTPPicture\" SET \"ItemName\" = 'x'";
}

void PgCatalogStoreTest::keptListsFollowEveryChange()
{
    QFETCH(QString, change);
    const QString url = newCatalogue();
    auto editing = TPgCatalogStore::Open(url);
    const QString misc = QStringLiteral("KVR_ZXTPPicture");
    const qint64 first = insertEntry(*editing, misc, {{"ItemName", "one"}});
    insertEntry(*editing, misc, {{"ItemName", "two"}});
    insertEntry(*editing, QStringLiteral("KVR_ZYPicture"), {{"DrugName", "Gancao"}, {"OtherName", "甘草"}});
    const QStringList lists{CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql,
                            CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql,
                            QStringLiteral("select * from KVR_ZYPicture"),
                            QStringLiteral("select count(*) from KVR_ZXTPPicture, KVR_ZYPicture")};
    const auto everyList = [&](TCatalogStore &store) {
        QVector<QVector<QVariant>> all;
        for (const QString &sql : lists) {
            TRowSet rows;
            store.Select(sql, {}, rows);
            for (int r = 0; r < rows.RowCount(); ++r)
                all << rows.Row(r);
            all << QVector<QVariant>{rows.ColumnCount()};
        }
        return all;
    };
    auto browsing = TPgCatalogStore::Open(url);
    const auto before = everyList(*browsing);
    QCOMPARE(everyList(*browsing), before); // kept, and the same

    if (change == QLatin1String("insert"))
        insertEntry(*editing, misc, {{"ItemName", "three"}});
    else if (change == QLatin1String("update"))
        updateEntry(*editing, misc, first, {{"ItemName", "renamed"}});
    else if (change == QLatin1String("delete"))
        editing->DeleteEntry(misc, first);
    else
        m_server.Exec(change, databaseOf(url));

    const auto truth = everyList(*TPgCatalogStore::Open(url));
    QVERIFY(truth != before);
    QCOMPARE(everyList(*browsing), truth);
    QCOMPARE(everyList(*browsing), truth);
}

void PgCatalogStoreTest::aKeptListIsNotReadAgain()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    const QString misc = QStringLiteral("KVR_ZXTPPicture");
    insertEntry(*store, misc, {{"ItemName", "one"}});
    const QString list = CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql;
    store->Execute(QStringLiteral("SET lock_timeout = 300"));
    TRowSet rows;
    store->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 1);

    // Another session holds the table against every reader and has added an entry, not committed
    // yet: reading the table would wait and fail, the kept list is handed over as it is.
    TPgConnection other(url);
    other.Exec("BEGIN");
    other.Exec("INSERT INTO \"KVR_ZXTPPicture\" (\"ItemName\") VALUES ('two')");
    other.Exec("LOCK TABLE \"KVR_ZXTPPicture\" IN ACCESS EXCLUSIVE MODE");
    store->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 1);
    QVERIFY_THROWS_EXCEPTION(TavelinError, store->Select(QStringLiteral("select ItemName from KVR_ZXTPPicture where "
                                                                        "RecordSN > 0"),
                                                         {}, rows));
    // Inside a transaction of its own the store reads the table itself.
    {
        TStoreTransaction tx(*store);
        QVERIFY_THROWS_EXCEPTION(TavelinError, store->Select(list, {}, rows));
    }
    other.Exec("COMMIT");
    store->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 2);
}

void PgCatalogStoreTest::foldedCopiesOutOfSightAndInStep()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        QStringList names;
        for (const TStoreColumn &c : store->TableColumns(atlas.table))
            names << c.name;
        QStringList expected;
        for (const TFieldDef &f : atlas.columns)
            expected << f.name;
        QCOMPARE(names, expected);
    }
    const qint64 key = insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("Gancao")}});
    TRowSet rows;
    store->Select(QStringLiteral("select * from KVR_ZYPicture"), {}, rows);
    QCOMPARE(rows.ColumnCount(), CatalogSchema::FindAtlas(QStringLiteral("ZY"))->columns.size());
    // Renamed by a program that knows nothing of the copies: a search finds the new name only.
    m_server.Exec(QStringLiteral("UPDATE \"KVR_ZYPicture\" SET \"DrugName\" = 'Huangqi' WHERE \"RecordSN\" = %1").arg(key),
                  databaseOf(url));
    const auto found = [&](const QString &text) {
        return keysFound(*store, TestSupport::SearchStatementFor(QStringLiteral("ZY"), text).join(QStringLiteral("\r\n")));
    };
    QCOMPARE(found(QStringLiteral("HUANG")), QSet<qint64>{key});
    QVERIFY(found(QStringLiteral("GANC")).isEmpty());
}

void PgCatalogStoreTest::statementsMadeAgainWhenTheServerDropsThem_data()
{
    QTest::addColumn<QString>("bySelf");   // run by the store itself between two runs of the statement
    QTest::addColumn<QString>("byOthers"); // run by another session meanwhile
    QTest::addColumn<int>("columnsAfter");
    QTest::newRow("the session's statements discarded") << "DISCARD ALL" << QString() << 10;
    QTest::newRow("a column added by someone else")
        << QString() << "ALTER TABLE \"KVR_ZYPicture\" ADD COLUMN \"Extra\" integer" << 11;
    QTest::newRow("a column dropped by someone else")
        << QString() << "ALTER TABLE \"KVR_ZYPicture\" DROP COLUMN \"pic7\"" << 9;
}

void PgCatalogStoreTest::statementsMadeAgainWhenTheServerDropsThem()
{
    QFETCH(QString, bySelf);
    QFETCH(QString, byOthers);
    QFETCH(int, columnsAfter);
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("Gancao")}});
    const QString everything = QStringLiteral("select * from KVR_ZYPicture");
    TRowSet rows;
    for (int run = 0; run < 2; ++run) // kept prepared by now
        store->Select(everything, {}, rows);
    QCOMPARE(rows.ColumnCount(), 10);
    if (!bySelf.isEmpty())
        store->Execute(bySelf);
    if (!byOthers.isEmpty())
        m_server.Exec(byOthers, databaseOf(url));
    store->Select(everything, {}, rows);
    QCOMPARE(rows.ColumnCount(), columnsAfter);
    QCOMPARE(rows.RowCount(), 1);
    QCOMPARE(rows.Value(0, 1).toString(), QStringLiteral("Gancao"));
}

void PgCatalogStoreTest::privilegesDecideReadOnly()
{
    const QString url = newCatalogue();
    const QString db = databaseOf(url);
    m_server.Exec(QStringLiteral("CREATE ROLE browse_%1 LOGIN; CREATE ROLE edit_%1 LOGIN; "
                                 "GRANT SELECT ON ALL TABLES IN SCHEMA public TO browse_%1; "
                                 "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO edit_%1; "
                                 "GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO edit_%1")
                      .arg(db),
                  db);
    auto browsing = TPgCatalogStore::Open(m_server.Url(db, QStringLiteral("browse_") + db));
    QVERIFY(browsing->ReadOnly());
    QVERIFY_THROWS_EXCEPTION(TavelinError, insertEntry(*browsing, QStringLiteral("KVR_ZXTPPicture"), {{"ItemName", "x"}}));
    TRowSet rows;
    browsing->Select(CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql, {}, rows); // browsing works

    auto editing = TPgCatalogStore::Open(m_server.Url(db, QStringLiteral("edit_") + db));
    QVERIFY(!editing->ReadOnly());
    const qint64 key = insertEntry(*editing, QStringLiteral("KVR_ZXTPPicture"), {{"ItemName", "x"}, {"pic1", QByteArray("p")}});
    QVERIFY(updateEntry(*editing, QStringLiteral("KVR_ZXTPPicture"), key, {{"pic1", QByteArray("q")}}));
    QVERIFY(editing->DeleteEntry(QStringLiteral("KVR_ZXTPPicture"), key));

    // A server (or database) in read-only mode is read-only for everybody.
    m_server.Exec(QStringLiteral("ALTER DATABASE %1 SET default_transaction_read_only = on").arg(db));
    QVERIFY(TPgCatalogStore::Open(url)->ReadOnly());
}

void PgCatalogStoreTest::openFailuresNameTheServer()
{
    const QString nowhere = QStringLiteral("postgresql:///atlas?host=/nonexistent/tavelin-socket&user=someone");
    try {
        TPgCatalogStore::Open(nowhere);
        QFAIL("opened a server that does not exist");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("postgresql://someone@/nonexistent/tavelin-socket/atlas")),
                 qPrintable(e.message()));
    }
    const QString empty = m_server.CreateDatabase(QStringLiteral("empty_db"));
    try {
        TPgCatalogStore::Open(m_server.Url(empty));
        QFAIL("opened a database without a catalogue");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("中没有 Tavelin 图库")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("/empty_db")), qPrintable(e.message()));
    }
    // A password in the location never shows in a message.
    try {
        TPgCatalogStore::Open(QStringLiteral("postgresql://who:s3cret@/atlas?host=/nonexistent/x"));
        QFAIL("opened a server that does not exist");
    } catch (const TavelinError &e) {
        QVERIFY2(!e.message().contains(QStringLiteral("s3cret")), qPrintable(e.message()));
    }
    QVERIFY(TPgCatalogStore::IsServerLocation(QStringLiteral("postgresql://h/db")));
    QVERIFY(TPgCatalogStore::IsServerLocation(QStringLiteral("POSTGRES://h/db")));
    QVERIFY(TPgCatalogStore::IsServerLocation(QStringLiteral("service=clinic")));
    QVERIFY(!TPgCatalogStore::IsServerLocation(QStringLiteral("/srv/KVRJetLib.mdb")));
    QVERIFY(!TPgCatalogStore::IsServerLocation(QStringLiteral("KVRJetLib.mdb")));
}

void PgCatalogStoreTest::createRefusesAnExistingCatalogue()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    insertEntry(*store, QStringLiteral("KVR_ZXTPPicture"), {{"ItemName", "precious"}});
    QVERIFY_THROWS_EXCEPTION(TavelinError, TPgCatalogStore::Create(url));
    TRowSet rows;
    store->Select(QStringLiteral("select count(*) from KVR_ZXTPPicture"), {}, rows);
    QCOMPARE(rows.Value(0, 0).toLongLong(), qint64(1));
}

void PgCatalogStoreTest::lostConnectionReportedOnceThenReconnects()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    const QString list = CatalogSchema::FindAtlas(QStringLiteral("ZY"))->listSql;
    TRowSet rows;
    store->Select(list, {}, rows);

    m_server.TerminateSessions(databaseOf(url)); // a dropped connection
    try {
        store->Select(list, {}, rows);
        QFAIL("a dropped connection went unnoticed");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("连接断开了")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(databaseOf(url)), qPrintable(e.message()));
    }
    store->Select(list, {}, rows); // the next action connects again

    m_server.Restart(); // a server restart
    QVERIFY_THROWS_EXCEPTION(TavelinError, store->Select(list, {}, rows));
    insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", "after restart"}});
    store->Select(list, {}, rows);
    QCOMPARE(rows.RowCount(), 1);
}

void PgCatalogStoreTest::lostConnectionInsideAChangeIsNotSilentlyReplaced()
{
    const QString url = newCatalogue();
    auto store = TPgCatalogStore::Open(url);
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    {
        TStoreTransaction tx(*store);
        insertEntry(*store, t, {{"ItemName", "first half"}});
        m_server.TerminateSessions(databaseOf(url));
        QVERIFY_THROWS_EXCEPTION(TavelinError, insertEntry(*store, t, {{"ItemName", "second half"}}));
        // Whatever the caller tries next inside the same change must not land on a new connection.
        QVERIFY_THROWS_EXCEPTION(TavelinError, insertEntry(*store, t, {{"ItemName", "third"}}));
    }
    TRowSet rows;
    store->Select(QStringLiteral("select count(*) from KVR_ZXTPPicture"), {}, rows);
    QCOMPARE(rows.Value(0, 0).toLongLong(), qint64(0));
}

// The server's refusals and failures as the program shows them: in the program's language, naming
// the server (NAME: as a person reads it; URL: as a command takes it), with the server's own reason
// between prefix and suffix where it has one.
void PgCatalogStoreTest::messagesAPersonSees_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix"); // null: the message is prefix exactly
    QTest::newRow("no server at start") << "unreachable"
                                        << "无法连接图库服务器 postgresql://someone@/nonexistent/tavelin-socket/atlas: "
                                        << "";
    QTest::newRow("no catalogue in the database")
        << "empty" << "数据库 NAME 中没有 Tavelin 图库。请用以下命令把图库载入其中: tavelin-catalog copy KVRJetLib.mdb 'URL'"
        << QString();
    QTest::newRow("connection lost while browsing")
        << "lost" << "与图库服务器 NAME 的连接断开了(" << ")。程序照常运行,下一步操作时会重新连接。";
    // The service file, not the message, would otherwise be the only place that names the server.
    QTest::newRow("connection lost, reached through a service")
        << "lost via service" << "与图库服务器 服务 SERVICE (NAME) 的连接断开了(" << ")。程序照常运行,下一步操作时会重新连接。";
    QTest::newRow("connection lost inside a change")
        << "lost in change" << "与图库服务器 NAME 的连接在修改过程中断开了,修改没有进行。" << QString();
    QTest::newRow("browsing account") << "browsing" << "图库 NAME 是只读的,修改没有进行。" << QString();
    QTest::newRow("privileges taken away meanwhile")
        << "revoked" << "图库服务器 NAME 拒绝了修改: 此账户只能浏览图库(" << "),修改没有进行。";
    QTest::newRow("server made read-only meanwhile")
        << "read-only" << "图库服务器 NAME 目前是只读的(" << "),修改没有进行。";
}

void PgCatalogStoreTest::messagesAPersonSees()
{
    QFETCH(QString, condition);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    const QString t = QStringLiteral("KVR_ZXTPPicture");
    QString url;
    QString message;
    QTemporaryDir serviceDir;
    const QString service = QStringLiteral("clinic_service");
    const QByteArray serviceFileBefore = qgetenv("PGSERVICEFILE");
    const auto restoreServiceFile = qScopeGuard([&] { qputenv("PGSERVICEFILE", serviceFileBefore); });
    try {
        if (condition == QLatin1String("unreachable")) {
            TPgCatalogStore::Open(QStringLiteral("postgresql:///atlas?host=/nonexistent/tavelin-socket&user=someone"));
        } else if (condition == QLatin1String("empty")) {
            url = m_server.Url(m_server.CreateDatabase(QStringLiteral("no_catalogue")));
            TPgCatalogStore::Open(url);
        } else {
            url = newCatalogue();
            const QString db = databaseOf(url);
            if (condition == QLatin1String("browsing") || condition == QLatin1String("revoked")) {
                const QString role = QStringLiteral("role_") + db;
                m_server.Exec(QStringLiteral("CREATE ROLE %1 LOGIN; GRANT %2 ON ALL TABLES IN SCHEMA public TO %1; "
                                             "GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO %1")
                                  .arg(role, condition == QLatin1String("browsing") ? QStringLiteral("SELECT")
                                                                                    : QStringLiteral("SELECT, INSERT, UPDATE, DELETE")),
                              db);
                url = m_server.Url(db, role);
            }
            QString location = url;
            if (condition == QLatin1String("lost via service")) {
                QFile file(serviceDir.filePath(QStringLiteral("pg_service.conf")));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(QStringLiteral("[%1]\nhost=%2\ndbname=%3\nuser=%4\n")
                               .arg(service, m_server.SocketDir(), db, TestPgServer::Superuser())
                               .toUtf8());
                file.close();
                qputenv("PGSERVICEFILE", file.fileName().toLocal8Bit());
                location = QStringLiteral("service=") + service;
            }
            auto store = TPgCatalogStore::Open(location);
            if (condition == QLatin1String("revoked"))
                m_server.Exec(QStringLiteral("REVOKE INSERT ON ALL TABLES IN SCHEMA public FROM role_%1").arg(db), db);
            if (condition == QLatin1String("read-only")) {
                m_server.Exec(QStringLiteral("ALTER DATABASE %1 SET default_transaction_read_only = on").arg(db));
                m_server.TerminateSessions(db);
                TRowSet rows;
                QVERIFY_THROWS_EXCEPTION(TavelinError, store->Select(QStringLiteral("select 1"), {}, rows));
            }
            if (condition == QLatin1String("lost") || condition == QLatin1String("lost via service")) {
                m_server.TerminateSessions(db);
                TRowSet rows;
                store->Select(QStringLiteral("select count(*) from KVR_ZYPicture"), {}, rows);
            } else if (condition == QLatin1String("lost in change")) {
                TStoreTransaction tx(*store);
                m_server.TerminateSessions(db);
                QVERIFY_THROWS_EXCEPTION(TavelinError, insertEntry(*store, t, {{"ItemName", "first"}}));
                insertEntry(*store, t, {{"ItemName", "second"}});
            } else {
                insertEntry(*store, t, {{"ItemName", "x"}});
            }
        }
        QFAIL("no error");
    } catch (const TavelinError &e) {
        message = e.message();
    }
    // Through a service the server is named as the connection found it, its port included.
    const QString port = condition == QLatin1String("lost via service") ? QStringLiteral(":5432") : QString();
    const QString name = url.isEmpty() ? QString()
                                       : QStringLiteral("postgresql://%1@%2%3/%4")
                                             .arg(QUrl(url).query().contains(QStringLiteral("user=role_"))
                                                      ? QStringLiteral("role_") + databaseOf(url)
                                                      : TestPgServer::Superuser(),
                                                  m_server.SocketDir(), port, databaseOf(url));
    prefix.replace(QStringLiteral("NAME"), name).replace(QStringLiteral("URL"), url).replace(QStringLiteral("SERVICE"), service);
    QVERIFY2(message.startsWith(prefix), qPrintable(message + QStringLiteral("\nexpected to begin with\n") + prefix));
    QVERIFY2(!message.contains(QLatin1Char('\n')), qPrintable(message)); // one line; a message box wraps it
    if (suffix.isNull()) {
        QCOMPARE(message, prefix);
        return;
    }
    QVERIFY2(message.endsWith(suffix), qPrintable(message));
    // The server's (or libpq's) own reason in between.
    QVERIFY2(message.size() > prefix.size() + suffix.size() + 3, qPrintable(message));
}

QTEST_GUILESS_MAIN(PgCatalogStoreTest)
#include "test_pg_catalog_store.moc"
