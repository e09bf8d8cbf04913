// Where the program looks for its catalogue: the order of the places under the freedesktop rules,
// the first one that holds a file, and the reason the start-up error gives when none does.
#include "app/CatalogueNotFoundText.h"
#include "data/CatalogLocation.h"
#include "data/CatalogueLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

TCatalogueLocationInputs Installed()
{
    TCatalogueLocationInputs in;
    in.programDir = QStringLiteral("/usr/bin");
    in.homeDir = QStringLiteral("/home/li");
    return in;
}

} // namespace

class TestCatalogueLocations : public QObject {
    Q_OBJECT
private slots:
    void searchPlaces_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("administrator"); // the configured catalogue
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("dataDirs");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("installed, defaults")
            << "/usr/bin" << "" << "" << ""
            << QStringList{"/usr/bin/KVRJetLib.mdb", "/home/li/.local/share/tavelin/KVRJetLib.mdb",
                           "/var/lib/tavelin/KVRJetLib.mdb", "/usr/local/share/tavelin/KVRJetLib.mdb",
                           "/usr/share/tavelin/KVRJetLib.mdb"};
        QTest::newRow("variables set")
            << "/usr/bin" << "" << "/data/li" << "/opt/share:/usr/share"
            << QStringList{"/usr/bin/KVRJetLib.mdb", "/data/li/tavelin/KVRJetLib.mdb", "/var/lib/tavelin/KVRJetLib.mdb",
                           "/opt/share/tavelin/KVRJetLib.mdb", "/usr/share/tavelin/KVRJetLib.mdb"};
        // Relative entries would make the result depend on the folder the program was started from.
        QTest::newRow("relative entries ignored")
            << "/usr/bin" << "" << "rel/data" << "share:/usr/share::"
            << QStringList{"/usr/bin/KVRJetLib.mdb", "/home/li/.local/share/tavelin/KVRJetLib.mdb",
                           "/var/lib/tavelin/KVRJetLib.mdb", "/usr/share/tavelin/KVRJetLib.mdb"};
        QTest::newRow("configured catalogue second")
            << "/usr/bin" << "/srv/atlas/KVRJetLib.mdb" << "" << "/usr/share"
            << QStringList{"/usr/bin/KVRJetLib.mdb", "/srv/atlas/KVRJetLib.mdb",
                           "/home/li/.local/share/tavelin/KVRJetLib.mdb", "/var/lib/tavelin/KVRJetLib.mdb",
                           "/usr/share/tavelin/KVRJetLib.mdb"};
        // A prefix of its own brings its data folder; one place is looked at once.
        QTest::newRow("own prefix")
            << "/opt/tavelin/bin" << "" << "" << "/usr/share:/opt/tavelin/share/"
            << QStringList{"/opt/tavelin/bin/KVRJetLib.mdb", "/home/li/.local/share/tavelin/KVRJetLib.mdb",
                           "/var/lib/tavelin/KVRJetLib.mdb", "/usr/share/tavelin/KVRJetLib.mdb",
                           "/opt/tavelin/share/tavelin/KVRJetLib.mdb"};
        QTest::newRow("portable copy")
            << "/media/stick/Tavelin" << "" << "" << "/usr/share"
            << QStringList{"/media/stick/Tavelin/KVRJetLib.mdb", "/home/li/.local/share/tavelin/KVRJetLib.mdb",
                           "/var/lib/tavelin/KVRJetLib.mdb", "/usr/share/tavelin/KVRJetLib.mdb"};
        QTest::newRow("program in the shared folder")
            << "/var/lib/tavelin" << "" << "" << "/usr/share"
            << QStringList{"/var/lib/tavelin/KVRJetLib.mdb", "/home/li/.local/share/tavelin/KVRJetLib.mdb",
                           "/usr/share/tavelin/KVRJetLib.mdb"};
    }

    void searchPlaces()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, administrator);
        QFETCH(QString, dataHome);
        QFETCH(QString, dataDirs);
        QFETCH(QStringList, expected);
        TCatalogueLocationInputs in = Installed();
        in.programDir = programDir;
        in.configuredCatalogue = administrator;
        in.dataHome = dataHome;
        in.dataDirs = dataDirs;
        QCOMPARE(CatalogueSearchPlaces(in), expected);
        // The user's own place is the third of the list, or the second without a configured one.
        QCOMPARE(UserCataloguePlace(in), expected[administrator.isEmpty() ? 1 : 2]);
    }

    void noHomeLeavesOutTheUsersPlace()
    {
        TCatalogueLocationInputs in = Installed();
        in.homeDir.clear();
        QCOMPARE(UserCataloguePlace(in), QString());
        const QStringList places = CatalogueSearchPlaces(in);
        QCOMPARE(places.first(), QStringLiteral("/usr/bin/KVRJetLib.mdb"));
        QCOMPARE(places[1], SharedCataloguePlace());
        QVERIFY(!places.contains(QString()));
    }

    void firstPlaceThatHoldsAFileWins_data()
    {
        QTest::addColumn<QStringList>("present"); // names of the places that hold a file
        QTest::addColumn<QString>("folderInstead"); // a place that is a folder, not a file
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside the program before all") << QStringList{"bin", "home", "system"} << "" << "bin";
        QTest::newRow("the user's before the system's") << QStringList{"home", "system"} << "" << "home";
        QTest::newRow("system only") << QStringList{"system"} << "" << "system";
        QTest::newRow("a folder of that name is no catalogue") << QStringList{"system"} << "home" << "system";
        QTest::newRow("none") << QStringList{} << "bin" << "";
    }

    void firstPlaceThatHoldsAFileWins()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, folderInstead);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QStringList places;
        for (const QString &name : {QStringLiteral("bin"), QStringLiteral("home"), QStringLiteral("system")}) {
            const QString place = root.filePath(name + QStringLiteral("/KVRJetLib.mdb"));
            places << place;
            QVERIFY(QDir().mkpath(root.filePath(name)));
            if (present.contains(name)) {
                QFile f(place);
                QVERIFY(f.open(QIODevice::WriteOnly));
            } else if (name == folderInstead) {
                QVERIFY(QDir().mkpath(place));
            }
        }
        const QString found = FirstExistingCatalogue(places);
        QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected + QStringLiteral("/KVRJetLib.mdb")));
    }

    // The one decision: the setting (the user's over the system-wide one, empty in the user's file
    // meaning none) takes the second place, after a catalogue beside the program.
    void chosenCatalogue_data()
    {
        QTest::addColumn<QString>("user");   // the user's setting (null: no settings file)
        QTest::addColumn<QString>("system"); // the system-wide setting
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<QString>("expected"); // "beside", "userData", "" or the location itself

        const QString server = QStringLiteral("postgresql://atlas.clinic.lan/atlas");
        const QString service = QStringLiteral("service=clinic");
        const QString file = QStringLiteral("ROOT/srv/clinic.mdb");
        const QString missing = QStringLiteral("ROOT/srv/missing.mdb");
        const QString none;
        QTest::newRow("no setting: the file beside the program") << none << none << true << "beside";
        QTest::newRow("no setting, installed: the user's data folder") << none << none << false << "userData";
        QTest::newRow("system server, installed") << none << server << false << server;
        QTest::newRow("system server, a copy with its own catalogue") << none << server << true << "beside";
        QTest::newRow("user server, installed") << service << none << false << service;
        QTest::newRow("user's over the system's") << file << server << false << file;
        QTest::newRow("user's server over the system's file") << service << file << false << service;
        QTest::newRow("both, a copy with its own catalogue") << service << server << true << "beside";
        QTest::newRow("empty in the user's file: no setting") << "" << server << false << "userData";
        QTest::newRow("empty in the user's file, a copy") << "" << server << true << "beside";
        QTest::newRow("configured file not there: the next place") << none << missing << false << "userData";
    }

    void chosenCatalogue()
    {
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(bool, besideProgram);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        auto resolve = [&root](QString s) { return s.replace(QStringLiteral("ROOT"), root.path()); };
        auto writeFile = [](const QString &path, const QByteArray &content) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
            f.close();
            QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        };
        CatalogLocation::TSettingsFiles settings;
        settings.user = root.filePath(QStringLiteral("config/tavelin/tavelin.conf"));
        settings.system << root.filePath(QStringLiteral("xdg/tavelin/tavelin.conf"));
        if (!user.isNull())
            writeFile(settings.user, "[catalogue]\nlocation=" + resolve(user).toUtf8() + "\n");
        if (!system.isNull())
            writeFile(settings.system.first(), "[catalogue]\nlocation=" + resolve(system).toUtf8() + "\n");

        TCatalogueLocationInputs in;
        in.programDir = root.filePath(QStringLiteral("program"));
        in.homeDir = root.filePath(QStringLiteral("home"));
        in.dataDirs = root.filePath(QStringLiteral("share"));
        in.configuredCatalogue = CatalogLocation::Configured(settings);
        const QString beside = in.programDir + QStringLiteral("/KVRJetLib.mdb");
        const QString userData = UserCataloguePlace(in);
        // Every file place but the missing one holds a catalogue: the order alone decides.
        if (besideProgram)
            writeFile(beside, "catalogue");
        writeFile(userData, "catalogue");
        writeFile(resolve(QStringLiteral("ROOT/srv/clinic.mdb")), "catalogue");
        writeFile(root.filePath(QStringLiteral("share/tavelin/KVRJetLib.mdb")), "catalogue");

        const QString chosen = ChooseCatalogue(in);
        if (expected == QLatin1String("beside"))
            QCOMPARE(chosen, beside);
        else if (expected == QLatin1String("userData"))
            QCOMPARE(chosen, userData);
        else
            QCOMPARE(chosen, resolve(expected));
        // The places a failure lists are the same, in the same order: the configured one second.
        const QStringList places = CatalogueSearchPlaces(in);
        QCOMPARE(places.first(), beside);
        if (!in.configuredCatalogue.isEmpty())
            QCOMPARE(places[1], in.configuredCatalogue);
        QVERIFY(places.indexOf(userData) > places.indexOf(in.configuredCatalogue));
    }

    void nothingAnywhereChoosesNothing()
    {
        QTemporaryDir root;
        TCatalogueLocationInputs in;
        in.programDir = root.filePath(QStringLiteral("program"));
        in.homeDir = root.filePath(QStringLiteral("home"));
        in.dataDirs = root.filePath(QStringLiteral("share"));
        in.configuredCatalogue = root.filePath(QStringLiteral("srv/missing.mdb"));
        // The machine's own /var/lib/tavelin is a place too; here nothing is a file.
        QCOMPARE(ChooseCatalogue(in, [](const QString &) { return false; }), QString());
    }

    void reasonNamesEveryPlaceAndTheDemoCommands()
    {
        TCatalogueLocationInputs in = Installed();
        const QStringList places = CatalogueSearchPlaces(in);
        const QString text = CatalogueNotFoundText(places, UserCataloguePlace(in), SharedCataloguePlace(),
                                                   QStringLiteral("/usr/bin/tavelin-catalog"));
        // Every place, in the order looked at, each on a line of its own.
        qsizetype at = 0;
        for (const QString &place : places) {
            const qsizetype next = text.indexOf(QStringLiteral("  ") + place + QLatin1Char('\n'), at);
            QVERIFY2(next >= at, qPrintable(place + QStringLiteral(" missing or out of order in:\n") + text));
            at = next + 1;
        }
        QVERIFY2(text.contains(QStringLiteral(
                     "  /usr/bin/tavelin-catalog demo /home/li/.local/share/tavelin/KVRJetLib.mdb\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("  sudo /usr/bin/tavelin-catalog demo /var/lib/tavelin/KVRJetLib.mdb\n")),
                 qPrintable(text));
    }

    // The commands are meant to be pasted into a shell: a path with blanks or quotes stays one word.
    void shellWords_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("word");
        QTest::newRow("plain") << "/home/li/.local/share/tavelin/KVRJetLib.mdb"
                               << "/home/li/.local/share/tavelin/KVRJetLib.mdb";
        QTest::newRow("blank") << "/home/Li Wei/x.mdb" << "'/home/Li Wei/x.mdb'";
        QTest::newRow("quote") << "/home/o'neil/x" << "'/home/o'\\''neil/x'";
        QTest::newRow("dollar") << "/home/$USER/x" << "'/home/$USER/x'";
        QTest::newRow("chinese") << "/home/李/x" << "'/home/李/x'";
    }

    void shellWords()
    {
        QFETCH(QString, path);
        QFETCH(QString, word);
        QCOMPARE(ShellWord(path), word);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueLocations)
#include "test_catalogue_locations.moc"
