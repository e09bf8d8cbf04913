// The viewer's window fitting and print layout on exact figures.
#include "viewer/ViewerGeometry.h"

#include <QTest>

class TestViewerGeometry : public QObject {
    Q_OBJECT
private slots:
    void fitWindow_data();
    void fitWindow();
    void printTarget_data();
    void printTarget();
};

void TestViewerGeometry::fitWindow_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("screenRight");
    QTest::addColumn<int>("screenBottom");
    QTest::addColumn<int>("caption");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("position");

    // Work area 1280 x 994, caption 19: Reserve 76, available 1183 x 918.
    QTest::newRow("fits") << QSize(800, 600) << 1280 << 994 << 19 << QSize(800, 600) << QSize(815, 661)
                          << QPoint(232, 166);
    QTest::newRow("too wide") << QSize(2000, 1500) << 1280 << 994 << 19 << QSize(1183, 887) << QSize(1198, 948)
                              << QPoint(41, 23);
    QTest::newRow("eighth of 1600x1200") << QSize(200, 150) << 1280 << 994 << 19 << QSize(200, 150)
                                         << QSize(215, 19 + 150 + 27 + 15) << QPoint(532, 391);
    QTest::newRow("too tall") << QSize(1000, 3000) << 1280 << 994 << 19 << QSize(306, 918)
                              << QSize(321, 19 + 918 + 42) << QPoint(479, 7);
    QTest::newRow("too wide, then too tall") << QSize(1500, 3000) << 1280 << 994 << 19 << QSize(459, 918)
                                             << QSize(474, 979) << QPoint(403, 7);
    QTest::newRow("wide, fits in height after") << QSize(3000, 2000) << 1280 << 994 << 19 << QSize(1183, 788)
                                                << QSize(1198, 849) << QPoint(41, 72);
    QTest::newRow("other caption") << QSize(800, 600) << 1280 << 994 << 23 << QSize(800, 600)
                                   << QSize(815, 665) << QPoint(232, 164);
    QTest::newRow("small screen") << QSize(1024, 768) << 800 << 600 << 19 << QSize(699, 524)
                                  << QSize(714, 585) << QPoint(43, 7);
    // The ratio is held in single precision: a double ratio would give 506 and 85 here.
    QTest::newRow("single-precision ratio, width") << QSize(1190, 510) << 1280 << 994 << 19 << QSize(1183, 507)
                                                   << QSize(1198, 568) << QPoint(41, 213);
    QTest::newRow("single-precision ratio, height") << QSize(100, 1080) << 1280 << 994 << 19 << QSize(84, 918)
                                                    << QSize(99, 979) << QPoint(590, 7);
    QTest::newRow("empty picture") << QSize(0, 0) << 1280 << 994 << 19 << QSize(0, 0) << QSize(15, 61)
                                   << QPoint(632, 466);
}

void TestViewerGeometry::fitWindow()
{
    QFETCH(QSize, picture);
    QFETCH(int, screenRight);
    QFETCH(int, screenBottom);
    QFETCH(int, caption);
    QFETCH(QSize, shown);
    QFETCH(QSize, window);
    QFETCH(QPoint, position);

    const TViewerFit fit = FitViewerWindow(picture, screenRight, screenBottom, caption, 27);
    QCOMPARE(fit.picture, shown);
    QCOMPARE(fit.window, window);
    QCOMPARE(CentreViewerWindow(fit.window, screenRight, screenBottom), position);
}

void TestViewerGeometry::printTarget_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("printable");
    QTest::addColumn<QRect>("target");

    const QSize a4(4760, 6814);
    QTest::newRow("landscape enlarged") << QSize(800, 600) << a4 << QRect(0, 0, 4760, 3570);
    QTest::newRow("portrait enlarged then width-limited") << QSize(600, 800) << a4 << QRect(0, 0, 4760, 6346);
    QTest::newRow("narrow portrait") << QSize(1000, 3000) << a4 << QRect(0, 0, 2271, 6814);
    QTest::newRow("wider than the page") << QSize(6000, 1000) << a4 << QRect(0, 0, 4760, 793);
    QTest::newRow("larger than the page both ways") << QSize(10000, 8000) << a4 << QRect(0, 0, 4760, 3808);
    QTest::newRow("square on portrait page") << QSize(500, 500) << a4 << QRect(0, 0, 4760, 4760);
    QTest::newRow("square on landscape page") << QSize(500, 500) << QSize(6814, 4760) << QRect(0, 0, 4760, 4760);
    QTest::newRow("exactly the page") << a4 << a4 << QRect(0, 0, 4760, 6814);
    QTest::newRow("one side equal") << QSize(4760, 100) << a4 << QRect(0, 0, 4760, 100);
    // Values stored in single precision: 4760 / 1.19f rounds to 3999.99976, where double gives 4000.
    QTest::newRow("single-precision height") << QSize(119, 100) << a4 << QRect(0, 0, 4760, 3999);
    QTest::newRow("empty picture") << QSize(0, 0) << a4 << QRect();
    QTest::newRow("no printable area") << QSize(800, 600) << QSize(0, 0) << QRect();
}

void TestViewerGeometry::printTarget()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, printable);
    QFETCH(QRect, target);
    QCOMPARE(PrintTargetRect(picture, printable), target);
}

QTEST_APPLESS_MAIN(TestViewerGeometry)
#include "test_viewer_geometry.moc"
