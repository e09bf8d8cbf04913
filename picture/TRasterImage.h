#pragma once
// A picture read by Qt's image readers (bitmap, icon): decoded on load, no decoding options.
// The file's bytes are kept, so saving writes them back unchanged.
#include "picture/TGraphic.h"

#include <QByteArray>

class TRasterImage : public TGraphic {
public:
    bool IsEmpty() const override { return m_image.isNull(); }
    int Width() const override { return m_image.width(); }
    int Height() const override { return m_image.height(); }
    void Draw(QPainter &painter, const QRect &target) override;
    QImage Image() override { return m_image; }
    void LoadFromStream(TMemoryStream &stream) override;
    void SaveToStream(TMemoryStream &stream) const override;

    void LoadFromBytes(const QByteArray &bytes);

protected:
    // The Qt image format name ("bmp", "ico").
    virtual QByteArray ReaderFormat() const = 0;

private:
    QByteArray m_bytes;
    QImage m_image;
};
