#include "picture/TPicture.h"

#include "picture/TBitmapImage.h"
#include "picture/TIconImage.h"
#include "picture/TJPEGImage.h"
#include "platform/TavelinError.h"

#include <QFileInfo>

TPicture::TPicture(const TPicture &other)
{
    Assign(other.m_graphic.get());
}

TPicture &TPicture::operator=(const TPicture &other)
{
    if (this != &other)
        Assign(other.m_graphic.get());
    return *this;
}

void TPicture::Assign(const TGraphic *graphic)
{
    m_graphic = graphic ? graphic->Clone() : nullptr;
}

namespace {

std::unique_ptr<TGraphic> graphicForExtension(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return std::make_unique<TJPEGImage>();
    if (ext == QLatin1String("bmp"))
        return std::make_unique<TBitmapImage>();
    if (ext == QLatin1String("ico"))
        return std::make_unique<TIconImage>();
    if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        throw TavelinError(QStringLiteral("Metafile pictures (.%1) cannot be shown on this system: %2").arg(ext, path));
    throw TavelinError(QStringLiteral("Unknown picture file extension \"%1\": %2")
                           .arg(ext.isEmpty() ? QStringLiteral("(none)") : ext, path));
}

} // namespace

void TPicture::LoadFromFile(const QString &path)
{
    m_graphic.reset();
    std::unique_ptr<TGraphic> graphic = graphicForExtension(path);
    graphic->LoadFromFile(path);
    m_graphic = std::move(graphic);
}
