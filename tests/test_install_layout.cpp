// cmake --install into a scratch prefix: every file in its freedesktop or Debian place and nothing
// else, icons at the sizes their folders claim, man pages that render without warnings, and the
// desktop entry and the AppStream metainfo accepted by their validators and agreeing with each other
// and with the version the programs report.
#include "support/ProgramRun.h"
#include "support/ProgramEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using TestSupport::ProjectVersion;

namespace {

const QString kAppId = QStringLiteral("org.tavelin.Tavelin");
const QList<int> kIconSizes{16, 24, 32, 48, 64, 128, 256, 512};

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Execute(const QString &program, const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.setProcessEnvironment(TestSupport::ProgramEnvironment());
    p.start(program, args);
    if (!p.waitForStarted(30000))
        return {};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString ManPage(const QString &name)
{
    return QStringLiteral("usr/share/man/man1/%1.1.gz").arg(name);
}

struct TMetainfo {
    QString id;
    QString launchable;
    QStringList binaries;
    QStringList releases; // newest first, as listed
    QString error;
};

TMetainfo ReadMetainfo(const QString &path)
{
    TMetainfo info;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        info.error = f.errorString();
        return info;
    }
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("release"))
            info.releases << xml.attributes().value(QStringLiteral("version")).toString();
        else if (xml.name() == QLatin1String("id"))
            info.id = xml.readElementText();
        else if (xml.name() == QLatin1String("launchable"))
            info.launchable = xml.readElementText();
        else if (xml.name() == QLatin1String("binary"))
            info.binaries << xml.readElementText();
    }
    if (xml.hasError())
        info.error = xml.errorString();
    return info;
}

} // namespace

class TestInstallLayout : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;
    QString m_prefix;

    QString Installed(const QString &relative) const { return m_root.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        QVERIFY2(!cmake.isEmpty(), "cmake is not on the PATH");
        m_prefix = m_root.filePath(QStringLiteral("usr"));
        // The program's files only; the demo catalogue is drawn at install time and has a test of its own.
        const Run r = Execute(cmake, {QStringLiteral("--install"), QStringLiteral(TAVELIN_BINARY_DIR), QStringLiteral("--prefix"),
                                      m_prefix, QStringLiteral("--component"), QStringLiteral("program")});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    }

    void everyFileInItsPlaceAndNothingElse()
    {
        QStringList expected{QStringLiteral("usr/bin/tavelin"), QStringLiteral("usr/bin/tavelin-catalog"),
                             QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"),
                             QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
                             QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
                             ManPage(QStringLiteral("tavelin")), ManPage(QStringLiteral("tavelin-catalog"))};
        for (int size : kIconSizes)
            expected << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        expected.sort();
        QStringList found;
        QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(m_root.path()).relativeFilePath(it.next());
        found.sort();
        QCOMPARE(found, expected);
        for (const QString &program : {QStringLiteral("usr/bin/tavelin"), QStringLiteral("usr/bin/tavelin-catalog")})
            QVERIFY2(QFileInfo(Installed(program)).isExecutable(), qPrintable(program));
    }

    void iconsAreTheSizeTheirFolderNames()
    {
        QImage previous;
        for (int size : kIconSizes) {
            const QString path = Installed(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId));
            const QImage icon(path);
            QVERIFY2(!icon.isNull(), qPrintable(path));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.hasAlphaChannel());
            // The tile has rounded corners: the corner pixel is transparent, the centre opaque.
            QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(icon.pixelColor(size / 2, size / 2).alpha(), 255);
        }
        QFile svg(Installed(QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        QCOMPARE(xml.attributes().value(QStringLiteral("viewBox")).toString().simplified(), QStringLiteral("0 0 64 64"));
        int paths = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("path"))
                ++paths;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(paths >= 5, "the scalable icon holds the tile, the pages, the leaf and the cross");
    }

    void desktopEntryIsValidAndPointsAtInstalledFiles()
    {
        const QString entry = Installed(QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"));
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        const Run r = Execute(validator, {entry});
        QCOMPARE(r.code, 0);
        // Hints too: an entry in more than one main category shows twice in some menus.
        QVERIFY2(r.out.isEmpty() && r.err.isEmpty(), qPrintable(r.out + r.err));

        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(desktop.value(QStringLiteral("Icon")).toString(), kAppId);
        QCOMPARE(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("tavelin"));
        QCOMPARE(desktop.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    }

    void metainfoIsValidAndAgreesWithTheProgram()
    {
        const QString metainfo = Installed(QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
        const TMetainfo info = ReadMetainfo(metainfo);
        QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
        QCOMPARE(info.id, kAppId);
        QCOMPARE(info.launchable, kAppId + QStringLiteral(".desktop"));
        QVERIFY(QFileInfo::exists(Installed(QStringLiteral("usr/share/applications/") + info.launchable)));
        QCOMPARE(info.binaries, QStringList({QStringLiteral("tavelin"), QStringLiteral("tavelin-catalog")}));
        for (const QString &binary : info.binaries)
            QVERIFY2(QFileInfo::exists(Installed(QStringLiteral("usr/bin/") + binary)), qPrintable(binary));
        // The newest release, listed first, is the version the programs say they are.
        QVERIFY(!info.releases.isEmpty());
        QCOMPARE(info.releases.first(), ProjectVersion());
        const Run version = Execute(Installed(QStringLiteral("usr/bin/tavelin-catalog")), {QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("tavelin-catalog (Tavelin) %1\n").arg(ProjectVersion()));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (validator.isEmpty())
            QSKIP("appstreamcli is not installed (package appstream)");
        const Run r = Execute(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--strict"), metainfo});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    }

    void manPagesRenderWithoutWarnings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("tavelin") << QStringLiteral("tavelin");
        QTest::newRow("tavelin-catalog") << QStringLiteral("tavelin-catalog");
    }

    void manPagesRenderWithoutWarnings()
    {
        QFETCH(QString, name);
        const Run source = Execute(QStringLiteral("gzip"), {QStringLiteral("-dc"), Installed(ManPage(name))});
        QCOMPARE(source.code, 0);
        QVERIFY(source.out.startsWith(QStringLiteral(".TH %1 1 \"").arg(name.toUpper())));
        QVERIFY2(source.out.section(QLatin1Char('\n'), 0, 0).contains(QStringLiteral("\"Tavelin %1\"").arg(ProjectVersion())),
                 qPrintable(source.out.section(QLatin1Char('\n'), 0, 0)));
        QVERIFY2(!source.out.contains(QLatin1Char('@')), "a placeholder was left unfilled");
        const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
        if (groff.isEmpty())
            QSKIP("groff is not installed");
        // -ww: every warning; -z: no output, only the diagnostics.
        const Run r = Execute(groff, {QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-ww"), QStringLiteral("-z")},
                              source.out.toUtf8());
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
