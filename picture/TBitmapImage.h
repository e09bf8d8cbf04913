#pragma once
// A Windows bitmap (.bmp) picture.
#include "picture/TRasterImage.h"

class TBitmapImage : public TRasterImage {
public:
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBitmapImage>(*this); }
    QString KindName() const override { return QStringLiteral("Bitmap"); }

protected:
    QByteArray ReaderFormat() const override { return QByteArrayLiteral("bmp"); }
};
