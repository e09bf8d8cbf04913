#pragma once
// The picture objects: one interface over JPEG (with decoding options), bitmap, icon and metafile
// pictures. Errors raise TavelinError.
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>

class QPainter;
class TMemoryStream;

class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual bool IsEmpty() const = 0;
    // Size of the picture as it is shown (for JPEG: the decoded output at the current scale,
    // known from the header without decoding).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Stretches the picture into target (no aspect ratio kept). Pictures may decode at a reduced
    // size when the target is smaller than the picture.
    virtual void Draw(QPainter &painter, const QRect &target) = 0;
    // The full-size image at the current options (decodes on first use).
    virtual QImage Image() = 0;

    // Loading replaces the content; failure raises and leaves the picture empty.
    virtual void LoadFromStream(TMemoryStream &stream) = 0; // from the position to the end
    virtual void SaveToStream(TMemoryStream &stream) const = 0;
    void LoadFromFile(const QString &path);

    // A copy that shares what may be shared (JPEG: the compressed bytes) but nothing mutable.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    virtual QString KindName() const = 0; // "JPEG", "Bitmap", "Icon", "Metafile"
};
