#pragma once
// A Windows icon (.ico) picture: the first image the file holds.
#include "picture/TRasterImage.h"

class TIconImage : public TRasterImage {
public:
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TIconImage>(*this); }
    QString KindName() const override { return QStringLiteral("Icon"); }

protected:
    QByteArray ReaderFormat() const override { return QByteArrayLiteral("ico"); }
};
