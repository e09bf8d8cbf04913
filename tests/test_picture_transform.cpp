#include "data/PictureTransform.h"
#include "platform/TMemoryStream.h"

#include <QRandomGenerator>
#include <QTest>

using namespace PictureTransform;

class TestPictureTransform : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTripsBothWays()
    {
        for (int v = 0; v < 256; ++v) {
            const auto b = static_cast<std::uint8_t>(v);
            QCOMPARE(PlainFromStored(StoredFromPlain(b)), b);
            QCOMPARE(StoredFromPlain(PlainFromStored(b)), b);
        }
    }

    void readingFollowsTheStatedSteps()
    {
        // rotate left 3, XOR 0xF9, invert: checked against the arithmetic form r = (b*8 + b div 32) mod 256.
        for (int b = 0; b < 256; ++b) {
            const int r = (b * 8 + b / 32) % 256;
            const int plain = (~(r ^ 0xF9)) & 0xFF;
            QCOMPARE(int(PlainFromStored(std::uint8_t(b))), plain);
        }
        // A JPEG's first bytes come out of their stored form.
        const std::uint8_t soi[3] = {0xFF, 0xD8, 0xFF};
        std::uint8_t stored[3];
        for (int i = 0; i < 3; ++i)
            stored[i] = StoredFromPlain(soi[i]);
        DecodeBuffer(stored, 3);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(stored), 3), QByteArray("\xFF\xD8\xFF", 3));
    }

    void wholeBufferMatchesBytewiseForEveryLength()
    {
        // The word-wise loop and its tail must agree with the byte rule at every length and alignment.
        QRandomGenerator rng(7);
        for (int len = 0; len < 80; ++len) {
            for (int offset = 0; offset < 3; ++offset) {
                QByteArray buf(len + offset, 0);
                for (auto &c : buf)
                    c = char(rng.bounded(256));
                QByteArray expect = buf;
                for (int i = offset; i < buf.size(); ++i)
                    expect[i] = char(PlainFromStored(std::uint8_t(buf[i])));
                DecodeBuffer(reinterpret_cast<std::uint8_t *>(buf.data()) + offset, size_t(len));
                QCOMPARE(buf, expect);
                EncodeBuffer(reinterpret_cast<std::uint8_t *>(buf.data()) + offset, size_t(len));
                for (int i = offset; i < buf.size(); ++i)
                    QCOMPARE(std::uint8_t(buf[i]), StoredFromPlain(std::uint8_t(expect[i])));
            }
        }
    }

    void streamIsTransformedWholeAndRewound_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("startPosition");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("position at end") << QByteArray("\xFF\xD8\xFF\xE0 some jpeg bytes", 20) << 20;
        QTest::newRow("position in middle") << QByteArray(1000, 'x') << 517;
    }
    void streamIsTransformedWholeAndRewound()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, startPosition);
        TMemoryStream s;
        QByteArray stored = plain;
        EncodeBuffer(reinterpret_cast<std::uint8_t *>(stored.data()), size_t(stored.size()));
        s.Write(stored);
        s.SetPosition(startPosition);
        DecodePictureStream(s);
        QCOMPARE(s.Position(), 0);
        QCOMPARE(s.Size(), qint64(plain.size()));
        QCOMPARE(s.Bytes(), plain);
    }
};

QTEST_APPLESS_MAIN(TestPictureTransform)
#include "test_picture_transform.moc"
