#include "picture/TPicture.h"

#include "platform/TavelinError.h"

TPicture::TPicture(const TPicture &other)
{
    Assign(other.Graphic());
}

TPicture &TPicture::operator=(const TPicture &other)
{
    if (this != &other)
        Assign(other.Graphic());
    return *this;
}

void TPicture::Assign(const TGraphic *graphic)
{
    m_graphic = graphic ? graphic->Clone() : nullptr;
}

void TPicture::LoadFromFile(const QString &path)
{
    m_graphic.reset();
    throw TavelinError(QStringLiteral("Cannot load %1: picture files are not supported in this build.").arg(path));
}
