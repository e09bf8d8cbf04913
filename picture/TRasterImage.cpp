#include "picture/TRasterImage.h"

#include "picture/DrawStretched.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QBuffer>
#include <QImageReader>

void TRasterImage::Draw(QPainter &painter, const QRect &target)
{
    DrawStretched(painter, target, m_image);
}

void TRasterImage::LoadFromStream(TMemoryStream &stream)
{
    const qint64 from = stream.Position();
    const QByteArray bytes = from <= 0 ? stream.Bytes() : stream.Bytes().mid(from);
    stream.SetPosition(stream.Size());
    LoadFromBytes(bytes);
}

void TRasterImage::LoadFromBytes(const QByteArray &bytes)
{
    m_bytes.clear();
    m_image = QImage();
    if (bytes.isEmpty())
        return;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ReaderFormat());
    QImage image = reader.read();
    if (image.isNull())
        throw TavelinError(QStringLiteral("The data is not a readable %1 picture: %2")
                               .arg(KindName().toLower(), reader.errorString()));
    m_bytes = bytes;
    m_image = std::move(image);
}

void TRasterImage::SaveToStream(TMemoryStream &stream) const
{
    stream.Write(m_bytes);
}
