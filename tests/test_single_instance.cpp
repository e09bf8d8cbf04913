// The single-instance mark inside one process: a second holder of the same name is refused while the
// first lives, and admitted once it has gone; other names do not interfere.
#include "platform/SingleInstanceGuard.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestSingleInstance : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    void markIsPerNameAndEndsWithItsHolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("program's name") << QStringLiteral("Tavelin系统");
        QTest::newRow("name with separators") << QStringLiteral("a/b\\c");
    }

    void markIsPerNameAndEndsWithItsHolder()
    {
        QFETCH(QString, name);
        auto first = std::make_unique<SingleInstanceGuard>(name);
        QVERIFY(first->TryAcquire());
        QVERIFY(SingleInstanceGuard::LockFilePath(name).startsWith(m_runtime.path()));
        QVERIFY(QFile::exists(SingleInstanceGuard::LockFilePath(name)));

        SingleInstanceGuard second(name);
        QVERIFY(!second.TryAcquire());
        SingleInstanceGuard other(name + QStringLiteral("-other"));
        QVERIFY(other.TryAcquire());

        first.reset();
        SingleInstanceGuard third(name);
        QVERIFY(third.TryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
