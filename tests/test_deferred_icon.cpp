// An icon whose pictures are read when first asked for: nothing is read before, and once asked it
// answers as the icon it stands for, in every size and mode, also through a copy.
#include "glo/GloResources.h"
#include "glo/TDeferredIconEngine.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

QIcon realProgramIcon()
{
    EnsureGloResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/tavelin-%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/icons/tavelin.png"), QSize(256, 256));
    return icon;
}

QImage imageOf(const QIcon &icon, QSize size, QIcon::Mode mode)
{
    return icon.pixmap(size, 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestDeferredIcon : public QObject {
    Q_OBJECT
private slots:
    void nothingIsReadBeforeAPictureIsAskedFor()
    {
        int made = 0;
        const QIcon icon(new TDeferredIconEngine([&made] {
            ++made;
            return realProgramIcon();
        }));
        QIcon copy = icon;
        QCOMPARE(made, 0);
        QVERIFY(!copy.pixmap(32).isNull());
        QCOMPARE(made, 1);
        QVERIFY(!copy.pixmap(16).isNull());
        QCOMPARE(made, 1); // made once, then kept
    }

    void answersAsTheIconItStandsFor_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("mode");
        QTest::newRow("a size it holds") << QSize(32, 32) << int(QIcon::Normal);
        QTest::newRow("the largest") << QSize(256, 256) << int(QIcon::Normal);
        QTest::newRow("between sizes") << QSize(40, 40) << int(QIcon::Normal);
        QTest::newRow("larger than any") << QSize(300, 300) << int(QIcon::Normal);
        QTest::newRow("disabled") << QSize(24, 24) << int(QIcon::Disabled);
        QTest::newRow("selected") << QSize(48, 48) << int(QIcon::Selected);
    }
    void answersAsTheIconItStandsFor()
    {
        QFETCH(QSize, size);
        QFETCH(int, mode);
        const QIcon real = realProgramIcon();
        const QIcon program = TavelinProgramIcon();
        QIcon detached = program;
        detached.detach(); // a copy of the engine before anything was read
        QCOMPARE(program.availableSizes(), real.availableSizes());
        QCOMPARE(program.actualSize(size, QIcon::Mode(mode)), real.actualSize(size, QIcon::Mode(mode)));
        const QImage expected = imageOf(real, size, QIcon::Mode(mode));
        QVERIFY(!expected.isNull());
        QCOMPARE(imageOf(program, size, QIcon::Mode(mode)), expected);
        QCOMPARE(imageOf(detached, size, QIcon::Mode(mode)), expected);

        QImage painted(size, QImage::Format_ARGB32_Premultiplied), paintedReal = painted;
        painted.fill(Qt::transparent);
        paintedReal.fill(Qt::transparent);
        {
            QPainter p(&painted);
            program.paint(&p, painted.rect(), Qt::AlignCenter, QIcon::Mode(mode));
            QPainter q(&paintedReal);
            real.paint(&q, paintedReal.rect(), Qt::AlignCenter, QIcon::Mode(mode));
        }
        QCOMPARE(painted, paintedReal);
    }
};

QTEST_MAIN(TestDeferredIcon)
#include "test_deferred_icon.moc"
